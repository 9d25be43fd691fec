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
  EXPECT_EQ(rig.controller.text_encoding, TextEncoding::Rds);
}

// The value is cut, then converted; names and paths are never converted.
TEST(LoadConfiguration, KeyedTextsAreCutTo29CharactersThenConverted) {
  const std::string forty = "0123456789ABCDEFGHIJ0123456789abcdefghij";
  const std::string utf8 = "TextEncoding=UTF-8\r\n";
  const std::string a28(28, 'a');
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
      {"é cut in half at byte 29 is dropped", utf8 + "TrafficRadioText=" + a28 + "\xC3\xA9\r\n",
       &ControllerState::TrafficRadioText, a28},
      {"marker that converts to nothing is the sentinel", utf8 + "TrafficMeta=\xE2\x80\x8B\r\n",
       &ControllerState::TrafficMeta, std::string(kMarkerSentinel)},
      {"prefix from the line scan",
       utf8 + "RTplusPrefix=\xC3\x89"
              "coute: \r\n",
       &ControllerState::RTPlusPrefix,
       "\xC2"
       "coute: "},
      {"encoder type is a name", utf8 + "EncoderType=PIRA32 \xC3\xA9\r\n",
       &ControllerState::EncoderType, "PIRA32 \xC3\xA9"},
      {"metadata path is a file name", utf8 + "MetadataFile=m\xC3\xA9ta.txt\r\n",
       &ControllerState::MetadataFile, "m\xC3\xA9ta.txt"},
  };
  for (const auto& c : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini(c.lines)), "") << c.what;
    EXPECT_EQ(rig.state.*c.field, c.expected) << c.what;
  }
}

TEST(LoadConfiguration, TextEncodingSelectsHowConfiguredTextsAreConverted) {
  // "Café $" as a UTF-8 file holds it, read as it stands, as UTF-8 (é, $), as Windows-1252 (Ã, ©).
  const std::string cafe = "DefaultRadioText=Caf\xC3\xA9 $\r\n";
  const struct {
    const char* what;
    std::string lines;
    TextEncoding encoding;
    std::string default_radiotext;
  } cases[] = {
      {"missing key: bytes as they are", cafe, TextEncoding::Rds, "Caf\xC3\xA9 $"},
      {"UTF-8", "TextEncoding = UTF-8 \r\n" + cafe, TextEncoding::Utf8, "Caf\x82 \xAB"},
      {"Latin-1", "TextEncoding=Latin-1\r\n" + cafe, TextEncoding::Latin1, "Caf\xE0\xA2 \xAB"},
      {"key after the texts still applies to them", cafe + "TextEncoding=UTF-8\r\n",
       TextEncoding::Utf8, "Caf\x82 \xAB"},
  };
  for (const auto& c : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini(c.lines)), "") << c.what;
    // Kept for the metadata and in-house lines that come later.
    EXPECT_EQ(rig.controller.text_encoding, c.encoding) << c.what;
    EXPECT_EQ(rig.state.DefaultRadioText, c.default_radiotext) << c.what;
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

// TAMaxTimeout: minutes become seconds, rounded half to even; 60..599 s or the two-minute
// fallback. RTplus: the rounded number at the start of the text, 0 for none.
TEST(LoadConfiguration, NumbersAreRoundedHalfToEven) {
  const struct {
    std::string lines;
    int16_t ControllerState::*field;
    int16_t expected;
  } cases[] = {
      {"TAMaxTimeout=1", &ControllerState::TAmaxtime, 60},
      {"TAMaxTimeout=0.99", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=9.98", &ControllerState::TAmaxtime, 599},
      {"TAMaxTimeout=9.995", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=-1", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=1.125", &ControllerState::TAmaxtime, 68},
      {"TAMaxTimeout=1.375", &ControllerState::TAmaxtime, 82},
      {"TAMaxTimeout=  4  ", &ControllerState::TAmaxtime, 240},
      {"TAMaxTimeout=546.1", &ControllerState::TAmaxtime, 120},
      {"RTplus=yes", &ControllerState::RTplus, 0},
      {"RTplus=1 (on)", &ControllerState::RTplus, 1},
      {"RTplus=2.5", &ControllerState::RTplus, 2},
      {"RTplus=-32768", &ControllerState::RTplus, -32768},
  };
  for (const auto& c : cases) {
    Rig rig;
    ASSERT_EQ(Start(rig, Ini(c.lines + "\r\n")), "") << c.lines;
    EXPECT_EQ(rig.state.*c.field, c.expected) << c.lines;
  }
}

TEST(LoadConfiguration, ValuesThatEndStartUpNameTheirKey) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {Ini("TAMaxTimeout=\r\n"), "TAMaxTimeout \"\""},
      {Ini("TAMaxTimeout=two\r\n"), "TAMaxTimeout \"two\""},
      {Ini("TAMaxTimeout=2 min\r\n"), "TAMaxTimeout \"2 min\""},
      {Ini("TAMaxTimeout=1e1\r\n"), "TAMaxTimeout \"1e1\""},
      {Ini("TAMaxTimeout=546.13\r\n"), "TAMaxTimeout \"546.13\""},
      {Ini("RTplus=32767.5\r\n"), "RTplus \"32767.5\""},
      {Ini("RTplus=-40000\r\n"), "RTplus \"-40000\""},
      {Ini("TextEncoding=UTF8\r\n"),
       "TextEncoding \"UTF8\" in /wd/RDSmorvane.ini is not known; give " +
           std::string(kTextEncodingValues)},
      {"[RDSmorvane]\nEncoderType=PIRA32\n[Other]\nCOMport=1\n", "The key COMport is missing"},
      {Ini("WebListen=8750\r\n"), "WebListen \"8750\" in /wd/RDSmorvane.ini names no address"},
      {Ini("WebListen=0.0.0.0:8750\r\n"),
       "WebListen \"0.0.0.0:8750\" in /wd/RDSmorvane.ini can "
       "be reached from other computers; set WebToken"},
      {Ini("MetadataSource=http\r\n"), "MetadataSource \"http\" in /wd/RDSmorvane.ini is not"},
      {Ini("MetadataSource=push\r\n"), "set WebListen too"},
      {Ini("StaleRadioTextMinutes=1441\r\n"), "StaleRadioTextMinutes \"1441\""},
      {Ini("StaleRadioTextMinutes=10 min\r\n"), "StaleRadioTextMinutes \"10 min\""},
  };
  for (const auto& [ini, message] : cases) {
    Rig rig;
    EXPECT_THAT(Start(rig, ini), HasSubstr(message)) << ini;
    EXPECT_FALSE(rig.port.opened_settings) << ini << ": nothing may be opened";
  }
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

}  // namespace
}  // namespace morvane
