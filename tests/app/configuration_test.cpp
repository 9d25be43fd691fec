#include "app/configuration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
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

// Starts up on ini_text; the start-up message, or "" when start-up went on.
std::string Start(Rig& rig, const std::string& ini_text) {
  rig.files.files[kIniPath] = ini_text;
  try {
    Form_Load(rig.controller, "/wd");
  } catch (const StartupError& error) {
    return error.what();
  }
  return "";
}

TEST(LoadConfiguration, MissingKeysTakeTheirDefaults) {
  Rig rig;
  ASSERT_EQ(Start(rig, Ini("")), "");
  const ControllerState& s = rig.state;
  EXPECT_EQ(s.EncoderType + s.DefaultRadioText + s.TrafficRadioText + s.RTplusSwap, "");
  EXPECT_EQ(s.TrafficMeta, kMarkerSentinel);
  EXPECT_EQ(s.TAmaxtime, 120);
  EXPECT_EQ(s.RTplus, 0);
  EXPECT_EQ(s.MetadataFile, "metadata.txt");
  EXPECT_EQ(s.RTPlusPrefix, kRtPlusSentinel);
  EXPECT_EQ(s.RTPlusSplit, kRtPlusSentinel);
}

TEST(LoadConfiguration, KeyedTextsAreCutTo29Characters) {
  const std::string forty = "0123456789ABCDEFGHIJ0123456789abcdefghij";
  const struct {
    const char* what;
    std::string lines;
    std::string ControllerState::*field;
    std::string expected;
  } cases[] = {
      {"30 cut to 29", "TrafficRadioText=" + forty.substr(0, 30) + "\r\n",
       &ControllerState::TrafficRadioText, forty.substr(0, 29)},
      {"29 kept", "DefaultRadioText=" + forty.substr(0, 29) + "\r\n",
       &ControllerState::DefaultRadioText, forty.substr(0, 29)},
      {"cut after the blanks are dropped", "DefaultRadioText=    " + forty + "\r\n",
       &ControllerState::DefaultRadioText, forty.substr(0, 29)},
      {"NUL ends the value", "DefaultRadioText=Radio\0Morvane\r\n"s,
       &ControllerState::DefaultRadioText, "Radio"},
      {"empty traffic marker is the sentinel", "TrafficMeta=\r\n", &ControllerState::TrafficMeta,
       std::string(kMarkerSentinel)},
  };
  for (const auto& c : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini(c.lines)), "") << c.what;
    EXPECT_EQ(rig.state.*c.field, c.expected) << c.what;
  }
}

TEST(LoadConfiguration, LineScanIsExactAndLaterLinesWin) {
  const std::string none(kRtPlusSentinel);
  const std::string long_path = " /srv/playout/now playing/" + std::string(60, 'm') + ".txt ";
  const struct {
    const char* what;
    std::string ini;
    std::string metadata_file;
    std::string prefix;
    std::string split;
  } cases[] = {
      {"kept whole: blanks, no 29-character cut",
       Ini("MetadataFile=" + long_path + "\r\nRTplusPrefix=ON AIR: \r\nRTplusSplit= - \r\n"),
       long_path, "ON AIR: ", " - "},
      {"empty values", Ini("MetadataFile=\r\nRTplusPrefix=\r\nRTplusSplit=\r\n"), "metadata.txt",
       "", ""},
      {"other letter case, blank before the key or before = : no match",
       Ini("metadatafile=a.txt\r\n RTplusPrefix=P\r\nRTplusSplit = - \r\n"), "metadata.txt", none,
       none},
      {"later line wins, even an empty one",
       Ini("MetadataFile=a.txt\r\nRTplusSplit=/\r\nRTplusPrefix=P\r\n"
           "MetadataFile=b.txt\r\nRTplusSplit= - \r\nRTplusPrefix=\r\n"),
       "b.txt", "", " - "},
      {"any section, or none",
       "RTplusPrefix=Now: \r\n[Playout]\r\nMetadataFile=np.txt\r\n" + Ini("") +
           "[Other]\r\nRTplusSplit= / \r\n",
       "np.txt", "Now: ", " / "},
      {"CR line ends, the last line without one",
       "[RDSmorvane]\rCOMport=1\rMetadataFile=a.txt\rRTplusSplit= - ", "a.txt", none, " - "},
  };
  for (const auto& c : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, c.ini), "") << c.what;
    EXPECT_EQ(rig.state.MetadataFile, c.metadata_file) << c.what;
    EXPECT_EQ(rig.state.RTPlusPrefix, c.prefix) << c.what;
    EXPECT_EQ(rig.state.RTPlusSplit, c.split) << c.what;
  }
}

// Minutes become seconds, rounded half to even; 60..599 s or the two-minute fallback.
TEST(LoadConfiguration, TAMaxTimeoutInMinutesBecomesSeconds) {
  const std::vector<std::pair<std::string, int16_t>> cases = {
      {"(missing)", 120}, {"1", 60},     {"0.99", 120}, {"9.98", 599},  {"9.995", 120}, {"10", 120},
      {"-1", 120},        {"1.125", 68}, {"1.375", 82}, {"  4  ", 240}, {"546.1", 120},
  };
  for (const auto& [minutes, seconds] : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini(minutes == "(missing)" ? "" : "TAMaxTimeout=" + minutes + "\r\n")), "")
        << minutes;
    EXPECT_EQ(rig.state.TAmaxtime, seconds) << minutes;
  }
}

TEST(LoadConfiguration, RTplusIsTheRoundedNumberAtTheStart) {
  const std::vector<std::pair<std::string, int16_t>> cases = {
      {"yes", 0}, {"1 (on)", 1}, {"1e5", 1}, {"1.5", 2}, {"2.5", 2}, {"-32768", -32768},
  };
  for (const auto& [text, value] : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini("RTplus=" + text + "\r\n")), "") << text;
    EXPECT_EQ(rig.state.RTplus, value) << text;
  }
}

TEST(LoadConfiguration, ValuesThatEndStartUpNameTheirKey) {
  const std::vector<std::pair<std::string, const char*>> cases = {
      {"TAMaxTimeout=\r\n", "TAMaxTimeout \"\""},
      {"TAMaxTimeout=two\r\n", "TAMaxTimeout \"two\""},
      {"TAMaxTimeout=2 min\r\n", "TAMaxTimeout \"2 min\""},
      {"TAMaxTimeout=1e1\r\n", "TAMaxTimeout \"1e1\""},
      {"TAMaxTimeout=546.13\r\n", "TAMaxTimeout \"546.13\""},
      {"RTplus=32767.5\r\n", "RTplus \"32767.5\""},
      {"RTplus=-40000\r\n", "RTplus \"-40000\""},
  };
  for (const auto& [lines, message] : cases) {
    Rig rig;
    EXPECT_THAT(Start(rig, Ini(lines)), HasSubstr(message)) << lines;
    EXPECT_FALSE(rig.port.open) << lines;
  }
}

TEST(LoadConfiguration, MissingCOMportEndsStartUpNamingTheKey) {
  Rig rig;
  EXPECT_THAT(Start(rig, "[RDSmorvane]\nEncoderType=PIRA32\n[Other]\nCOMport=1\n"),
              HasSubstr("The key COMport is missing"));
  EXPECT_FALSE(rig.port.open);
}

TEST(LoadConfiguration, FindsTheOneFile) {
  const std::string exact = "[RDSmorvane]\nCOMport=1\nEncoderType=EXACT\n";
  const std::string variant = "[RDSmorvane]\nCOMport=1\nEncoderType=VARIANT\n";
  const struct {
    const char* what;
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::string outcome;  // the encoder type read, or a part of the start-up message
  } cases[] = {
      {"exact name", {{"/wd/RDSmorvane.ini", exact}}, {}, "EXACT"},
      {"other letter case", {{"/wd/rdsmorvane.INI", variant}}, {}, "VARIANT"},
      {"exact name wins",
       {{"/wd/RDSmorvane.ini", exact}, {"/wd/rdsmorvane.ini", variant}},
       {},
       "EXACT"},
      {"missing: only in a subdirectory or under a similar name",
       {{"/wd/sub/RDSmorvane.ini", exact}, {"/wd/RDSmorvane.ini.bak", exact}},
       {},
       "was not found"},
      {"two candidates",
       {{"/wd/rdsmorvane.ini", variant}, {"/wd/RDSMORVANE.INI", variant}},
       {},
       "RDSMORVANE.INI, rdsmorvane.ini"},
      {"exact name unreadable, no stand-in",
       {{"/wd/RDSmorvane.ini", exact}, {"/wd/rdsmorvane.ini", variant}},
       {"/wd/RDSmorvane.ini"},
       "/wd/RDSmorvane.ini cannot be read"},
      {"larger than 1 MiB",
       {{"/wd/RDSmorvane.ini", exact + std::string(1 << 20, '\n')}},
       {},
       "larger than 1 MiB"},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.files.files = c.files;
    rig.files.unreadable = c.unreadable;
    try {
      Form_Load(rig.controller, "/wd");
      EXPECT_EQ(rig.state.EncoderType, c.outcome) << c.what;
    } catch (const StartupError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.outcome)) << c.what;
      EXPECT_FALSE(rig.port.open) << c.what;
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

TEST(LoadConfiguration, HostileFilesGetADefinedOutcome) {
  const std::string tail = "\n[RDSmorvane]\nCOMport=1\nEncoderType=PIRA32\n";
  const struct {
    const char* what;
    std::string ini;
    std::string encoder_type;  // empty: start-up fails
  } cases[] = {
      {"NUL before the section's bracket", "\0[RDSmorvane]\nCOMport=1\n"s, ""},
      {"very long lines",
       std::string(300000, 'x') + tail + "EncoderType=" + std::string(300000, 'y') + "\n",
       "PIRA32"},
  };
  for (const auto& c : cases) {
    Rig rig;
    const std::string message = Start(rig, c.ini);
    EXPECT_EQ(message.empty(), !c.encoder_type.empty()) << c.what << ": " << message;
    EXPECT_EQ(rig.state.EncoderType, c.encoder_type) << c.what;
  }
}

}  // namespace
}  // namespace morvane
