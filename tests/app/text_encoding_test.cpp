#include "app/text_encoding.h"

#include <gtest/gtest.h>

#include "app/rds_charset.h"

namespace morvane {
namespace {

using namespace std::string_literals;

std::string Byte(int code) {
  return std::string(1, static_cast<char>(code));
}

std::string CodesFrom(int first, int count) {
  std::string bytes;
  for (int code = first; code < first + count; ++code) {
    bytes += Byte(code);
  }
  return bytes;
}

// What a radio shows for 0x80..0xFF, row by row as the RDS basic character table prints them.
TEST(RdsTable, UpperRowsShowTheirLetters) {
  const std::string rows[] = {
      "áàéèíìóòúùÑÇŞß¡Ĳ", "âäêëîïôöûüñçşǧıĳ", "ªα©‰Ǧěňőπ€£$←↑→↓", "º¹²³±İńűµ¿÷°¼½¾§",
      "ÁÀÉÈÍÌÓÒÚÙŘČŠŽÐĿ", "ÂÄÊËÎÏÔÖÛÜřčšžđŀ", "ÃÅÆŒŷÝÕØÞŊŔĆŚŹŦð", "ãåæœŵýõøþŋŕćśźŧ\uFFFD",
  };
  for (int row = 0; row < 8; ++row) {
    const std::string codes = CodesFrom(0x80 + 16 * row, 16);
    EXPECT_EQ(RdsToUtf8(codes), rows[row]) << "row " << std::hex << 8 + row;
  }
}

TEST(RdsTable, LowerHalfIsAsciiExceptFourCodes) {
  EXPECT_EQ(RdsToUtf8(CodesFrom(0x20, 0x60)),
            " !\"#¤%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]―_"
            "‖abcdefghijklmnopqrstuvwxyz{|}¯\uFFFD");
  // Controls have no glyph; the soft hyphen is the one control code with a character.
  EXPECT_EQ(RdsToUtf8("\x00\x0A\x0D\x1E"s), "\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(RdsToUtf8("\x1F"), "\u00AD");
}

TEST(RdsTable, EveryCodeWithACharacterComesBackFromUtf8AndLatin1) {
  int codes_with_character = 0;
  for (int code = 0; code < 256; ++code) {
    const char32_t character = RdsCharacter(static_cast<uint8_t>(code));
    if (character == kNoCharacter) {
      continue;
    }
    ++codes_with_character;
    EXPECT_EQ(ToRds(RdsToUtf8(Byte(code)), TextEncoding::Utf8), Byte(code)) << "code " << code;
    if (character >= 0xA0 && character <= 0xFF) {
      EXPECT_EQ(ToRds(Byte(static_cast<int>(character)), TextEncoding::Latin1), Byte(code))
          << "code " << code;
    }
  }
  // The soft hyphen, 0x20..0x7E and 0x80..0xFE.
  EXPECT_EQ(codes_with_character, 1 + 95 + 127);
}

TEST(ToRds, RdsLeavesEveryByteAsItIs) {
  const std::string all_bytes = CodesFrom(0, 256);
  EXPECT_EQ(ToRds(all_bytes, TextEncoding::Rds), all_bytes);
  EXPECT_EQ(ToRds("\xEF\xBB\xBF$~\xC3", TextEncoding::Rds), "\xEF\xBB\xBF$~\xC3");
}

TEST(ToRds, CharactersWithoutCodeFallBack) {
  struct Case {
    std::string utf8;
    std::string rds;
  };
  const Case cases[] = {
      // Base letters where the table has no code of its own.
      {"ł Ł ą Ą ę ț Ț ţ ď ů ĺ ÿ Ÿ Ő Ű ŭ ơ ư ệ ǎ", "l L a A e t T t d u l y Y O U u o u e a"},
      // Letters that do have a code, even where a base letter would do.
      {"ő ű ě ň ř č š ž Ŧ ŧ ı İ", "\xA7 \xB7 \xA5 \xA6 \xDA \xDB \xDC \xDD \xEE \xFE \x9E \xB5"},
      // Turkish ğ and Romanian ș borrow the table's ǧ and ş, which look the same.
      {"ğĞșȘ", "\x9D\xA4\x9C\x8C"},
      // ASCII characters whose code means something else on a radio.
      {"$^`~", "\xAB?'-"},
      {"¤―‖¯", "$^`~"},
      {"€ £ © ‰ ° ½", "\xA9 \xAA \xA2 \xA3 \xBB \xBD"},
      {"‘a’ “b” „c“ ‚d‘", "'a' \"b\" \"c\" 'd'"},
      {"a–b—c−d…", "a-b-c-d..."},
      {"a\u00A0b\u2009c\u202Fd", "a b c d"},
      {"a\u200Bb\u2060c\uFEFFd", "abcd"},
      {"\u00ADx", "\x1Fx"},
      {"Ω 日本 😀 ™ ẞ", "? ?? ? ? ?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.utf8, TextEncoding::Utf8), c.rds) << "text: " << c.utf8;
  }
}

TEST(ToRds, BrokenUtf8) {
  struct Case {
    std::string utf8;
    std::string rds;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF"
       "Abc",
       "Abc"},
      {"\xEF\xBB\xBF", ""},
      {"a\x80"
       "b",
       "a?b"},
      {"\xFF\xFE", "??"},
      // A lead byte whose sequence breaks off counts once; the next byte is read afresh.
      {"\xC3"
       "x",
       "?x"},
      {"\xE2\x82"
       "x",
       "?x"},
      {"\xE2\x82\xC3\xA9", "?\x82"},
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      {"\xC0\xAF", "??"},
      {"\xE0\x80\xAF", "???"},
      {"\xED\xA0\x80", "???"},
      {"\xF4\x90\x80\x80", "????"},
      // A character cut off at the end of the text is dropped.
      {"Caf\xC3", "Caf"},
      {"x\xE2\x82", "x"},
      {"x\xF0\x9F\x98", "x"},
      {"\x80", "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.utf8, TextEncoding::Utf8), c.rds) << "text: " << c.utf8;
  }
}

TEST(ToRds, KeyedValueCutIn29BytesKeepsWholeCharacters) {
  const std::string value = "Les Misérables - Bring Hi Hö";
  ASSERT_EQ(value.size(), 30u);
  EXPECT_EQ(ToRds(value.substr(0, 29), TextEncoding::Utf8), "Les Mis\x82rables - Bring Hi H");
}

TEST(ToRds, Windows1252) {
  struct Case {
    std::string latin1;
    std::string rds;
  };
  const Case cases[] = {
      {"\x80", "\xA9"},
      {"\x8A\x9A\x8E\x9E", "\xCC\xDC\xCD\xDD"},
      {"\x8C\x9C", "\xE3\xF3"},
      {"\x93x\x94 \x91y\x92 \x84z\x93", "\"x\" 'y' \"z\""},
      {"a\x96"
       "b\x97"
       "c",
       "a-b-c"},
      {"\x85\x89\x83\x9F",
       "...\xA3"
       "fY"},
      {"\x81\x8D\x8F\x90\x9D\x99\x86", "???????"},
      {"\xE9\xFC\xF8\xF1\xDF\xFF",
       "\x82\x99\xF7\x9A\x8D"
       "y"},
      {"$\xA4\xA0\xAD\xD7", "\xAB$ \x1Fx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.latin1, TextEncoding::Latin1), c.rds) << "text: " << c.latin1;
  }
}

TEST(ToRds, ControlBytesKeepTheirCode) {
  const std::string controls = "a\x00\x01\x09\x0A\x0D\x1B\x1F\x7F"s;
  EXPECT_EQ(ToRds(controls, TextEncoding::Utf8), controls);
  EXPECT_EQ(ToRds(controls, TextEncoding::Latin1), controls);
}

TEST(ToRds, TitleGoesOutAsARadioShowsIt) {
  const std::string utf8 = "Café Müller - Sigur Rós";
  const std::string rds = "Caf\x82 M\x99ller - Sigur R\x86s";
  EXPECT_EQ(ToRds(utf8, TextEncoding::Utf8), rds);
  EXPECT_EQ(ToRds("Caf\xE9 M\xFCller - Sigur R\xF3s", TextEncoding::Latin1), rds);
  EXPECT_EQ(RdsToUtf8(rds), utf8);
}

TEST(Latin1ToUtf8, ShowsWindows1252) {
  EXPECT_EQ(Latin1ToUtf8("\x80\x8A\x93\x94\x96\xE9\xFF"), "€Š“”–éÿ");
  EXPECT_EQ(Latin1ToUtf8("\x81\x9D\x0D\x7F"), "\uFFFD\uFFFD\uFFFD\uFFFD");
  std::string upper_half;
  std::string expected;
  for (char32_t c = 0xA0; c <= 0xFF; ++c) {
    upper_half += static_cast<char>(c);
    AppendUtf8(expected, c);
  }
  EXPECT_EQ(Latin1ToUtf8(upper_half), expected);
}

TEST(TextEncodingKey, AcceptsTheThreeNamesInAnyCase) {
  struct Case {
    std::string value;
    std::optional<TextEncoding> encoding;
  };
  const Case cases[] = {
      {"", TextEncoding::Rds},
      {"RDS", TextEncoding::Rds},
      {"rds", TextEncoding::Rds},
      {"UTF-8", TextEncoding::Utf8},
      {"utf-8", TextEncoding::Utf8},
      {"Latin-1", TextEncoding::Latin1},
      {"LATIN-1", TextEncoding::Latin1},
      {"UTF8", std::nullopt},
      {"Latin1", std::nullopt},
      {"ISO-8859-1", std::nullopt},
      {" UTF-8", std::nullopt},
      {"UTF-8\r", std::nullopt},
      {"RDS2", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseTextEncoding(c.value), c.encoding) << "value: " << c.value;
  }
  for (TextEncoding encoding : {TextEncoding::Rds, TextEncoding::Utf8, TextEncoding::Latin1}) {
    EXPECT_EQ(ParseTextEncoding(TextEncodingName(encoding)), encoding);
  }
  EXPECT_EQ(TextEncodingName(TextEncoding::Latin1), "Latin-1");
}

}  // namespace
}  // namespace morvane
