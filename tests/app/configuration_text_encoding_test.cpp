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

TEST(TextEncodingKey, SelectsHowConfiguredTextsAreConverted) {
  // "Café $" as a UTF-8 file holds it, read three ways: as it stands, as UTF-8 (é, $), and as
  // Windows-1252 (Ã, ©, $).
  const std::string cafe = "DefaultRadioText=Caf\xC3\xA9 $\r\n";
  const std::string as_is = "Caf\xC3\xA9 $";
  const std::string from_utf8 = "Caf\x82 \xAB";
  const struct {
    const char* what;
    std::string lines;
    TextEncoding encoding;
    std::string default_radiotext;
  } cases[] = {
      {"missing key: bytes as they are", cafe, TextEncoding::Rds, as_is},
      {"UTF-8", "TextEncoding = UTF-8 \r\n" + cafe, TextEncoding::Utf8, from_utf8},
      {"Latin-1", "TextEncoding=Latin-1\r\n" + cafe, TextEncoding::Latin1, "Caf\xE0\xA2 \xAB"},
      {"key after the texts still applies to them", cafe + "TextEncoding=UTF-8\r\n",
       TextEncoding::Utf8, from_utf8},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.lines);
    EXPECT_EQ(loaded.configuration.text_encoding, c.encoding) << c.what;
    EXPECT_EQ(loaded.state.DefaultRadioText, c.default_radiotext) << c.what;
  }
}

TEST(TextEncodingKey, UnknownValueEndsStartUpNamingKeyAndValues) {
  Rig rig;
  rig.files.files[kIniPath] = "[RDSmorvane]\r\nCOMport=1\r\nTextEncoding=UTF8\r\n";
  try {
    Form_Load(rig.controller, "/wd");
    ADD_FAILURE() << "UTF8 was accepted";
  } catch (const StartupError& error) {
    EXPECT_THAT(error.what(), HasSubstr("TextEncoding \"UTF8\""));
    EXPECT_THAT(error.what(), HasSubstr(std::string(kTextEncodingValues)));
  }
  EXPECT_FALSE(rig.port.opened_settings) << "nothing may be opened";
}

TEST(TextEncodingKey, TextsAreConvertedAfterTheCutNamesAndPathsNever) {
  const std::string utf8 = "TextEncoding=UTF-8\r\n";
  const std::string a27(27, 'a');
  const struct {
    const char* what;
    std::string lines;
    std::string ControllerState::*field;
    std::string expected;
  } cases[] = {
      {"é cut in half at byte 29 is dropped", utf8 + "TrafficRadioText=" + a27 + "a\xC3\xA9xyz\r\n",
       &ControllerState::TrafficRadioText, a27 + "a"},
      {"marker that converts to nothing becomes the sentinel",
       utf8 + "TrafficMeta=\xE2\x80\x8B\r\n", &ControllerState::TrafficMeta,
       std::string(kMarkerSentinel)},
      {"prefix from the line scan",
       utf8 + "RTplusPrefix=\xC3\x89"
              "coute: \r\n",
       &ControllerState::RTPlusPrefix,
       "\xC2"
       "coute: "},
      {"encoder type is a name, not a text", utf8 + "EncoderType=PIRA32 \xC3\xA9\r\n",
       &ControllerState::EncoderType, "PIRA32 \xC3\xA9"},
      {"metadata path is a file name", utf8 + "MetadataFile=m\xC3\xA9ta.txt\r\n",
       &ControllerState::MetadataFile, "m\xC3\xA9ta.txt"},
  };
  for (const auto& c : cases) {
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
