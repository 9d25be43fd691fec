#include "text/text_encoding.h"

#include <gtest/gtest.h>

#include "text/rds_charset.h"

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

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    out += text;
  }
  return out;
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
  EXPECT_EQ(RdsToUtf8(Codes(0, 32)), Repeated("\uFFFD", 31) + "\u00AD");
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
  EXPECT_EQ(RdsCode(U'$'), 0xAB);
}

TEST(AppendUtf8, ShortestFormAtEachLengthsEdges) {
  const std::pair<char32_t, std::string> cases[] = {{0x7F, "\x7F"},
                                                    {0x80, "\xC2\x80"},
                                                    {0x7FF, "\xDF\xBF"},
                                                    {0x800, "\xE0\xA0\x80"},
                                                    {0xFFFD, "\xEF\xBF\xBD"},
                                                    {0x10000, "\xF0\x90\x80\x80"},
                                                    {0x1F600, "\xF0\x9F\x98\x80"},
                                                    {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
  for (const auto& [character, utf8] : cases) {
    std::string out;
    AppendUtf8(out, character);
    EXPECT_EQ(out, utf8) << std::hex << character;
  }
}

TEST(ToRds, EachCharacterBecomesItsCodeALookAlikeItsBaseLetterOrAQuestionMark) {
  const TextEncoding utf8 = TextEncoding::Utf8;
  const TextEncoding latin1 = TextEncoding::Latin1;
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
      {utf8, "Ω 日本 😀 ™", "? ?? ? ?"},
      // Broken UTF-8: a byte order mark only at the start is dropped; a lead byte whose
      // sequence breaks off counts once, and the next byte is read afresh.
      {utf8, "\xEF\xBB\xBF|bc\xEF\xBB\xBF", "|bc"},
      {utf8, "a\x80|\xFF\xC1\xBF\xF5\x80", "a?|?????"},
      {utf8, "\xC3x\xE2\x82|\xE2\x82\xC3\xA9", "?x?|?\x82"},
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      {utf8, "\xE0\x9F\xBF|\xE0\xA0\x80", "???|?"},
      {utf8, "\xED\xA0\x80|\xED\x9F\xBF", "???|?"},
      {utf8, "\xF0\x8F\xBF\xBF|\xF0\x90\x80\x80", "????|?"},
      {utf8, "\xF4\x90\x80\x80|\xF4\x8F\xBF\xBF", "????|?"},
      {utf8, "\xC2\x80\xDF\xBF", "??"},
      {utf8, "\xC3\xC0|\xE2\xC0\x80|\xF1\x80\x80\x80|\xF1\xC0\x80\x80", "??|???|?|????"},
      {utf8, "\xE2\x82\xC0", "??"},
      // A character cut off at the end of the text is dropped.
      {utf8, "Caf\xC3", "Caf"},
      {utf8, "x\xF0\x9F\x98", "x"},
      {latin1, Codes(0x80, 16), "\xA9?'f\"...???\xA3\xCC<\xE3?\xCD?"},
      {latin1, Codes(0x90, 16), "?''\"\"----?\xDC>\xF3?\xDDY"},
      {latin1, "\xE9\xFC\xF8\xF1\xDF\xFF$\xA4\xA0\xA8\xD7", "\x82\x99\xF7\x9A\x8Dy\xAB$ ?x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToRds(c.text, c.from), c.rds) << "text: " << c.text;
  }
  EXPECT_EQ(Latin1ToUtf8(Codes(0x7F, 34)),
            "\uFFFD€\uFFFD‚ƒ„…†‡ˆ‰Š‹Œ\uFFFDŽ\uFFFD\uFFFD‘’“”•–—˜™š›œ\uFFFDžŸ\u00A0");
}

TEST(ToRds, RdsBytesAndControlsStayAsTheyAre) {
  const std::string every_byte = Codes(0, 256);
  EXPECT_EQ(ToRds(every_byte, TextEncoding::Rds), every_byte);
  const std::string controls = "a\x00\x01\x09\x0A\x0D\x1B\x1F\x7F"s;
  EXPECT_EQ(ToRds(controls, TextEncoding::Utf8), controls);
  EXPECT_EQ(ToRds(controls, TextEncoding::Latin1), controls);
}

// A file saved as UTF-16 says so by its mark; surrogates pair up or become U+FFFD.
TEST(Utf16ToUtf8, EitherByteOrderAndTheSurrogateEdges) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"A\0B\0"s, std::nullopt},
      {"\xFF\xFE"
       "A\0\xE9\0\xFF\xD7\0\xE0"s,
       "A\u00E9\uD7FF\uE000"},
      {"\xFE\xFF\0A\0\xE9\xD8\x3D\xDE\x00"s, "A\u00E9\U0001F600"},
      {"\xFF\xFE\xFF\xDB\xFF\xDF\x3D\xD8\x3D\xD8\x00\xDE"s, "\U0010FFFF\uFFFD\U0001F600"},
      {"\xFF\xFE\x00\xDC"
       "A\0\x3D\xD8"
       "B"s,
       "\uFFFDA\uFFFD"},
  };
  for (const auto& [content, utf8] : cases) {
    EXPECT_EQ(Utf16ToUtf8(content), utf8) << content;
  }
}

TEST(TextEncodingKey, AcceptsTheThreeNamesInAnyCase) {
  const std::pair<std::string, std::optional<TextEncoding>> cases[] = {
      {"", TextEncoding::Rds},           {"rds", TextEncoding::Rds}, {"UTF-8", TextEncoding::Utf8},
      {"LATIN-1", TextEncoding::Latin1}, {"UTF8", std::nullopt},     {"Latin1", std::nullopt},
      {" UTF-8", std::nullopt},          {"RDS2", std::nullopt},
  };
  for (const auto& [value, encoding] : cases) {
    EXPECT_EQ(ParseTextEncoding(value), encoding) << "value: " << value;
  }
  EXPECT_EQ(TextEncodingName(TextEncoding::Rds), "RDS");
  EXPECT_EQ(TextEncodingName(TextEncoding::Utf8), "UTF-8");
  EXPECT_EQ(TextEncodingName(TextEncoding::Latin1), "Latin-1");
}

}  // namespace
}  // namespace morvane
