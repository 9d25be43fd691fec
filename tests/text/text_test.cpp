// The text library: the RDS character table, the encodings, number reading, small helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "text/leading_number.h"
#include "text/rds_charset.h"
#include "text/text_encoding.h"
#include "text/text_helpers.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// count codes in a row from first.
std::string Codes(int first, int count) {
  std::string codes;
  for (int code = first; code < first + count; ++code) {
    codes += static_cast<char>(code);
  }
  return codes;
}

TEST(ParseLeadingNumber, ReadsTheDecimalNumberAtTheStart) {
  const std::string zeros(400, '0');
  const struct {
    std::string text;
    std::optional<double> value;
    std::size_t length = 0;
  } cases[] = {
      {"  12abc", 12, 4},   {"\t7", 7, 2},         {"+3", 3, 2},          {"-2.5", -2.5, 4},
      {".5", 0.5, 2},       {"5.x", 5, 2},         {"1e3", 1, 1},         {"1,5", 1, 1},
      {"0x10", 0, 1},       {"", std::nullopt},    {"yes", std::nullopt}, {".", std::nullopt},
      {"+.", std::nullopt}, {"- 1", std::nullopt}, {"inf", std::nullopt}, {" 5.5", 5.5, 4},
  };
  for (const auto& c : cases) {
    const std::optional<LeadingNumber> got = ParseLeadingNumber(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << c.text;
    if (got) {
      EXPECT_EQ(got->value, *c.value) << c.text;
      EXPECT_EQ(got->length, c.length) << c.text;
    }
  }
  // Too many digits give an infinite value, which no conversion accepts, or a vanishing fraction.
  EXPECT_EQ(ParseLeadingNumber("-1" + zeros)->value, -INFINITY);
  EXPECT_EQ(ParseLeadingNumber("0." + zeros + "1")->length, 403u);
  EXPECT_EQ(ParseLeadingNumber("0." + zeros + "1")->value, 0.0);
  // A view into a longer text: nothing past its end is read.
  EXPECT_EQ(ParseLeadingNumber(std::string_view("12345", 2))->value, 12);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("1.55", 3))->value, 1.5);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("1.5", 1))->length, 1u);
}

// The RDS basic character table, sixteen codes a row from 0x20, as a radio shows them; U+FFFD
// where the table has no character (0x7F, 0xFF).
const std::string kRdsRows[] = {
    " !\"#¤%&'()*+,-./", "0123456789:;<=>?",      "@ABCDEFGHIJKLMNO", "PQRSTUVWXYZ[\\]―_",
    "‖abcdefghijklmno",  "pqrstuvwxyz{|}¯\uFFFD", "áàéèíìóòúùÑÇŞß¡Ĳ", "âäêëîïôöûüñçşǧıĳ",
    "ªα©‰Ǧěňőπ€£$←↑→↓",  "º¹²³±İńűµ¿÷°¼½¾§",      "ÁÀÉÈÍÌÓÒÚÙŘČŠŽÐĿ", "ÂÄÊËÎÏÔÖÛÜřčšžđŀ",
    "ÃÅÆŒŷÝÕØÞŊŔĆŚŹŦð",  "ãåæœŵýõøþŋŕćśźŧ\uFFFD",
};

TEST(RdsCharacterTable, EveryCodeShowsItsCharacterAndEachCharacterGoesBackToItsCode) {
  // Control codes show nothing, except the soft hyphen 0x1F.
  std::string controls;
  for (int i = 0; i < 31; ++i) {
    controls += "\uFFFD";
  }
  EXPECT_EQ(RdsToUtf8(Codes(0, 32)), controls + "\u00AD");
  EXPECT_EQ(ToRds("\u00AD", TextEncoding::Utf8), "\x1F");
  for (int row = 0; row < 14; ++row) {
    const std::string codes = Codes(0x20 + 16 * row, 16);
    EXPECT_EQ(RdsToUtf8(codes), kRdsRows[row]) << "row " << row;
    std::string back = codes;
    if (back.back() == '\x7F' || back.back() == '\xFF') {
      back.back() = '?';
    }
    EXPECT_EQ(ToRds(kRdsRows[row], TextEncoding::Utf8), back) << "row " << row;
  }
  EXPECT_EQ(RdsCode(kNoCharacter), std::nullopt);
}

TEST(ToRds, EachCharacterBecomesItsCodeALookAlikeItsBaseLetterOrAQuestionMark) {
  const TextEncoding utf8 = TextEncoding::Utf8;
  const TextEncoding latin1 = TextEncoding::Latin1;
  const TextEncoding rds = TextEncoding::Rds;
  const std::string controls = "a\x00\x01\x09\x0A\x0D\x1B\x1F\x7F"s;
  const struct {
    TextEncoding from;
    std::string text;
    std::string rds;
  } cases[] = {
      // Every look-alike; the invisible ones are dropped, wide spaces become one space each.
      {utf8, "`~\u00A0¦«´·»×˜ĞğȘș‐‑‒–—−‘’‚‛′“”„‟″•…‹›\u202F|",
       "'- |\"'.\"x-\xA4\x9D\x8C\x9C------'''''\"\"\"\"\"-...<> |"},
      {utf8, "a\u200Bb\u200Cc\u200Dd\u200Ee\u200Ff\u2060g\uFEFFh", "abcdefgh"},
      {utf8, "\u2000\u200A|\u1FFF", "  |?"},
      // Base letters at the edges of both Latin blocks; past them, and elsewhere, "?".
      {utf8, "ł Ą ț ď ů ÿ Ű ɏ ɐ Ḁ ệ ỿ ἀ ¨ ^", "l A t d u y U y ? A e y ? ? ?"},
      // Broken UTF-8: a byte order mark only at the start is dropped; a lead byte whose
      // sequence breaks off counts once, and the next byte is read afresh.
      {utf8, "\xEF\xBB\xBF|bc\xEF\xBB\xBF", "|bc"},
      {utf8, "a\x80|\xFF\xC1\xBF\xF5\x80", "a?|?????"},
      {utf8, "\xC3x\xE2\x82|\xE2\x82\xC3\xA9", "?x?|?\x82"},
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      {utf8, "\xE0\x9F\xBF|\xE0\xA0\x80|\xED\xA0\x80|\xED\x9F\xBF", "???|?|???|?"},
      {utf8, "\xF0\x8F\xBF\xBF|\xF0\x90\x80\x80|\xF4\x90\x80\x80|\xF4\x8F\xBF\xBF",
       "????|?|????|?"},
      {utf8, "\xC3\xC0|\xE2\xC0\x80|\xF1\x80\x80\x80|\xF1\xC0\x80\x80|\xE2\x82\xC0",
       "??|???|?|????|??"},
      // A character cut off at the end of the text is dropped.
      {utf8, "x\xF0\x9F\x98", "x"},
      {latin1, Codes(0x80, 16), "\xA9?'f\"...???\xA3\xCC<\xE3?\xCD?"},
      {latin1, Codes(0x90, 16), "?''\"\"----?\xDC>\xF3?\xDDY"},
      {latin1, "\xE9\xFC\xF8\xF1\xDF\xFF$\xA4\xA0\xA8\xD7", "\x82\x99\xF7\x9A\x8Dy\xAB$ ?x"},
      // RDS bytes and controls stay as they are.
      {rds, Codes(0, 256), Codes(0, 256)},
      {utf8, controls, controls},
      {latin1, controls, controls},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToRds(c.text, c.from), c.rds) << "text: " << c.text;
  }
  EXPECT_EQ(Latin1ToUtf8(Codes(0x7F, 34)),
            "\uFFFD€\uFFFD‚ƒ„…†‡ˆ‰Š‹Œ\uFFFDŽ\uFFFD\uFFFD‘’“”•–—˜™š›œ\uFFFDžŸ\u00A0");
}

// A file saved as UTF-16 says so by its mark; surrogates pair up or become U+FFFD.
TEST(Utf16ToUtf8, EitherByteOrderAndTheSurrogateEdges) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"A\0B\0"s, std::nullopt},
      {"\xFF\xFE"
       "A\0\xE9\0\xFF\xD7\0\xE0"s,
       "A\u00E9\uD7FF\uE000"},
      {"\xFE\xFF\0A\0\xE9\xD8\x3D\xDE\x00"s, "A\u00E9\U0001F600"},
      {"\xFF\xFE\xFF\xDB\xFF\xDF\x3D\xD8\x3D\xD8\x00\xDE\x3D\xD8\x00\xE0"
       "A\0"s,
       "\U0010FFFF\uFFFD\U0001F600\uFFFD\uE000A"},
      {"\xFF\xFE\x00\xDC"
       "A\0\x3D\xD8"
       "B"s,
       "\uFFFDA\uFFFD"},
  };
  for (const auto& [content, utf8] : cases) {
    EXPECT_EQ(Utf16ToUtf8(content), utf8) << content;
  }
}

TEST(TextHelpers, TrimFirstLineAndCaseBlindKeys) {
  const std::pair<std::string, std::string> trims[] = {
      {" \t a b \t ", "a b"}, {" \t ", ""}, {"\na\r", "\na\r"}};
  for (const auto& [text, trimmed] : trims) {
    EXPECT_EQ(TrimBlanks(text), trimmed) << text;
  }
  // Every byte up to the first CR: a CR LF ending goes with the CR, a lone LF stays.
  EXPECT_EQ(FirstLine("M: 1A2 AB\nCD\r\nEF\r"), "M: 1A2 AB\nCD");
  EXPECT_EQ(FirstLine("\r\nsecond"), "");
  EXPECT_EQ(FirstLine("no line end"), "no line end");
  const std::tuple<std::string, std::string, bool> keys[] = {
      {"COMport", "comPORT", true},  {"AZ", "az", true},           {"XOMport", "COMport", false},
      {"COMporx", "COMport", false}, {"COMpor", "COMport", false}, {"@[", "`{", false},
  };
  for (const auto& [a, b, equal] : keys) {
    EXPECT_EQ(EqualsIgnoringCase(a, b), equal) << a << " " << b;
  }
}

}  // namespace
}  // namespace morvane
