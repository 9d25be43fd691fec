#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/startup.h"
#include "app/startup_error.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using ::testing::HasSubstr;
using testing::Rig;

constexpr const char* kIniPath = "/wd/RDSmorvane.ini";
// "Café $" as a UTF-8 file holds it.
constexpr const char* kCafeUtf8 = "Caf\xC3\xA9 $";

struct Loaded {
  Configuration configuration;
  ControllerState state;
};

Loaded Load(const std::string& lines) {
  Rig rig;
  rig.files.files[kIniPath] = "[RDSmorvane]\r\nCOMport=1\r\n" + lines;
  Loaded loaded;
  loaded.configuration = LoadConfiguration(rig.files, "/wd", loaded.state);
  return loaded;
}

struct EncodingCase {
  const char* what;
  std::string lines;
  TextEncoding encoding;
  std::string default_radiotext;
};

TEST(TextEncodingKey, SelectsHowConfiguredTextsAreConverted) {
  const std::string cafe = std::string("DefaultRadioText=") + kCafeUtf8 + "\r\n";
  // The same bytes read three ways: as they stand, as UTF-8 (é, $), as Windows-1252 (Ã, ©, $).
  const std::string as_is = kCafeUtf8;
  const std::string from_utf8 = "Caf\x82 \xAB";
  const std::string from_latin1 = "Caf\xE0\xA2 \xAB";
  const std::vector<EncodingCase> cases = {
      {"missing key: bytes as they are", cafe, TextEncoding::Rds, as_is},
      {"empty value: bytes as they are", "TextEncoding=\r\n" + cafe, TextEncoding::Rds, as_is},
      {"RDS", "TextEncoding=RDS\r\n" + cafe, TextEncoding::Rds, as_is},
      {"UTF-8", "TextEncoding=UTF-8\r\n" + cafe, TextEncoding::Utf8, from_utf8},
      {"utf-8 in lower case", "TextEncoding=utf-8\r\n" + cafe, TextEncoding::Utf8, from_utf8},
      {"blanks around the value", "TextEncoding = UTF-8 \r\n" + cafe, TextEncoding::Utf8,
       from_utf8},
      {"Latin-1", "TextEncoding=Latin-1\r\n" + cafe, TextEncoding::Latin1, from_latin1},
      {"key after the texts still applies to them", cafe + "TextEncoding=UTF-8\r\n",
       TextEncoding::Utf8, from_utf8},
  };
  for (const EncodingCase& c : cases) {
    const Loaded loaded = Load(c.lines);
    EXPECT_EQ(loaded.configuration.text_encoding, c.encoding) << c.what;
    EXPECT_EQ(loaded.state.DefaultRadioText, c.default_radiotext) << c.what;
  }
}

TEST(TextEncodingKey, UnknownValueEndsStartUpNamingKeyAndValues) {
  for (const char* value : {"UTF8", "latin1", "Windows-1252", "ASCII", "RDS UTF-8"}) {
    Rig rig;
    rig.files.files[kIniPath] =
        std::string("[RDSmorvane]\r\nCOMport=1\r\nTextEncoding=") + value + "\r\n";
    try {
      Form_Load(rig.controller, "/wd");
      ADD_FAILURE() << value << " was accepted";
    } catch (const StartupError& error) {
      EXPECT_THAT(error.what(), HasSubstr("TextEncoding \"" + std::string(value) + "\""));
      EXPECT_THAT(error.what(), HasSubstr(std::string(kTextEncodingValues)));
    }
    EXPECT_FALSE(rig.port.opened_settings) << value << ": nothing may be opened";
  }
}

struct ConvertedCase {
  const char* what;
  std::string lines;
  std::string ControllerState::*field;
  std::string expected;
};

TEST(TextEncodingKey, TextsAreConvertedAfterTheCutAndSentinelsNever) {
  const std::string utf8 = "TextEncoding=UTF-8\r\n";
  const std::string a27(27, 'a');
  const std::string none(kRtPlusSentinel);
  const std::vector<ConvertedCase> cases = {
      {"é whole in the 29 bytes", utf8 + "DefaultRadioText=" + a27 + "\xC3\xA9xyz\r\n",
       &ControllerState::DefaultRadioText, a27 + "\x82"},
      {"é cut in half at byte 29 is dropped", utf8 + "TrafficRadioText=" + a27 + "a\xC3\xA9xyz\r\n",
       &ControllerState::TrafficRadioText, a27 + "a"},
      {"traffic marker", utf8 + "TrafficMeta=*St\xC3\xB6rung*\r\n", &ControllerState::TrafficMeta,
       "*St\x97rung*"},
      {"marker that converts to nothing becomes the sentinel",
       utf8 + "TrafficMeta=\xE2\x80\x8B\r\n", &ControllerState::TrafficMeta,
       std::string(kMarkerSentinel)},
      {"prefix from the line scan",
       utf8 + "RTplusPrefix=\xC3\x89"
              "coute: \r\n",
       &ControllerState::RTPlusPrefix,
       "\xC2"
       "coute: "},
      {"separator from the line scan, longer than 29 bytes",
       utf8 + "RTplusSplit= \xE2\x80\x93 " + std::string(30, '.') + "\xC3\xBC\r\n",
       &ControllerState::RTPlusSplit, " - " + std::string(30, '.') + "\x99"},
      {"no prefix line keeps the sentinel", utf8, &ControllerState::RTPlusPrefix, none},
      {"no separator line keeps the sentinel", utf8, &ControllerState::RTPlusSplit, none},
      {"encoder type is a name, not a text", utf8 + "EncoderType=PIRA32 \xC3\xA9\r\n",
       &ControllerState::EncoderType, "PIRA32 \xC3\xA9"},
      {"metadata path is a file name, not a text", utf8 + "MetadataFile=/srv/m\xC3\xA9ta.txt\r\n",
       &ControllerState::MetadataFile, "/srv/m\xC3\xA9ta.txt"},
  };
  for (const ConvertedCase& c : cases) {
    EXPECT_EQ(Load(c.lines).state.*c.field, c.expected) << c.what;
  }
}

TEST(TextEncodingKey, StartUpKeepsTheEncodingForTheLinesThatComeLater) {
  Rig rig;
  rig.files.files[kIniPath] = "[RDSmorvane]\r\nCOMport=1\r\nTextEncoding=Latin-1\r\n";
  Form_Load(rig.controller, "/wd");
  EXPECT_EQ(rig.controller.text_encoding, TextEncoding::Latin1);
}

}  // namespace
}  // namespace morvane
