// The configuration: the INI rules, the values start-up takes from the file, and --check.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/configuration_report.h"
#include "app/ini_lookup.h"
#include "app/startup.h"
#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using namespace std::string_literals;

TEST(LookupIniValue, FollowsTheStationsIniRules) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      // Section and key in any letter case, value as written; blanks around key and value go.
      {"  [ RDSmorvane ] ; x\n \t EncoderType \t=  PIRA 32 \t\n", "PIRA 32"},
      // No inline comments, a second "=" belongs to the value; comment lines, also after blanks.
      {"[RDSmorvane]\nEncoderType=Hits; more #x=y\n", "Hits; more #x=y"},
      {"[RDSmorvane]\n;EncoderType=X\n  # EncoderType=Y\nEncoderType=Z\n", "Z"},
      {"[RDSmorvane]\nEncoderType=A\nEncoderType=B\n", "A"},    // the first one wins
      {"[RDSmorvane]\n[Other\nEncoderType=A\n", std::nullopt},  // an unclosed bracket counts
      {"\xEF\xBB\xBF[RDSmorvane]\nEncoderType=A\n", "A"},
      {"[RDSmorvane]\nEncoderType=a\0\xE9\xFF\n"s, "a\0\xE9\xFF"s},
  };
  for (const auto& [ini, value] : cases) {
    EXPECT_EQ(LookupIniValue(ini, "RDSmorvane", "EncoderType"), value) << ini;
  }
}

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

// Keyed values are cut to 29 characters, then converted; the line scan takes exact keys at a
// line's start, in any section, the last winning, and keeps the rest of the line as written.
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
      {Ini(""), &S::RTPlusPrefix, none},
      {Ini("TrafficRadioText=" + forty.substr(0, 30)), &S::TrafficRadioText, forty.substr(0, 29)},
      {Ini("DefaultRadioText=Radio\0Morvane"s), &S::DefaultRadioText, "Radio"},
      {Ini(utf8 + "TrafficRadioText=" + std::string(28, 'a') + "\xC3\xA9"), &S::TrafficRadioText,
       std::string(28, 'a')},
      {Ini("TextEncoding=Latin-1\r\nDefaultRadioText=Caf\xC3\xA9 $"), &S::DefaultRadioText,
       "Caf\xE0\xA2 \xAB"},
      // The key counts wherever it stands.
      {Ini("DefaultRadioText=Caf\xC3\xA9 $\r\n" + utf8), &S::DefaultRadioText, "Caf\x82 \xAB"},
      {Ini("MetadataFile=" + long_path + "\r\n"), &S::MetadataFile, long_path},
      {Ini("RTplusPrefix=\r\n"), &S::RTPlusPrefix, ""},
      {Ini("metadatafile=a.txt\r\n"), &S::MetadataFile, "metadata.txt"},
      {Ini("RTplusSplit = - \r\n"), &S::RTPlusSplit, none},
      {Ini("MetadataFile=a.txt\r\nMetadataFile=b.txt\r\n"), &S::MetadataFile, "b.txt"},
      {"RTplusPrefix=Now: \r\n" + Ini(""), &S::RTPlusPrefix, "Now: "},
      {"[RDSmorvane]\rCOMport=1\rMetadataFile=a.txt\rRTplusSplit= - ", &S::RTPlusSplit, " - "},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.ini);
    ASSERT_EQ(loaded.error, "") << c.ini;
    EXPECT_EQ(loaded.state.*c.field, c.expected) << c.ini;
  }
  // The web token is kept whole: one cut without notice would turn every request away.
  const std::string token(40, 't');
  EXPECT_EQ(Load(Ini("WebToken=" + token)).configuration.web.token, token);
}

// One text, read once, for both passes; the exact name, there but unreadable, has no stand-in.
TEST(LoadConfiguration, FindsTheOneFileAndReadsItOnce) {
  const std::string exact = "[RDSmorvane]\nCOMport=1\nEncoderType=EXACT\n";
  const std::string variant = "[RDSmorvane]\nCOMport=1\nEncoderType=VARIANT\n";
  const std::string ini = "/wd/RDSmorvane.ini";
  const std::string lower = "/wd/rdsmorvane.ini";
  const std::string full = exact + std::string((1 << 20) - exact.size(), ' ');
  const struct {
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::string outcome;  // the encoder type read, or how the start-up message ends
    std::size_t reads;
  } cases[] = {
      {{{"/wd/rdsmorvane.INI", variant}}, {}, "VARIANT", 2},
      {{{ini, exact}, {lower, variant}}, {}, "EXACT", 1},
      {{{"/wd/sub/RDSmorvane.ini", exact}, {ini + ".bak", exact}}, {}, "directory /wd.", 1},
      {{{lower, variant}, {"/wd/RDSMORVANE.INI", variant}, {"/wd/Rdsmorvane.ini", variant}},
       {},
       "RDSmorvane.ini: RDSMORVANE.INI, Rdsmorvane.ini, rdsmorvane.ini. Keep only one.",
       1},
      {{{ini, exact}, {lower, variant}}, {ini}, ini + " cannot be read: Permission denied.", 1},
      {{{ini, full}}, {}, "EXACT", 1},
      {{{ini, full + " "}}, {}, ini + " is larger than 1 MiB; it cannot be the configuration.", 1},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.files, c.unreadable);
    const std::string outcome = loaded.error.empty() ? loaded.state.EncoderType : loaded.error;
    EXPECT_EQ(outcome.substr(outcome.size() - std::min(outcome.size(), c.outcome.size())),
              c.outcome);
    EXPECT_EQ(loaded.reads.size(), c.reads) << c.outcome;
  }
}

constexpr const char* kIniPath = "/wd/RDSmorvane.ini";
const std::string kOddMetadataPath = " /srv/caf\xE9.txt\x01\x7F";

struct CheckResult {
  int status = 0;
  std::string out, err;
  std::vector<std::string> reads;
};

// The INI file, when there is one, beside readable metadata files and an unusable device.
void Stock(testing::FakeFiles& files, const std::optional<std::string>& ini_text) {
  if (ini_text) {
    files.files[kIniPath] = *ini_text;
  }
  files.files["metadata.txt"] = files.files[kOddMetadataPath] = "Artist - Title\r\n";
  files.device_problems["/dev/ttyUSB9"] = "No such file or directory";
}

CheckResult Check(const std::optional<std::string>& ini_text, bool metadata_readable = true) {
  testing::FakeFiles files;
  Stock(files, ini_text);
  if (!metadata_readable) {
    files.unreadable.insert("metadata.txt");
  }
  std::ostringstream out;
  std::ostringstream err;
  const int status = CheckConfiguration(files, "/wd", out, err);
  return {status, out.str(), err.str(), files.reads};
}

// Each value as start-up would use it, quoted so blanks show: control bytes as \xNN, on-air
// texts as a radio shows their RDS codes, names and paths as written; the web token never.
TEST(CheckConfiguration, ShowsEveryValueStartUpWouldUse) {
  const std::string network = "COMport=tcp://[fd00::7]:4001";
  const std::pair<std::string, std::string> cases[] = {
      {"", "COMsettings       \"9600,N,8,1\"\n"},
      {"", "COMport           \"2\" (port number 2, device /dev/ttyS1)\n"},
      {"TextEncoding=latin-1", "TextEncoding      Latin-1\n"},
      {network, "COMport           \"tcp://[fd00::7]:4001\" (network: host fd00::7, port 4001)\n"},
      {"TrafficRadioText=Flash", "TrafficRadioText  \"Flash\"\n"},
      {"EncoderType=pira32", "EncoderType       \"pira32\" (no encoder model: nothing is sent)\n"},
      {"DefaultRadioText=\x01\x7F\xFF\xAB\x80", "DefaultRadioText  \"\\x01\\x7F\\xFF$á\"\n"},
      // Minutes become seconds, rounded half to even; 60 to 599 s or the two-minute fallback.
      {"", "TAmaxtime         120 s\n"},
      {"TAMaxTimeout=1", "TAmaxtime         60 s\n"},
      {"TAMaxTimeout=1.125", "TAmaxtime         68 s\n"},
      {"TAMaxTimeout=9.99", "TAmaxtime         599 s\n"},
      {"TAMaxTimeout=9.995", "TAmaxtime         120 s\n"},
      {"TAMaxTimeout=546.1", "TAmaxtime         120 s\n"},
      {"RTplus=2.5", "RTplus            2 (off)\n"},
      {"RTplusSwap=1", "RTplusSwap        \"1\" (swap)\n"},
      {"RTplusSwap=2", "RTplusSwap        \"2\" (no swap)\n"},
      {"MetadataFile=" + kOddMetadataPath, "MetadataFile      \" /srv/caf\xE9.txt\\x01\\x7F\"\n"},
      {"StaleRadioTextMinutes=1440",
       "StaleRadioTextMinutes 1440 (DefaultRadioText after 1440 minutes unchanged)\n"},
      {"WebListen=[fd00::1]:8750\nWebToken=s3cr3t",
       "WebListen         [fd00::1]:8750 (reachable from other computers)\n"},
      {"WebToken=s3cr3t", "WebToken          (set)\n"},
      {"WebListen=127.0.0.1:8750", "WebListen         127.0.0.1:8750 (this computer only)\n"},
      {"WebListen=127.0.0.1:8750\nMetadataSource=Push", "MetadataSource    push\n"},
  };
  for (const auto& [lines, shown] : cases) {
    const CheckResult result = Check("[RDSmorvane]\n" + lines + "\nCOMport=2\n");
    EXPECT_EQ(result.status, 0) << lines;
    EXPECT_EQ(result.out.rfind("Values from RDSmorvane.ini in /wd:\n", 0), 0u);
    EXPECT_NE(result.out.find(shown), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("s3cr3t"), std::string::npos);
    EXPECT_EQ(result.err, "");
    ASSERT_EQ(result.reads.size(), 2u) << "the INI file once, then the metadata file";
    EXPECT_EQ(result.reads.front(), kIniPath);
  }
  // Start-up goes on without it, so the check names it, as the metadata watcher would, and passes.
  const CheckResult unreadable = Check("[RDSmorvane]\nCOMport=1\n", false);
  EXPECT_EQ(unreadable.status, 0);
  EXPECT_EQ(unreadable.err, "metadata file metadata.txt cannot be read: Permission denied\n");
}

// The check fails with start-up's message (the key, the value, why), and start-up sends nothing.
TEST(CheckConfiguration, FailsWithTheMessageStartUpWouldShow) {
  const std::string in = "\" in /wd/RDSmorvane.ini ";
  const std::string utf16 = "The configuration file /wd/RDSmorvane.ini looks like UTF-16;";
  const struct {
    std::optional<std::string> ini;
    bool values_shown;    // the file was read; only the port's texts or device are wrong
    std::string message;  // how it begins
  } cases[] = {
      {std::nullopt, false, "The configuration file RDSmorvane.ini was not found"},
      {"[RDSmorvane]\n[Other]\nCOMport=1\n", false, "The key COMport is missing from section"},
      {Ini("TAMaxTimeout=two"), false, "TAMaxTimeout \"two" + in + "is not a number"},
      {Ini("TAMaxTimeout=546.13"), false, "TAMaxTimeout \"546.13" + in + "is far too large"},
      {Ini("RTplus=32767.5"), false, "RTplus \"32767.5" + in + "is out of range"},
      {Ini("TextEncoding=UTF8"), false, "TextEncoding \"UTF8" + in + "is not known"},
      {Ini("WebListen=0.0.0.0:8750"), false, "WebListen \"0.0.0.0:8750" + in + "can be reached"},
      {Ini("MetadataSource=http"), false, "MetadataSource \"http" + in + "is not known"},
      {Ini("MetadataSource=push"), false, "MetadataSource push in /wd/RDSmorvane.ini takes"},
      {Ini("StaleRadioTextMinutes=1441"), false, "StaleRadioTextMinutes \"1441" + in + "is not"},
      // Saved as UTF-16: a byte order mark, or NULs between letters.
      {"\xFF\xFE", false, utf16},
      {"\xFE\xFF", false, utf16},
      {"[\0R\0d\0S\0]\0"s, false, utf16},
      {Ini("COMsettings=9600,N,8,1.5"), true, "COMsettings \"9600,N,8,1.5\" is not usable"},
      {"[RDSmorvane]\nCOMport=COM1\n", true, "COMport \"COM1\" names no serial port"},
      {"[RDSmorvane]\nCOMport=tcp://encoder\n", true, "COMport \"tcp://encoder\" is no network"},
      {"[RDSmorvane]\nCOMport=/dev/ttyUSB9\n", true, "Serial port /dev/ttyUSB9 (COMport) cannot"},
  };
  for (const auto& c : cases) {
    const CheckResult result = Check(c.ini);
    EXPECT_EQ(result.status, 1) << c.message;
    EXPECT_EQ(result.err.substr(0, c.message.size()), c.message);
    EXPECT_EQ(result.out.empty(), !c.values_shown) << result.out;
    testing::Rig rig;
    Stock(rig.files, c.ini);
    try {
      Form_Load(rig.controller, "/wd");
      ADD_FAILURE() << c.message << ": start-up went on";
    } catch (const StartupError& error) {
      EXPECT_EQ(error.what() + std::string("\n"), result.err);
    }
    EXPECT_FALSE(rig.port.open);
    EXPECT_TRUE(rig.log.empty() && rig.timers.history.empty()) << c.message;
  }
}

}  // namespace
}  // namespace morvane
