#include "app/configuration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using ::testing::HasSubstr;
using testing::Rig;

constexpr const char* kIniPath = "/wd/RDSmorvane.ini";

// A file with the one key start-up cannot do without, then the lines under test.
std::string Ini(const std::string& lines) {
  return "[RDSmorvane]\r\nCOMport=1\r\n" + lines;
}

void Start(Rig& rig, const std::string& ini_text) {
  rig.files.files[kIniPath] = ini_text;
  Form_Load(rig.controller, "/wd");
}

std::string StartupMessage(Rig& rig, const std::string& ini_text) {
  try {
    Start(rig, ini_text);
  } catch (const StartupError& error) {
    return error.what();
  }
  return "(no start-up error)";
}

TEST(StripNulls, KeepsThePartBeforeTheFirstNul) {
  EXPECT_EQ(StripNulls("PIRA32\0\0junk"s), "PIRA32");
  EXPECT_EQ(StripNulls("\0PIRA32"s), "");
  EXPECT_EQ(StripNulls("PIRA32"), "PIRA32");
  EXPECT_EQ(StripNulls(""), "");
}

struct KeyedCase {
  const char* what;
  std::string lines;
  std::string ControllerState::*field;
  std::string expected;
};

TEST(LoadConfiguration, KeyedValues) {
  const std::string forty = "0123456789ABCDEFGHIJ0123456789abcdefghij";
  const std::vector<KeyedCase> cases = {
      {"40 characters cut to 29", "DefaultRadioText=" + forty + "\r\n",
       &ControllerState::DefaultRadioText, forty.substr(0, 29)},
      {"30 characters cut to 29", "TrafficRadioText=" + forty.substr(0, 30) + "\r\n",
       &ControllerState::TrafficRadioText, forty.substr(0, 29)},
      {"29 characters kept", "DefaultRadioText=" + forty.substr(0, 29) + "\r\n",
       &ControllerState::DefaultRadioText, forty.substr(0, 29)},
      {"cut counts after the blanks are dropped", "DefaultRadioText=    " + forty + "\r\n",
       &ControllerState::DefaultRadioText, forty.substr(0, 29)},
      {"cut applies to every key", "EncoderType=" + forty + "\r\n", &ControllerState::EncoderType,
       forty.substr(0, 29)},
      {"NUL ends the value", "DefaultRadioText=Radio\0Morvane\r\n"s,
       &ControllerState::DefaultRadioText, "Radio"},
      {"encoder type as written", "EncoderType=pira32\r\n", &ControllerState::EncoderType,
       "pira32"},
      {"traffic marker as written", "TrafficMeta=*TRAFFIC*\r\n", &ControllerState::TrafficMeta,
       "*TRAFFIC*"},
      {"empty traffic marker becomes the sentinel", "TrafficMeta=\r\n",
       &ControllerState::TrafficMeta, std::string(kMarkerSentinel)},
      {"blank traffic marker becomes the sentinel", "TrafficMeta=   \r\n",
       &ControllerState::TrafficMeta, std::string(kMarkerSentinel)},
      {"missing traffic marker becomes the sentinel", "", &ControllerState::TrafficMeta,
       std::string(kMarkerSentinel)},
      {"missing encoder type is empty", "", &ControllerState::EncoderType, ""},
      {"missing default RadioText is empty", "", &ControllerState::DefaultRadioText, ""},
      {"missing traffic RadioText is empty", "", &ControllerState::TrafficRadioText, ""},
      {"missing swap is empty", "", &ControllerState::RTplusSwap, ""},
      {"swap as written", "RTplusSwap=1\r\n", &ControllerState::RTplusSwap, "1"},
  };
  for (const KeyedCase& c : cases) {
    Rig rig;
    Start(rig, Ini(c.lines));
    EXPECT_EQ(rig.state.*c.field, c.expected) << c.what;
  }
}

struct LineScanCase {
  const char* what;
  std::string ini;
  std::string metadata_file;
  std::string prefix;
  std::string split;
};

TEST(LoadConfiguration, LineScanIsExactAndLaterLinesWin) {
  const std::string none(kRtPlusSentinel);
  const std::string long_path = "/var/lib/playout/now playing/" + std::string(60, 'm') + ".txt";
  const std::vector<LineScanCase> cases = {
      {"no lines: defaults and sentinels", Ini(""), "metadata.txt", none, none},
      {"values kept whole, blanks included",
       Ini("MetadataFile= now.txt \r\nRTplusPrefix=ON AIR: \r\nRTplusSplit= - \r\n"), " now.txt ",
       "ON AIR: ", " - "},
      {"empty values", Ini("MetadataFile=\r\nRTplusPrefix=\r\nRTplusSplit=\r\n"), "metadata.txt",
       "", ""},
      {"no length limit", Ini("MetadataFile=" + long_path + "\r\n"), long_path, none, none},
      {"other letter case not matched",
       Ini("metadatafile=a.txt\r\nrtplusprefix=P\r\nrtplussplit= - \r\nRTPlusSplit=/\r\n"),
       "metadata.txt", none, none},
      {"blank before the key not matched",
       Ini(" MetadataFile=a.txt\r\n\tRTplusPrefix=P\r\n RTplusSplit= - \r\n"), "metadata.txt", none,
       none},
      {"blank before = not matched", Ini("MetadataFile =a.txt\r\nRTplusSplit = - \r\n"),
       "metadata.txt", none, none},
      {"commented out not matched", Ini(";MetadataFile=a.txt\r\n"), "metadata.txt", none, none},
      {"later line wins",
       Ini("MetadataFile=a.txt\r\nRTplusSplit=/\r\nMetadataFile=b.txt\r\nRTplusSplit= - \r\n"),
       "b.txt", none, " - "},
      {"later empty line wins", Ini("RTplusPrefix=P\r\nRTplusPrefix=\r\n"), "metadata.txt", "",
       none},
      {"found in any section",
       "[Playout]\r\nMetadataFile=np.txt\r\n" + Ini("") + "[Other]\r\nRTplusSplit= / \r\n",
       "np.txt", none, " / "},
      {"found before any section", "RTplusPrefix=Now: \r\n" + Ini(""), "metadata.txt",
       "Now: ", none},
      {"LF line ends", "[RDSmorvane]\nCOMport=1\nMetadataFile=a.txt\nRTplusSplit= - \n", "a.txt",
       none, " - "},
      {"CR line ends", "[RDSmorvane]\rCOMport=1\rMetadataFile=a.txt\rRTplusSplit= - \r", "a.txt",
       none, " - "},
      {"last line without a line end", Ini("RTplusSplit= - "), "metadata.txt", none, " - "},
      {"the keyed section's own key is not the line key", Ini("MetadataFile = a.txt\r\n"),
       "metadata.txt", none, none},
  };
  for (const LineScanCase& c : cases) {
    Rig rig;
    Start(rig, c.ini);
    EXPECT_EQ(rig.state.MetadataFile, c.metadata_file) << c.what;
    EXPECT_EQ(rig.state.RTPlusPrefix, c.prefix) << c.what;
    EXPECT_EQ(rig.state.RTPlusSplit, c.split) << c.what;
  }
}

TEST(LoadConfiguration, SeparatorOfBlankHyphenBlankHasThreeCharacters) {
  Rig rig;
  Start(rig, Ini("RTplusSplit= - \r\n"));
  EXPECT_EQ(rig.state.RTPlusSplit.size(), 3u);
}

TEST(LoadConfiguration, TAMaxTimeoutInMinutesBecomesSeconds) {
  const std::vector<std::pair<std::string, int16_t>> cases = {
      {"(missing)", 120}, {"2", 120},     {"1", 60},      {"9", 540},     {"10", 120},
      {"0", 120},         {"-1", 120},    {"1.5", 90},    {"0.99", 120},  {"9.98", 599},
      {"9.99", 599},      {"9.995", 120}, {"1.125", 68},  {"1.375", 82},  {".5", 120},
      {"5.", 300},        {"+3", 180},    {"  4  ", 240}, {"546.1", 120}, {"-546.1", 120},
  };
  for (const auto& [minutes, seconds] : cases) {
    Rig rig;
    Start(rig, Ini(minutes == "(missing)" ? "" : "TAMaxTimeout=" + minutes + "\r\n"));
    EXPECT_EQ(rig.state.TAmaxtime, seconds) << minutes;
  }
}

TEST(LoadConfiguration, RTplusIsTheRoundedNumberAtTheStart) {
  const std::vector<std::pair<std::string, int16_t>> cases = {
      {"(missing)", 0}, {"1", 1},   {"0", 0},   {"", 0},          {"yes", 0},
      {"1.5", 2},       {"2.5", 2}, {"0.5", 0}, {"1.49", 1},      {"1 (on)", 1},
      {"1e5", 1},       {"-1", -1}, {"+1", 1},  {"32767", 32767}, {"-32768", -32768},
  };
  for (const auto& [text, value] : cases) {
    Rig rig;
    Start(rig, Ini(text == "(missing)" ? "" : "RTplus=" + text + "\r\n"));
    EXPECT_EQ(rig.state.RTplus, value) << text;
  }
}

struct FailureCase {
  const char* what;
  std::string lines;
  const char* names;
};

TEST(LoadConfiguration, ValuesThatEndStartUp) {
  const std::vector<FailureCase> cases = {
      {"TAMaxTimeout empty", "TAMaxTimeout=\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout a word", "TAMaxTimeout=two\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout with a unit", "TAMaxTimeout=2 min\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout with an exponent", "TAMaxTimeout=1e1\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout seconds beyond 16 bits", "TAMaxTimeout=600\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout rounds beyond 16 bits", "TAMaxTimeout=546.13\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout negative beyond 16 bits", "TAMaxTimeout=-547\r\n", "TAMaxTimeout"},
      {"TAMaxTimeout of 400 digits", "TAMaxTimeout=" + std::string(400, '9') + "\r\n",
       "TAMaxTimeout"},
      {"RTplus beyond 16 bits", "RTplus=32768\r\n", "RTplus"},
      {"RTplus rounds beyond 16 bits", "RTplus=32767.5\r\n", "RTplus"},
      {"RTplus negative beyond 16 bits", "RTplus=-40000\r\n", "RTplus"},
  };
  for (const FailureCase& c : cases) {
    Rig rig;
    EXPECT_THAT(StartupMessage(rig, Ini(c.lines)), HasSubstr(c.names)) << c.what;
  }
}

TEST(LoadConfiguration, MissingKeysTakeTheirDefaults) {
  Rig rig;
  Start(rig, "[RDSmorvane]\nCOMport=2\n");
  ASSERT_TRUE(rig.port.opened_settings);
  EXPECT_EQ(rig.port.opened_settings->baud, 9600);
  EXPECT_EQ(rig.port.opened_settings->parity, Parity::None);
  EXPECT_EQ(rig.port.opened_settings->data_bits, 8);
  EXPECT_EQ(rig.port.opened_settings->stop_bits, 1);
  EXPECT_EQ(rig.port.opened_address->number, 2);
  EXPECT_EQ(rig.state.TAmaxtime, 120);
  EXPECT_EQ(rig.state.RTplus, 0);
}

TEST(LoadConfiguration, MissingCOMportEndsStartUpNamingTheKey) {
  for (const std::string& ini : {"[RDSmorvane]\nEncoderType=PIRA32\n"s, ""s,
                                 "COMport=1\n[RDSmorvane]\n"s, "[Other]\nCOMport=1\n"s}) {
    Rig rig;
    EXPECT_THAT(StartupMessage(rig, ini), HasSubstr("COMport")) << ini;
    EXPECT_FALSE(rig.port.open) << ini;
  }
}

TEST(LoadConfiguration, LongDevicePathIsNotCut) {
  const std::string path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  Rig rig;
  Start(rig, "[RDSmorvane]\nCOMport=" + path + "\n");
  ASSERT_TRUE(rig.port.opened_address);
  EXPECT_EQ(rig.port.opened_address->device_path, path);
}

struct FileCase {
  const char* what;
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::string expected_encoder;  // empty: start-up fails
  const char* message = "";
};

TEST(LoadConfiguration, FindsTheOneFile) {
  const std::string exact = "[RDSmorvane]\nCOMport=1\nEncoderType=EXACT\n";
  const std::string variant = "[RDSmorvane]\nCOMport=1\nEncoderType=VARIANT\n";
  const std::vector<FileCase> cases = {
      {"exact name", {{"/wd/RDSmorvane.ini", exact}}, {}, "EXACT"},
      {"other letter case", {{"/wd/rdsmorvane.INI", variant}}, {}, "VARIANT"},
      {"exact name wins",
       {{"/wd/RDSmorvane.ini", exact}, {"/wd/rdsmorvane.ini", variant}},
       {},
       "EXACT"},
      {"missing", {}, {}, "", "not found"},
      {"only in another directory", {{"/other/RDSmorvane.ini", exact}}, {}, "", "not found"},
      {"only in a subdirectory", {{"/wd/sub/RDSmorvane.ini", exact}}, {}, "", "not found"},
      {"similar name is not it", {{"/wd/RDSmorvane.ini.bak", exact}}, {}, "", "not found"},
      {"two candidates",
       {{"/wd/rdsmorvane.ini", variant}, {"/wd/RDSMORVANE.INI", variant}},
       {},
       "",
       "RDSMORVANE.INI, rdsmorvane.ini"},
      {"exact name unreadable, no stand-in",
       {{"/wd/RDSmorvane.ini", exact}, {"/wd/rdsmorvane.ini", variant}},
       {"/wd/RDSmorvane.ini"},
       "",
       "cannot be read"},
      {"variant unreadable",
       {{"/wd/rdsmorvane.ini", variant}},
       {"/wd/rdsmorvane.ini"},
       "",
       "/wd/rdsmorvane.ini cannot be read"},
      {"larger than 1 MiB",
       {{"/wd/RDSmorvane.ini", exact + std::string(1 << 20, '\n')}},
       {},
       "",
       "larger than 1 MiB"},
  };
  for (const FileCase& c : cases) {
    Rig rig;
    rig.files.files = c.files;
    rig.files.unreadable = c.unreadable;
    if (c.expected_encoder.empty()) {
      try {
        Form_Load(rig.controller, "/wd");
        ADD_FAILURE() << c.what << ": no start-up error";
      } catch (const StartupError& error) {
        EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.what;
        EXPECT_FALSE(rig.port.open) << c.what;
      }
    } else {
      Form_Load(rig.controller, "/wd");
      EXPECT_EQ(rig.state.EncoderType, c.expected_encoder) << c.what;
    }
  }
}

TEST(LoadConfiguration, BothPassesReadTheSameFileOnce) {
  Rig rig;
  rig.files.files["/wd/RDSMORVANE.ini"] =
      "[RDSmorvane]\r\nCOMport=1\r\nEncoderType=PIRA32\r\nRTplusSplit= - \r\n";
  const PortConfiguration port = LoadConfiguration(rig.files, "/wd", rig.state);
  EXPECT_EQ(port.COMport, "1");
  EXPECT_EQ(rig.state.EncoderType, "PIRA32");
  EXPECT_EQ(rig.state.RTPlusSplit, " - ");
  EXPECT_EQ(rig.files.reads, (std::vector<std::string>{kIniPath, "/wd/RDSMORVANE.ini"}));
}

struct HostileCase {
  const char* what;
  std::string ini;
  std::string encoder_type;  // empty: start-up fails
};

std::string Junk(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(random() & 0xFF);
  }
  return bytes;
}

TEST(LoadConfiguration, HostileFilesGetADefinedOutcome) {
  const std::string tail = "\n[RDSmorvane]\nCOMport=1\nEncoderType=PIRA32\n";
  const std::vector<HostileCase> cases = {
      {"binary junk before the section", Junk(1, 4096) + tail, "PIRA32"},
      {"binary junk only", Junk(2, 65536), ""},
      {"NUL bytes in lines and values",
       "\0\0\n[RDSmorvane]\n\0=\0\nCOMport=1\0\nEncoderType=PIRA32\0junk\n"s, "PIRA32"},
      {"NUL before the section's bracket", "\0[RDSmorvane]\nCOMport=1\n"s, ""},
      {"NULs only", std::string(1000, '\0'), ""},
      {"very long lines",
       std::string(300000, 'x') + tail + "EncoderType=" + std::string(300000, 'y') + "\n",
       "PIRA32"},
      {"very long line in the value",
       "[RDSmorvane]\nCOMport=1\nEncoderType=" + std::string(500000, 'P') + "\n",
       std::string(29, 'P')},
      {"duplicate sections",
       "[RDSmorvane]\nCOMport=1\n[RDSmorvane]\nEncoderType=PIRA32\n"
       "[RDSmorvane]\nEncoderType=PIRAMICRO\n",
       "PIRA32"},
      {"keys without =", "[RDSmorvane]\nCOMport\nCOMport=1\nEncoderType\nEncoderType=PIRA32\n",
       "PIRA32"},
      {"brackets and equals signs", "[\n]\n=\n[=]\n[RDSmorvane\nCOMport=1\nEncoderType=PIRA32\n",
       "PIRA32"},
      {"line ends only", std::string(10000, '\r') + std::string(10000, '\n') + tail, "PIRA32"},
      {"no section but keys", "COMport=1\nEncoderType=PIRA32\n", ""},
  };
  for (const HostileCase& c : cases) {
    Rig rig;
    rig.files.files[kIniPath] = c.ini;
    if (c.encoder_type.empty()) {
      EXPECT_THROW(Form_Load(rig.controller, "/wd"), StartupError) << c.what;
    } else {
      EXPECT_NO_THROW(Form_Load(rig.controller, "/wd")) << c.what;
      EXPECT_EQ(rig.state.EncoderType, c.encoder_type) << c.what;
    }
  }
}

}  // namespace
}  // namespace morvane
