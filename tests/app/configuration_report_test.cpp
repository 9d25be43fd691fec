#include "app/configuration_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeFiles;

constexpr const char* kWorkingDirectory = "/var/lib/rdsmorvane";
constexpr const char* kIniPath = "/var/lib/rdsmorvane/RDSmorvane.ini";
const std::string kOddMetadataPath = " /srv/caf\xE9.txt\x01\x7F";

struct CheckResult {
  int status = 0;
  std::string out;
  std::string err;
  std::vector<std::string> reads;
};

// The INI file, when there is one, beside readable metadata files and two unusable devices.
void Stock(FakeFiles& files, const std::optional<std::string>& ini_text) {
  if (ini_text) {
    files.files[kIniPath] = *ini_text;
  }
  files.files["metadata.txt"] = files.files[kOddMetadataPath] = "Artist - Title\r\n";
  files.device_problems["/dev/ttyUSB9"] = "No such file or directory";
  files.device_problems["/dev/null"] = "Not a serial port (the device is no terminal)";
}

CheckResult Check(const std::optional<std::string>& ini_text, bool metadata_readable = true) {
  FakeFiles files;
  Stock(files, ini_text);
  if (!metadata_readable) {
    files.unreadable.insert("metadata.txt");
  }
  std::ostringstream out;
  std::ostringstream err;
  const int status = CheckConfiguration(files, kWorkingDirectory, out, err);
  return {status, out.str(), err.str(), files.reads};
}

// Each value as start-up would use it, on a line of its own, texts quoted so blanks show:
// control bytes as \xNN, on-air texts as a radio shows their RDS codes, names and paths as
// written; the web token, a secret, never.
TEST(CheckConfiguration, ShowsEveryValueStartUpWouldUse) {
  const std::string network = "COMport=tcp://[fd00::7]:4001";
  const std::pair<std::string, std::string> cases[] = {
      {"", "COMsettings       \"9600,N,8,1\"\n"},
      {"COMsettings=19200,E,7,2", "COMsettings       \"19200,E,7,2\"\n"},
      {network,
       "COMsettings       \"9600,N,8,1\" (not used: a network port has the line settings of the "
       "encoder or its device server)\n"},
      {"", "COMport           \"2\" (port number 2, device /dev/ttyS1)\n"},
      {"COMport=/dev/ttyUSB0", "COMport           \"/dev/ttyUSB0\" (device /dev/ttyUSB0)\n"},
      {network, "COMport           \"tcp://[fd00::7]:4001\" (network: host fd00::7, port 4001)\n"},
      {"", "TextEncoding      RDS\n"},
      {"TextEncoding=latin-1", "TextEncoding      Latin-1\n"},
      {"EncoderType=PIRAMICRO", "EncoderType       \"PIRAMICRO\"\n"},
      {"EncoderType=pira32", "EncoderType       \"pira32\" (no encoder model: nothing is sent)\n"},
      {"TextEncoding=Latin-1\nDefaultRadioText=Caf\xE9 M\xFCller",
       "DefaultRadioText  \"Café Müller\"\n"},
      {"DefaultRadioText=\x01\x7F\xFF\xAB\x80", "DefaultRadioText  \"\\x01\\x7F\\xFF$á\"\n"},
      {"TrafficRadioText=Traffic news", "TrafficRadioText  \"Traffic news\"\n"},
      {"TAMaxTimeout=3", "TAmaxtime         180 s\n"},
      {"", "TrafficMeta       (not set)\n"},
      {"TextEncoding=Latin-1\nTrafficMeta=\xA7TA", "TrafficMeta       \"§TA\"\n"},
      {"RTplus=1", "RTplus            1 (on)\n"},
      {"RTplus=2.5", "RTplus            2 (off)\n"},
      {"RTplusSwap=1", "RTplusSwap        \"1\" (swap)\n"},
      {"RTplusSwap=2", "RTplusSwap        \"2\" (no swap)\n"},
      {"", "MetadataFile      \"metadata.txt\"\n"},
      {"MetadataFile=" + kOddMetadataPath, "MetadataFile      \" /srv/caf\xE9.txt\\x01\\x7F\"\n"},
      {"", "StaleRadioTextMinutes 0 (off)\n"},
      {"StaleRadioTextMinutes=1440",
       "StaleRadioTextMinutes 1440 (DefaultRadioText after 1440 minutes unchanged)\n"},
      {"", "RTplusPrefix      (not set)\n"},
      {"RTplusPrefix=", "RTplusPrefix      \"\"\n"},
      {"RTplusSplit=\t/\xE9", "RTplusSplit       \"\\x09/Ŋ\"\n"},
      {"", "WebListen         (not set: no web server)\n"},
      {"WebListen=127.0.0.1:8750", "WebListen         127.0.0.1:8750 (this computer only)\n"},
      {"WebListen=[fd00::1]:8750\nWebToken=s3cr3t",
       "WebListen         [fd00::1]:8750 (reachable from other computers)\n"},
      {"", "WebToken          (not set)\n"},
      {"WebToken=s3cr3t", "WebToken          (set)\n"},
      {"", "MetadataSource    file\n"},
      {"WebListen=127.0.0.1:8750\nMetadataSource=Push", "MetadataSource    push\n"},
  };
  for (const auto& [lines, shown] : cases) {
    const CheckResult result = Check("[RDSmorvane]\n" + lines + "\nCOMport=2\n");
    EXPECT_EQ(result.status, 0) << lines;
    EXPECT_EQ(result.out.rfind("Values from RDSmorvane.ini in /var/lib/rdsmorvane:\n", 0), 0u);
    EXPECT_NE(result.out.find(shown), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "");
    ASSERT_EQ(result.reads.size(), 2u) << "the INI file once, then the metadata file";
    EXPECT_EQ(result.reads.front(), kIniPath);
  }
}

// What start-up itself says for the same file; the check must say the same.
std::string StartupMessage(const std::optional<std::string>& ini_text) {
  testing::Rig rig;
  Stock(rig.files, ini_text);
  try {
    Form_Load(rig.controller, kWorkingDirectory);
  } catch (const StartupError& error) {
    return std::string(error.what()) + "\n";
  }
  return "";
}

TEST(CheckConfiguration, FailsWithTheMessageStartUpWouldShow) {
  const struct {
    std::optional<std::string> ini;
    bool values_shown;  // the file was read; only the port's texts or device are wrong
  } cases[] = {
      {std::nullopt, false},
      {"[RDSmorvane]\nEncoderType=PIRA32\nTAMaxTimeout=2\n", false},
      {"[RDSmorvane]\nCOMport=1\nTAMaxTimeout=two\n", false},
      {"[RDSmorvane]\nCOMport=1\nCOMsettings=9600;N;8;1\n", true},
      {"[RDSmorvane]\nCOMport=COM1\n", true},
      {"[RDSmorvane]\nCOMport=/dev/ttyUSB9\n", true},
      {"[RDSmorvane]\nCOMport=/dev/null\n", true},
  };
  for (const auto& c : cases) {
    const std::string what = c.ini.value_or("no file");
    const CheckResult result = Check(c.ini);
    const std::string expected_message = StartupMessage(c.ini);
    ASSERT_FALSE(expected_message.empty()) << what << ": start-up should fail on this file";
    EXPECT_EQ(result.status, 1) << what;
    EXPECT_EQ(result.err, expected_message) << what;
    EXPECT_EQ(result.out.empty(), !c.values_shown) << result.out;
  }
}

// Start-up goes on without it, so the check names it, as the metadata watcher would, and passes.
TEST(CheckConfiguration, NamesAnUnreadableMetadataFileWithoutFailing) {
  const CheckResult result = Check("[RDSmorvane]\nCOMport=1\n", false);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "metadata file metadata.txt cannot be read: Permission denied\n");
}

}  // namespace
}  // namespace morvane
