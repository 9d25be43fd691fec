#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;
using Commands = std::vector<SentCommand>;

const std::string kFile = "metadata.txt";
const std::string kClear = "RTP=00,00,00,00,00,00\r";
// "Café Müller - Sigur Rós" as the playout software writes it in UTF-8 and in Windows-1252,
// and as a radio must receive it: é 0x82, ü 0x99, ó 0x86, one byte each.
const std::string kTitleUtf8 = "Caf\xC3\xA9 M\xC3\xBCller - Sigur R\xC3\xB3s";
const std::string kTitleLatin1 = "Caf\xE9 M\xFCller - Sigur R\xF3s";
const std::string kTitleRds = "Caf\x82 M\x99ller - Sigur R\x86s";

// A PIRA32 with RT+ on, an empty prefix and " - " between artist and title, as the
// configuration leaves it.
void Configure(Rig& rig, TextEncoding encoding) {
  rig.controller.text_encoding = encoding;
  rig.state.EncoderType = "PIRA32";
  rig.state.MetadataFile = kFile;
  rig.state.TrafficMeta = std::string(kMarkerSentinel);
  rig.state.DefaultRadioText = "Radio Morvane";
  rig.state.TAmaxtime = 120;
  rig.state.RTplus = 1;
  rig.state.RTPlusPrefix = "";
  rig.state.RTPlusSplit = " - ";
  rig.port.responder = testing::Pira32Responder({{"RT1", "ON AIR"}, {"TA", "0"}, {"TP", "1"}});
}

Commands RadioTextWithTags(const std::string& text, const std::string& tags) {
  return {{"RT1=" + text + "\r", 500}, {kClear, 500}, {tags + "\r", 500}, {"RT1\r", 500}};
}

struct LineCase {
  const char* what;
  TextEncoding encoding;
  std::string content;
  Commands sent;
};

TEST(MetadataTextEncoding, LineIsConvertedBeforeRtPlusCountsItsCharacters) {
  const std::vector<LineCase> cases = {
      // Artist "Café Müller" is 11 characters from 0, title "Sigur Rós" 9 from 14.
      {"UTF-8", TextEncoding::Utf8, kTitleUtf8 + "\r\n",
       RadioTextWithTags(kTitleRds, "RTP=04,00,10,01,14,08")},
      {"Latin-1", TextEncoding::Latin1, kTitleLatin1 + "\r\n",
       RadioTextWithTags(kTitleRds, "RTP=04,00,10,01,14,08")},
      {"UTF-8 with a byte order mark", TextEncoding::Utf8, "\xEF\xBB\xBF" + kTitleUtf8,
       RadioTextWithTags(kTitleRds, "RTP=04,00,10,01,14,08")},
      // Unconverted, every byte counts as a character, exactly as before the key existed.
      {"RDS: bytes as they are", TextEncoding::Rds, kTitleUtf8 + "\r\n",
       RadioTextWithTags(kTitleUtf8, "RTP=04,00,12,01,16,09")},
  };
  for (const LineCase& c : cases) {
    Rig rig;
    Configure(rig, c.encoding);
    rig.files.files[kFile] = c.content;
    tmrTextCheck_Timer(rig.controller);
    EXPECT_EQ(rig.Sent(), c.sent) << c.what;
  }
}

TEST(MetadataTextEncoding, ConvertedLineIsWhatIsComparedAndRemembered) {
  Rig rig;
  Configure(rig, TextEncoding::Utf8);
  rig.files.files[kFile] = kTitleUtf8;
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.state.LastRT, kTitleRds);

  // The same title rewritten in another form that converts to the same RDS text is no change.
  rig.ClearLog();
  rig.files.files[kFile] = "\xEF\xBB\xBF" + kTitleUtf8 + "\r\nnext";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_TRUE(rig.Writes().empty());
}

TEST(MetadataTextEncoding, MarkersAreSearchedInTheConvertedLine) {
  Rig rig;
  Configure(rig, TextEncoding::Utf8);
  // "STÖRUNG" as the configuration converted it: Ö is 0xD7.
  rig.state.TrafficMeta = "ST\xD7RUNG";
  rig.state.TrafficRadioText = "Verkehr";
  rig.files.files[kFile] = "A1 ST\xC3\x96RUNG";
  tmrTextCheck_Timer(rig.controller);
  EXPECT_EQ(rig.state.TAstatus, 1);
  EXPECT_EQ(rig.Writes().front(), "TA=1\r");
}

TEST(MetadataTextEncoding, FrameHoldsSixtyFourConvertedCharacters) {
  Rig rig;
  Configure(rig, TextEncoding::Utf8);
  rig.state.EncoderType = "PIRAMICRO";
  rig.port.responder = testing::FrameResponder({});
  std::string line;
  for (int i = 0; i < 70; ++i) {
    line += "\xC3\xA9";  // é: two bytes in the file, one character on air
  }
  rig.files.files[kFile] = line;
  tmrTextCheck_Timer(rig.controller);
  ASSERT_FALSE(rig.Writes().empty());
  EXPECT_EQ(rig.Writes().front(), "\xFE\x20" + std::string(64, '\x82') + "\x40\xFF");
}

}  // namespace
}  // namespace morvane
