// The text library: the RDS character table and the encodings.
#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <string>

#include "text/rds_charset.h"
#include "text/text_encoding.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// count codes in a row from first.
std::string Codes(int first, int count) {
  std::string codes(count, '\0');
  std::iota(codes.begin(), codes.end(), static_cast<char>(first));
  return codes;
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
  EXPECT_EQ(RdsToUtf8("\x00\x01\x1E\x1F"s), "\uFFFD\uFFFD\uFFFD\u00AD");
  EXPECT_EQ(ToRds("\u00AD", TextEncoding::Utf8), "\x1F");
  for (int row = 0; row < 14; ++row) {
    const std::string codes = Codes(0x20 + 16 * row, 16);
    EXPECT_EQ(RdsToUtf8(codes), kRdsRows[row]) << "row " << row;
    // 0x7F and 0xFF have no character to go back from.
    const std::string back = codes.substr(0, 15) + (row % 8 == 5 ? '?' : codes.back());
    EXPECT_EQ(ToRds(kRdsRows[row], TextEncoding::Utf8), back) << "row " << row;
  }
  EXPECT_EQ(RdsCode(kNoCharacter), std::nullopt);
}

TEST(ToRds, EachCharacterBecomesItsCodeALookAlikeItsBaseLetterOrAQuestionMark) {
  const TextEncoding utf8 = TextEncoding::Utf8, latin1 = TextEncoding::Latin1;
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
      {utf8, "a\x80|\xFF\xC1\xBF\xF5\x80|\xC3x\xE2\x82|\xE2\x82\xC3\xA9", "a?|?????|?x?|?\x82"},
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      {utf8, "\xE0\x9F\xBF|\xED\xA0\x80|\xF4\x90\x80\x80|\xF4\x8F\xBF\xBF", "???|???|????|?"},
      {utf8,
       "\xF0\x8F\xBF\xBF|\xF0\x90\x80\x80|\xC3\xC0|\xE2\xC0\x80|\xF1\xC0\x80\x80|\xE2\x82\xC0",
       "????|?|??|???|????|??"},
      // A character cut off at the end of the text is dropped.
      {utf8, "x\xF0\x9F\x98", "x"},
      {latin1, Codes(0x80, 16), "\xA9?'f\"...???\xA3\xCC<\xE3?\xCD?"},
      {latin1, Codes(0x90, 16), "?''\"\"----?\xDC>\xF3?\xDDY"},
      {latin1, "\xE9\xFC\xF8\xF1\xDF\xFF$\xA4\xA0\xA8\xD7", "\x82\x99\xF7\x9A\x8Dy\xAB$ ?x"},
      // RDS bytes and controls stay as they are.
      {TextEncoding::Rds, Codes(0, 256), Codes(0, 256)},
      {utf8, controls, controls},
      {latin1, controls, controls},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToRds(c.text, c.from), c.rds) << "text: " << c.text;
  }
}

// Big-endian, after its mark (the metadata tests read little-endian): no character lost.
TEST(Utf16ToUtf8, BigEndianAndABrokenSurrogate) {
  EXPECT_EQ(Utf16ToUtf8("\xFE\xFF\0\x41\xD8\x00\xDC\x00\xDC\x00\0\x42\xD8\x3D\xE0\x00\xD8\x3D"s),
            "A\U00010000\uFFFDB\uFFFD\uE000\uFFFD");
}

}  // namespace
}  // namespace morvane
