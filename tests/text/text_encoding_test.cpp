#include "text/text_encoding.h"

#include <gtest/gtest.h>

#include "text/rds_charset.h"

namespace morvane {
namespace {

using namespace std::string_literals;

std::string Byte(int code) {
  return std::string(1, static_cast<char>(code));
}

struct Case {
  std::string from;
  std::string rds;
};

TEST(RdsTable, EveryCodeWithACharacterComesBackFromUtf8AndLatin1) {
  int codes_with_character = 0;
  for (int code = 0; code < 256; ++code) {
    const char32_t character = RdsCharacter(static_cast<uint8_t>(code));
    if (character == kNoCharacter) {
      EXPECT_EQ(RdsToUtf8(Byte(code)), "\uFFFD") << "code " << code;
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

TEST(RdsTable, NamedLettersHaveTheirCodes) {
  // é ü ø ñ ß Ş ő € and the four ASCII codes a radio shows differently.
  EXPECT_EQ(RdsToUtf8("\x82\x99\xF7\x9A\x8D\x8C\xA7\xA9\x24\x5E\x60\x7E\x1F"),
            "éüøñßŞő€¤―‖¯\u00AD");
  const std::string utf8 = "Café Müller - Sigur Rós $";
  const std::string rds = "Caf\x82 M\x99ller - Sigur R\x86s \xAB";
  EXPECT_EQ(ToRds(utf8, TextEncoding::Utf8), rds);
  EXPECT_EQ(ToRds("Caf\xE9 M\xFCller - Sigur R\xF3s $", TextEncoding::Latin1), rds);
  EXPECT_EQ(RdsToUtf8(rds), utf8);
}

TEST(ToRds, RdsAndControlBytesStayAsTheyAre) {
  std::string all_bytes;
  for (int code = 0; code < 256; ++code) {
    all_bytes += Byte(code);
  }
  EXPECT_EQ(ToRds(all_bytes, TextEncoding::Rds), all_bytes);
  const std::string controls = "a\x00\x01\x09\x0A\x0D\x1B\x1F\x7F"s;
  EXPECT_EQ(ToRds(controls, TextEncoding::Utf8), controls);
  EXPECT_EQ(ToRds(controls, TextEncoding::Latin1), controls);
}

TEST(ToRds, CharactersWithoutCodeFallBack) {
  const Case cases[] = {
      // Base letters where the table has no code, the table's own code where it has one.
      {"ł Ą ț ď ů ÿ Ű ệ", "l A t d u y U e"},
      {"ő ř Ŧ ı", "\xA7 \xDA \xEE \x9E"},
      // Turkish ğ and Romanian ș borrow the table's ǧ and ş, which look the same.
      {"ğș", "\x9D\x9C"},
      {"^`~ ¤―‖¯", "?'- $^`~"},
      {"‘a’ „b“ c–d—e…\u00A0\u2009|", "'a' \"b\" c-d-e...  |"},
      {"a\u200Bb\uFEFFc\u00ADd",
       "abc\x1F"
       "d"},
      {"Ω 日本 😀 ™", "? ?? ? ?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.from, TextEncoding::Utf8), c.rds) << "text: " << c.from;
  }
}

TEST(ToRds, BrokenUtf8) {
  const Case cases[] = {
      {"\xEF\xBB\xBF"
       "Abc",
       "Abc"},
      {"a\x80"
       "b\xFF",
       "a?b?"},
      // A lead byte whose sequence breaks off counts once; the next byte is read afresh.
      {"\xC3"
       "x",
       "?x"},
      {"\xE2\x82\xC3\xA9", "?\x82"},
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      {"\xC0\xAF", "??"},
      {"\xED\xA0\x80", "???"},
      {"\xF4\x90\x80\x80", "????"},
      // A character cut off at the end of the text is dropped.
      {"Caf\xC3", "Caf"},
      {"x\xF0\x9F\x98", "x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.from, TextEncoding::Utf8), c.rds) << "text: " << c.from;
  }
}

TEST(ToRds, Windows1252) {
  const Case cases[] = {
      {"\x80\x8A\x9A\x8C\x9C", "\xA9\xCC\xDC\xE3\xF3"},
      {"\x93x\x94 \x91y\x92 a\x96"
       "b\x85",
       "\"x\" 'y' a-b..."},
      {"\x81\x8D\x8F\x90\x9D\x99", "??????"},
      {"\xE9\xFC\xF8\xF1\xDF\xFF$\xA4\xA0", "\x82\x99\xF7\x9A\x8Dy\xAB$ "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToRds(c.from, TextEncoding::Latin1), c.rds) << "text: " << c.from;
  }
}

TEST(Latin1ToUtf8, ShowsWindows1252) {
  EXPECT_EQ(Latin1ToUtf8("\x80\x8A\x93\x96\xA0\xE9\xFF"), "€Š“–\u00A0éÿ");
  EXPECT_EQ(Latin1ToUtf8("\x81\x9D\x0D\x7F"), "\uFFFD\uFFFD\uFFFD\uFFFD");
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
  for (TextEncoding encoding : {TextEncoding::Rds, TextEncoding::Utf8, TextEncoding::Latin1}) {
    EXPECT_EQ(ParseTextEncoding(TextEncodingName(encoding)), encoding);
  }
  EXPECT_EQ(TextEncodingName(TextEncoding::Latin1), "Latin-1");
}

}  // namespace
}  // namespace morvane
