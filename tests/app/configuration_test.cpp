#include "app/configuration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// A file with the one key start-up cannot do without, then the lines under test.
std::string Ini(const std::string& lines) {
  return "[RDSmorvane]\r\nCOMport=1\r\n" + lines;
}

struct Loaded {
  ControllerState state;
  Configuration configuration;
  std::string error;  // the start-up message, or "" when start-up goes on
  std::vector<std::string> reads;
};

// Lists a directory backwards, as a real one may list it in any order.
struct AnyOrderFiles : testing::FakeFiles {
  std::vector<std::string> ListDirectory(const std::string& path) override {
    std::vector<std::string> names = FakeFiles::ListDirectory(path);
    std::reverse(names.begin(), names.end());
    return names;
  }
};

Loaded Load(std::map<std::string, std::string> files, std::set<std::string> unreadable = {}) {
  AnyOrderFiles disk;
  disk.files = std::move(files);
  disk.unreadable = std::move(unreadable);
  Loaded loaded;
  // Every field is set by the load, whatever it held before.
  loaded.state.MetadataFile = loaded.state.RTPlusPrefix = loaded.state.RTPlusSplit = "left over";
  try {
    loaded.configuration = LoadConfiguration(disk, "/wd", loaded.state);
  } catch (const StartupError& error) {
    loaded.error = error.what();
  }
  loaded.reads = disk.reads;
  return loaded;
}

Loaded Load(const std::string& ini_text) {
  return Load({{"/wd/RDSmorvane.ini", ini_text}});
}

// Keyed values are cut to 29 characters, then converted; the line scan takes exact,
// case-sensitive keys at the very start of a line, in any section, the last line winning, and
// keeps the whole rest of the line. Names and paths are never converted.
TEST(LoadConfiguration, TextFields) {
  using S = ControllerState;
  const std::string forty = "0123456789ABCDEFGHIJ0123456789abcdefghij";
  const std::string utf8 = "TextEncoding=UTF-8\r\n";
  const std::string none(kRtPlusSentinel);
  const std::string long_path = " /srv/now playing/" + std::string(60, 'm') + ".txt ";
  const struct {
    std::string ini;
    std::string S::*field;
    std::string expected;
  } cases[] = {
      {Ini(""), &S::MetadataFile, "metadata.txt"},
      {Ini(""), &S::RTPlusPrefix, none},
      {Ini(""), &S::RTPlusSplit, none},
      {Ini("RTplusSwap=1\r\n"), &S::RTplusSwap, "1"},
      {Ini("TrafficRadioText=" + forty.substr(0, 30)), &S::TrafficRadioText, forty.substr(0, 29)},
      {Ini("DefaultRadioText=    " + forty), &S::DefaultRadioText, forty.substr(0, 29)},
      {Ini("DefaultRadioText=Radio\0Morvane"s), &S::DefaultRadioText, "Radio"},
      {Ini("TrafficMeta=\r\n"), &S::TrafficMeta, std::string(kMarkerSentinel)},
      {Ini("TrafficMeta= TA \r\n"), &S::TrafficMeta, "TA"},
      {Ini(utf8 + "TrafficRadioText=" + std::string(28, 'a') + "\xC3\xA9"), &S::TrafficRadioText,
       std::string(28, 'a')},
      {Ini(utf8 + "TrafficMeta=\xE2\x80\x8B"), &S::TrafficMeta, std::string(kMarkerSentinel)},
      {Ini("DefaultRadioText=Caf\xC3\xA9 $\r\n"), &S::DefaultRadioText, "Caf\xC3\xA9 $"},
      {Ini("TextEncoding=Latin-1\r\nDefaultRadioText=Caf\xC3\xA9 $"), &S::DefaultRadioText,
       "Caf\xE0\xA2 \xAB"},
      // The key counts wherever it stands.
      {Ini("DefaultRadioText=Caf\xC3\xA9 $\r\n" + utf8), &S::DefaultRadioText, "Caf\x82 \xAB"},
      {Ini(utf8 + "RTplusPrefix=\xC3\x89" + "coute: "), &S::RTPlusPrefix,
       "\xC2"
       "coute: "},
      {Ini(utf8 + "RTplusSplit= \xE2\x80\x93 "), &S::RTPlusSplit, " - "},
      {Ini(utf8 + "EncoderType=PIRA32 \xC3\xA9"), &S::EncoderType, "PIRA32 \xC3\xA9"},
      {Ini(utf8 + "MetadataFile=m\xC3\xA9ta.txt"), &S::MetadataFile, "m\xC3\xA9ta.txt"},
      {Ini("MetadataFile=" + long_path + "\r\n"), &S::MetadataFile, long_path},
      {Ini("MetadataFile=\r\n"), &S::MetadataFile, "metadata.txt"},
      {Ini("RTplusPrefix=\r\n"), &S::RTPlusPrefix, ""},
      {Ini("metadatafile=a.txt\r\n"), &S::MetadataFile, "metadata.txt"},
      {Ini(" RTplusPrefix=P\r\n"), &S::RTPlusPrefix, none},
      {Ini("RTplusSplit = - \r\n"), &S::RTPlusSplit, none},
      {Ini("MetadataFile=a.txt\r\nMetadataFile=b.txt\r\n"), &S::MetadataFile, "b.txt"},
      {Ini("RTplusSplit=/\r\nRTplusSplit=\r\n"), &S::RTPlusSplit, ""},
      {"RTplusPrefix=Now: \r\n" + Ini(""), &S::RTPlusPrefix, "Now: "},
      {Ini("[Other]\r\nRTplusSplit= / \r\n"), &S::RTPlusSplit, " / "},
      {"[RDSmorvane]\rCOMport=1\rMetadataFile=a.txt\rRTplusSplit= - ", &S::MetadataFile, "a.txt"},
      {"[RDSmorvane]\rCOMport=1\rMetadataFile=a.txt\rRTplusSplit= - ", &S::RTPlusSplit, " - "},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.ini);
    ASSERT_EQ(loaded.error, "") << c.ini;
    EXPECT_EQ(loaded.state.*c.field, c.expected) << c.ini;
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
      {"", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=1", &ControllerState::TAmaxtime, 60},
      {"TAMaxTimeout=0.99", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=9.98", &ControllerState::TAmaxtime, 599},
      {"TAMaxTimeout=9.995", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=-1", &ControllerState::TAmaxtime, 120},
      {"TAMaxTimeout=1.125", &ControllerState::TAmaxtime, 68},
      {"TAMaxTimeout=1.375", &ControllerState::TAmaxtime, 82},
      {"TAMaxTimeout=  4  ", &ControllerState::TAmaxtime, 240},
      {"TAMaxTimeout=3\t\0x"s, &ControllerState::TAmaxtime, 180},
      {"TAMaxTimeout=546.1", &ControllerState::TAmaxtime, 120},
      {"", &ControllerState::RTplus, 0},
      {"RTplus=yes", &ControllerState::RTplus, 0},
      {"RTplus=1 (on)", &ControllerState::RTplus, 1},
      {"RTplus=2.5", &ControllerState::RTplus, 2},
      {"RTplus=-32768", &ControllerState::RTplus, -32768},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(Ini(c.lines + "\r\n"));
    ASSERT_EQ(loaded.error, "") << c.lines;
    EXPECT_EQ(loaded.state.*c.field, c.expected) << c.lines;
  }
}

// The port's texts go to start-up as written; a device path or a network address is kept whole,
// a number is cut to 29 characters like any keyed value.
TEST(LoadConfiguration, PortTextsAndTextEncodingGoToStartUp) {
  const std::string device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0";
  const std::string number(29, '2');
  const std::string network = "tcp://rds-encoder-in-the-rack.studio.example:4001";
  const struct {
    std::string lines;
    std::string COMsettings;
    std::string COMport;
    TextEncoding encoding;
  } cases[] = {
      {"", "9600,N,8,1", number, TextEncoding::Rds},
      {"COMsettings=19200,E,7,2\r\nTextEncoding = utf-8 \r\n", "19200,E,7,2", number,
       TextEncoding::Utf8},
      {"COMport=" + device + "\r\nTextEncoding=Latin-1\r\n", "9600,N,8,1", device,
       TextEncoding::Latin1},
      {"COMport=" + network + "\r\n", "9600,N,8,1", network, TextEncoding::Rds},
  };
  for (const auto& c : cases) {
    const Loaded loaded =
        Load("[RDSmorvane]\r\n" + c.lines + "COMport=" + std::string(40, '2') + "\r\n");
    ASSERT_EQ(loaded.error, "") << c.lines;
    EXPECT_EQ(loaded.configuration.COMsettings, c.COMsettings) << c.lines;
    EXPECT_EQ(loaded.configuration.COMport, c.COMport) << c.lines;
    EXPECT_EQ(loaded.configuration.text_encoding, c.encoding) << c.lines;
  }
  // The web's keys are kept whole too: a token cut without notice would turn every request away.
  const std::string token(40, 't');
  const WebSettings web =
      Load(Ini("WebListen=[::1]:8750\r\nWebToken=" + token + "\r\nMetadataSource=PUSH"))
          .configuration.web;
  ASSERT_TRUE(web.listen);
  EXPECT_EQ(web.listen->host + " " + std::to_string(web.listen->port), "::1 8750");
  EXPECT_EQ(web.token, token);
  EXPECT_EQ(web.metadata_source, MetadataSource::Push);
  EXPECT_EQ(Load(Ini("StaleRadioTextMinutes=1440")).configuration.stale_radiotext_minutes, 1440);
  EXPECT_EQ(Load(Ini("StaleRadioTextMinutes=0")).configuration.stale_radiotext_minutes, 0);
}

TEST(LoadConfiguration, ValuesThatEndStartUpNameTheirKey) {
  const std::string minutes = "\" in /wd/RDSmorvane.ini is not a number of minutes.";
  const std::string rtplus =
      "\" in /wd/RDSmorvane.ini is out of range; give 1 to switch RT+ on, "
      "0 to switch it off.";
  const std::string stale =
      "\" in /wd/RDSmorvane.ini is not usable; give the minutes (1 to 1440) "
      "after which an unchanged metadata line gives way to "
      "DefaultRadioText, or 0 to keep it on air.";
  const std::pair<std::string, std::string> cases[] = {
      {Ini("TAMaxTimeout=\r\n"), "TAMaxTimeout \"" + minutes},
      {Ini("TAMaxTimeout=two\r\n"), "TAMaxTimeout \"two" + minutes},
      {Ini("TAMaxTimeout=2 min\r\n"), "TAMaxTimeout \"2 min" + minutes},
      {Ini("TAMaxTimeout=1e1\r\n"), "TAMaxTimeout \"1e1" + minutes},
      {Ini("TAMaxTimeout=546.13\r\n"),
       "TAMaxTimeout \"546.13\" in /wd/RDSmorvane.ini is far too large; give the minutes a "
       "traffic announcement may last."},
      {Ini("RTplus=32767.5\r\n"), "RTplus \"32767.5" + rtplus},
      {Ini("RTplus=-40000\r\n"), "RTplus \"-40000" + rtplus},
      {Ini("TextEncoding=UTF8\r\n"),
       "TextEncoding \"UTF8\" in /wd/RDSmorvane.ini is not known; give \"RDS\", \"UTF-8\" or "
       "\"Latin-1\"."},
      {"[RDSmorvane]\nEncoderType=PIRA32\n[Other]\nCOMport=1\n",
       "The key COMport is missing from section [RDSmorvane] of /wd/RDSmorvane.ini. Give the "
       "serial port's number (1 for the first), its device path or tcp://HOST:PORT for an "
       "encoder on the network."},
      {Ini("WebListen=8750\r\n"),
       "WebListen \"8750\" in /wd/RDSmorvane.ini names no address and port; give HOST:PORT, as "
       "in 127.0.0.1:8750 ([::1]:8750 for IPv6)."},
      {Ini("WebListen=0.0.0.0:8750\r\n"),
       "WebListen \"0.0.0.0:8750\" in /wd/RDSmorvane.ini can be reached from other computers; "
       "set WebToken too, or listen on 127.0.0.1 only."},
      {Ini("MetadataSource=http\r\n"),
       "MetadataSource \"http\" in /wd/RDSmorvane.ini is not known; give \"file\" or \"push\"."},
      {Ini("StaleRadioTextMinutes=1441\r\n"), "StaleRadioTextMinutes \"1441" + stale},
      {Ini("StaleRadioTextMinutes=10 min\r\n"), "StaleRadioTextMinutes \"10 min" + stale},
      {Ini("StaleRadioTextMinutes=-1\r\n"), "StaleRadioTextMinutes \"-1" + stale},
      {Ini("MetadataSource=push\r\n"),
       "MetadataSource push in /wd/RDSmorvane.ini takes the title from the web; set WebListen "
       "too."},
  };
  for (const auto& [ini, message] : cases) {
    EXPECT_EQ(Load(ini).error, message) << ini;
  }
}

// Both passes read one text, read once: they cannot see two different files. The exact name,
// there but unreadable, has no stand-in.
TEST(LoadConfiguration, FindsTheOneFileAndReadsItOnce) {
  const std::string exact = "[RDSmorvane]\nCOMport=1\nEncoderType=EXACT\n";
  const std::string variant = "[RDSmorvane]\nCOMport=1\nEncoderType=VARIANT\n";
  const std::string ini = "/wd/RDSmorvane.ini";
  const std::string lower = "/wd/rdsmorvane.ini";
  const std::string full = exact + std::string((1 << 20) - exact.size(), ' ');
  const std::string file = "The configuration file ";
  const struct {
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::string outcome;  // the encoder type read, or the start-up message
    std::size_t reads;
  } cases[] = {
      {{{"/wd/rdsmorvane.INI", variant}}, {}, "VARIANT", 2},
      {{{ini, exact}, {lower, variant}}, {}, "EXACT", 1},
      {{{"/wd/sub/RDSmorvane.ini", exact}, {ini + ".bak", exact}},
       {},
       file + "RDSmorvane.ini was not found in the working directory /wd.",
       1},
      {{{lower, variant}, {"/wd/RDSMORVANE.INI", variant}, {"/wd/Rdsmorvane.ini", variant}},
       {},
       "Several files in /wd could be the configuration file RDSmorvane.ini: RDSMORVANE.INI, "
       "Rdsmorvane.ini, rdsmorvane.ini. Keep only one.",
       1},
      {{{ini, exact}, {lower, variant}},
       {ini},
       file + ini + " cannot be read: Permission denied.",
       1},
      {{{lower, variant}}, {lower}, file + lower + " cannot be read: Permission denied.", 2},
      {{{ini, full}}, {}, "EXACT", 1},
      {{{ini, full + " "}},
       {},
       file + ini + " is larger than 1 MiB; it cannot be the configuration.",
       1},
      {{{lower, full + " "}},
       {},
       file + lower + " is larger than 1 MiB; it cannot be the configuration.",
       2},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.files, c.unreadable);
    EXPECT_EQ(loaded.error.empty() ? loaded.state.EncoderType : loaded.error, c.outcome);
    EXPECT_EQ(loaded.reads.size(), c.reads) << c.outcome;
  }
}

}  // namespace
}  // namespace morvane
