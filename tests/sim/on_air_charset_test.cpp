#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "sim/on_air.h"
#include "sim/sim_options.h"

namespace morvane::sim {
namespace {

// What a listener sees once the encoder has taken these bytes, read as charset says.
OnAirView Receive(Dialect dialect, const std::string& bytes, ReceivedCharset charset) {
  CommandParser parser(dialect);
  Encoder encoder(dialect, EncoderState{});
  for (const Command& command : parser.Feed(bytes)) {
    (void)encoder.Handle(command, 0);
  }
  return ViewOnAir(encoder, 0, charset);
}

struct ShownCase {
  const char* what;
  Dialect dialect;
  std::string bytes;
  ReceivedCharset charset;
  std::string radiotext;
  std::string rtplus_items;
};

TEST(OnAirCharset, TextsAreShownAsARadioShowsThem) {
  std::string frame_text =
      "Hello\x0D"
      "Ignored";
  frame_text.resize(64, ' ');
  const std::vector<ShownCase> cases = {
      // é 0x82, ü 0x99, ó 0x86: one RDS code each, so RT+ counts 11 and 9 characters.
      {"title in RDS codes with its RT+ items", Dialect::Ascii,
       "RT1=Caf\x82 M\x99ller - Sigur R\x86s\rRTP=04,00,10,01,14,08\r", ReceivedCharset::Rds,
       "Café Müller - Sigur Rós", "ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\""},
      {"RDS codes where ASCII differs", Dialect::Ascii, "RT1=5 \xAB or 5 $\r", ReceivedCharset::Rds,
       "5 $ or 5 ¤", ""},
      {"Windows-1252 read as RDS shows what a radio would", Dialect::Ascii, "RT1=Caf\xE9\r",
       ReceivedCharset::Rds, "CafŊ", ""},
      {"Windows-1252 read as Windows-1252", Dialect::Ascii,
       "RT1=Caf\xE9 M\xFCller - X\rRTP=04,00,10,01,14,00\r", ReceivedCharset::Latin1,
       "Café Müller - X", "ARTIST=\"Café Müller\" TITLE=\"X\""},
      // Only a frame can carry the end code inside the text; a radio shows nothing after it.
      {"frame text up to its end code", Dialect::Frame, "\xFE\x20" + frame_text + "\x40\xFF",
       ReceivedCharset::Rds, "Hello", ""},
  };
  for (const ShownCase& c : cases) {
    const OnAirView view = Receive(c.dialect, c.bytes, c.charset);
    EXPECT_EQ(view.radiotext, c.radiotext) << c.what;
    EXPECT_EQ(view.rtplus_items, c.rtplus_items) << c.what;
  }
}

TEST(OnAirCharset, ProgrammeServiceNameIsShownLikeTheRadioText) {
  EXPECT_EQ(Receive(Dialect::Ascii, "PS=M\x99NSTER\r", ReceivedCharset::Rds).ps, "MüNSTER ");
  EXPECT_EQ(Receive(Dialect::Ascii, "PS=M\xDCNSTER\r", ReceivedCharset::Latin1).ps, "MÜNSTER ");
}

TEST(OnAirCharset, OptionSaysHowReceivedTextsAreRead) {
  const auto rds_by_default = ParseSimOptions({"--dialect", "ascii"});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(rds_by_default));
  EXPECT_EQ(std::get<SimOptions>(rds_by_default).charset, ReceivedCharset::Rds);

  const auto latin1 = ParseSimOptions({"--dialect", "ascii", "--charset", "latin1"});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(latin1));
  EXPECT_EQ(std::get<SimOptions>(latin1).charset, ReceivedCharset::Latin1);

  const auto rds =
      ParseSimOptions({"--dialect", "ascii", "--charset", "latin1", "--charset", "rds"});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(rds));
  EXPECT_EQ(std::get<SimOptions>(rds).charset, ReceivedCharset::Rds);

  for (const char* bad : {"utf8", "UTF-8", "", "RDS"}) {
    EXPECT_TRUE(std::holds_alternative<std::string>(
        ParseSimOptions({"--dialect", "ascii", "--charset", bad})))
        << bad;
  }
}

}  // namespace
}  // namespace morvane::sim
