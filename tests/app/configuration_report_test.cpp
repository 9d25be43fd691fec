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
using testing::Rig;

constexpr const char* kWorkingDirectory = "/var/lib/rdsmorvane";
constexpr const char* kIniPath = "/var/lib/rdsmorvane/RDSmorvane.ini";

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
  files.files["metadata.txt"] = files.files["/srv/caf\xE9.txt"] = "Artist - Title\r\n";
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

// What start-up itself says for the same file; the check must say the same.
std::string StartupMessage(const std::optional<std::string>& ini_text) {
  Rig rig;
  Stock(rig.files, ini_text);
  try {
    Form_Load(rig.controller, kWorkingDirectory);
  } catch (const StartupError& error) {
    return std::string(error.what()) + "\n";
  }
  return "";
}

const std::string kHeader = "Values from RDSmorvane.ini in /var/lib/rdsmorvane:\n";

TEST(CheckConfiguration, PrintsEveryValueStartUpWouldUse) {
  struct Case {
    const char* what;
    std::string ini;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"a complete file; on-air texts as a radio shows them, whatever the file's encoding",
       "[RDSmorvane]\r\n"
       "COMsettings=19200,E,7,2\r\n"
       "COMport=/dev/ttyUSB0\r\n"
       "TextEncoding=Latin-1\r\n"
       "EncoderType=PIRA32\r\n"
       "DefaultRadioText=Caf\xE9 M\xFCller\r\n"
       "TrafficRadioText=Traffic news\r\n"
       "TAMaxTimeout=3\r\n"
       "TrafficMeta=\xA7TA\r\n"
       "RTplus=1\r\n"
       "RTplusSwap=1\r\n"
       "MetadataFile=/srv/caf\xE9.txt\r\n"
       "StaleRadioTextMinutes=1440\r\n"
       "RTplusPrefix=\r\n"
       "RTplusSplit= \x96 \r\n"
       "WebListen=[fd00:1234:5678:9abc::1]:8750\r\n"
       "WebToken=s3cr3t\r\n"
       "MetadataSource=Push\r\n",
       kHeader +
           "COMsettings       \"19200,E,7,2\"\n"
           "COMport           \"/dev/ttyUSB0\" (device /dev/ttyUSB0)\n"
           "TextEncoding      Latin-1\n"
           "EncoderType       \"PIRA32\"\n"
           "DefaultRadioText  \"Café Müller\"\n"
           "TrafficRadioText  \"Traffic news\"\n"
           "TAmaxtime         180 s\n"
           "TrafficMeta       \"§TA\"\n"
           "RTplus            1 (on)\n"
           "RTplusSwap        \"1\" (swap)\n"
           "MetadataFile      \"/srv/caf\xE9.txt\"\n"
           "StaleRadioTextMinutes 1440 (DefaultRadioText after 1440 minutes unchanged)\n"
           "RTplusPrefix      \"\"\n"
           "RTplusSplit       \" - \"\n"
           "WebListen         [fd00:1234:5678:9abc::1]:8750 (reachable from other computers)\n"
           "WebToken          (set)\n"
           "MetadataSource    push\n"},
      {"sentinels and defaults; a tab made visible; a network port",
       "[RDSmorvane]\nCOMport=tcp://[fd00::7]:4001\nEncoderType=pira32\nTrafficMeta=\nRTplus=2.5\n"
       "RTplusSplit=\t/\n",
       kHeader + "COMsettings       \"9600,N,8,1\" (not used: a network port has the line "
                 "settings of the encoder or its device server)\n"
                 "COMport           \"tcp://[fd00::7]:4001\" (network: host fd00::7, port 4001)\n"
                 "TextEncoding      RDS\n"
                 "EncoderType       \"pira32\" (no encoder model: nothing is sent)\n"
                 "DefaultRadioText  \"\"\n"
                 "TrafficRadioText  \"\"\n"
                 "TAmaxtime         120 s\n"
                 "TrafficMeta       (not set)\n"
                 "RTplus            2 (off)\n"
                 "RTplusSwap        \"\" (no swap)\n"
                 "MetadataFile      \"metadata.txt\"\n"
                 "StaleRadioTextMinutes 0 (off)\n"
                 "RTplusPrefix      (not set)\n"
                 "RTplusSplit       \"\\x09/\"\n"
                 "WebListen         (not set: no web server)\n"
                 "WebToken          (not set)\n"
                 "MetadataSource    file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CheckResult result = Check(c.ini);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, c.expected);
    EXPECT_EQ(result.err, "");
    ASSERT_EQ(result.reads.size(), 2u) << "the INI file once, then the metadata file";
    EXPECT_EQ(result.reads.front(), kIniPath);
    EXPECT_EQ(StartupMessage(c.ini), "") << "start-up should accept this file too";
  }
}

TEST(CheckConfiguration, FailsWithTheMessageStartUpWouldShow) {
  struct Case {
    const char* what;
    std::optional<std::string> ini;
    bool values_shown;  // the file was read; only the port's texts are wrong
  };
  const std::vector<Case> cases = {
      {"no file", std::nullopt, false},
      {"missing COMport", "[RDSmorvane]\nEncoderType=PIRA32\nTAMaxTimeout=2\n", false},
      {"TAMaxTimeout not a number", "[RDSmorvane]\nCOMport=1\nTAMaxTimeout=two\n", false},
      {"COMsettings unusable", "[RDSmorvane]\nCOMport=1\nCOMsettings=9600;N;8;1\n", true},
      {"COMport names no port", "[RDSmorvane]\nCOMport=COM1\n", true},
      {"no such device", "[RDSmorvane]\nCOMport=/dev/ttyUSB9\n", true},
      {"a device that is no serial port", "[RDSmorvane]\nCOMport=/dev/null\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CheckResult result = Check(c.ini);
    const std::string expected_message = StartupMessage(c.ini);
    ASSERT_FALSE(expected_message.empty()) << "start-up should fail on this file";
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, expected_message);
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
