#include "text/text_encoding.h"

#include <cstdint>

#include "text/rds_charset.h"
#include "text/text_helpers.h"

namespace morvane {

namespace {

constexpr char kUnknown = '?';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Characters without an RDS code that have a close look-alike in the RDS table; an empty
// replacement drops a character that shows nothing anyway.
struct LookAlike {
  char32_t character;
  std::u32string_view replacement;
};
constexpr LookAlike kLookAlikes[] = {
    {U'`', U"'"},
    {U'~', U"-"},
    {U'\u00A0', U" "},
    {U'¦', U"|"},
    {U'«', U"\""},
    {U'´', U"'"},
    {U'·', U"."},
    {U'»', U"\""},
    {U'×', U"x"},
    {U'˜', U"-"},
    // Turkish g with breve and Romanian s with comma: the table's ǧ and ş look the same.
    {U'Ğ', U"Ǧ"},
    {U'ğ', U"ǧ"},
    {U'Ș', U"Ş"},
    {U'ș', U"ş"},
    {U'‐', U"-"},
    {U'‑', U"-"},
    {U'‒', U"-"},
    {U'–', U"-"},
    {U'—', U"-"},
    {U'−', U"-"},
    {U'‘', U"'"},
    {U'’', U"'"},
    {U'‚', U"'"},
    {U'‛', U"'"},
    {U'′', U"'"},
    {U'“', U"\""},
    {U'”', U"\""},
    {U'„', U"\""},
    {U'‟', U"\""},
    {U'″', U"\""},
    {U'•', U"-"},
    {U'…', U"..."},
    {U'‹', U"<"},
    {U'›', U">"},
    {U'\u202F', U" "},
    {U'\u200B', U""},
    {U'\u200C', U""},
    {U'\u200D', U""},
    {U'\u200E', U""},
    {U'\u200F', U""},
    {U'\u2060', U""},
    {U'\uFEFF', U""},
};
// En quad to hair space: all shown as a plain space.
constexpr char32_t kFirstWideSpace = 0x2000;
constexpr char32_t kLastWideSpace = 0x200A;

// Base letter of each Latin letter with a diacritic, "?" where there is none: U+00C0..U+024F
// and U+1E00..U+1EFF, position by position.
constexpr char32_t kLatinFirst = 0xC0;
constexpr std::string_view kLatinBases =
    "AAAAAA?CEEEEIIII?NOOOOO?OUUUUY??aaaaaa?ceeeeiiii?nooooo?ouuuuy?y"  // U+00C0
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlL"  // U+0100
    "lLlNnNnNn???OoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs"  // U+0140
    "bBBb???Cc?DDd????FfG???IKkl??NnOOo??Pp?????tTtTUu?VYyZz?????????"  // U+0180
    "?????D??L??N?AaIiOoUuUuUuUuUu?AaAa??GgGgKkOoOo??j?D?Gg??NnAa??Oo"  // U+01C0
    "AaAaEeEeIiIiOoOoRrRrUuUuSsTt??HhNd??ZzAaEeOoOoOoOoYylnt???ACcLTs"  // U+0200
    "z??B??EeJj?qRrYy";                                                 // U+0240
static_assert(kLatinBases.size() == 0x250 - kLatinFirst);
constexpr char32_t kLatinAdditionalFirst = 0x1E00;
constexpr std::string_view kLatinAdditionalBases =
    "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"   // U+1E00
    "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"   // U+1E40
    "WwWwWwWwWwXxXxYyZzZzZzhtwya?????AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"   // U+1E80
    "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy????Yy";  // U+1EC0
static_assert(kLatinAdditionalBases.size() == 0x100);

[[nodiscard]] char BaseLetter(char32_t character) {
  if (character >= kLatinFirst && character - kLatinFirst < kLatinBases.size()) {
    return kLatinBases[character - kLatinFirst];
  }
  if (character >= kLatinAdditionalFirst &&
      character - kLatinAdditionalFirst < kLatinAdditionalBases.size()) {
    return kLatinAdditionalBases[character - kLatinAdditionalFirst];
  }
  return kUnknown;
}

[[nodiscard]] char RdsCodeOrUnknown(char32_t character) {
  const std::optional<uint8_t> code = RdsCode(character);
  return code ? static_cast<char>(*code) : kUnknown;
}

void AppendRds(std::string& out, char32_t character) {
  // Controls (line break, end of text and the rest) mean the same in every one of these sets.
  if (character < 0x20 || character == 0x7F) {
    out += static_cast<char>(character);
    return;
  }
  if (const std::optional<uint8_t> code = RdsCode(character)) {
    out += static_cast<char>(*code);
    return;
  }
  if (character >= kFirstWideSpace && character <= kLastWideSpace) {
    out += ' ';
    return;
  }
  for (const LookAlike& look_alike : kLookAlikes) {
    if (look_alike.character == character) {
      for (char32_t replacement : look_alike.replacement) {
        out += RdsCodeOrUnknown(replacement);
      }
      return;
    }
  }
  out += BaseLetter(character);
}

enum class Utf8Status { Character, Invalid, CutOff };
struct Utf8Step {
  Utf8Status status;
  char32_t character;
  std::size_t length;
};

// One character from pos. A broken sequence counts as one invalid unit: its lead byte and the
// continuation bytes that fit, so "?" stands for each character that could not be read.
[[nodiscard]] Utf8Step DecodeUtf8At(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  if (lead < 0x80) {
    return {Utf8Status::Character, lead, 1};
  }
  std::size_t length = 0;
  char32_t character = 0;
  // The second byte's range also rules out overlong forms, surrogates and values past U+10FFFF.
  uint8_t second_min = 0x80;
  uint8_t second_max = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    character = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    character = lead & 0x0F;
    second_min = lead == 0xE0 ? 0xA0 : 0x80;
    second_max = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    character = lead & 0x07;
    second_min = lead == 0xF0 ? 0x90 : 0x80;
    second_max = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return {Utf8Status::Invalid, 0, 1};
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) {
      return {Utf8Status::CutOff, 0, i};
    }
    const auto byte = static_cast<uint8_t>(text[pos + i]);
    const uint8_t min = i == 1 ? second_min : 0x80;
    const uint8_t max = i == 1 ? second_max : 0xBF;
    if (byte < min || byte > max) {
      return {Utf8Status::Invalid, 0, i};
    }
    character = (character << 6) | (byte & 0x3F);
  }
  return {Utf8Status::Character, character, length};
}

[[nodiscard]] std::string Utf8ToRds(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Step step = DecodeUtf8At(text, pos);
    if (step.status == Utf8Status::Character) {
      AppendRds(out, step.character);
    } else if (step.status == Utf8Status::Invalid) {
      out += kUnknown;
    }
    pos += step.length;
  }
  return out;
}

[[nodiscard]] std::string Latin1ToRds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char byte : text) {
    AppendRds(out, Windows1252Character(static_cast<uint8_t>(byte)));
  }
  return out;
}

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;

constexpr TextEncoding kEncodings[] = {TextEncoding::Rds, TextEncoding::Utf8, TextEncoding::Latin1};

}  // namespace

std::optional<TextEncoding> ParseTextEncoding(std::string_view value) {
  if (value.empty()) {
    return TextEncoding::Rds;
  }
  for (TextEncoding encoding : kEncodings) {
    if (EqualsIgnoringCase(value, TextEncodingName(encoding))) {
      return encoding;
    }
  }
  return std::nullopt;
}

std::string_view TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Latin1:
      return "Latin-1";
    case TextEncoding::Rds:
      break;
  }
  return "RDS";
}

std::string ToRds(std::string_view text, TextEncoding from) {
  switch (from) {
    case TextEncoding::Utf8:
      return Utf8ToRds(text);
    case TextEncoding::Latin1:
      return Latin1ToRds(text);
    case TextEncoding::Rds:
      break;
  }
  return std::string(text);
}

std::optional<std::string> Utf16ToUtf8(std::string_view content) {
  const std::string_view mark = content.substr(0, 2);
  const bool little_endian = mark == "\xFF\xFE";
  if (!little_endian && mark != "\xFE\xFF") {
    return std::nullopt;
  }
  const auto unit_at = [&](std::size_t pos) -> char32_t {
    const auto first = static_cast<uint8_t>(content[pos]);
    const auto second = static_cast<uint8_t>(content[pos + 1]);
    return little_endian ? char32_t{second} << 8 | first : char32_t{first} << 8 | second;
  };
  std::string out;
  out.reserve(content.size());
  for (std::size_t pos = 2; pos + 1 < content.size(); pos += 2) {
    char32_t character = unit_at(pos);
    if (character >= kHighSurrogateFirst && character < kSurrogateEnd) {
      const bool paired = character < kLowSurrogateFirst && pos + 3 < content.size() &&
                          unit_at(pos + 2) >= kLowSurrogateFirst &&
                          unit_at(pos + 2) < kSurrogateEnd;
      if (paired) {
        character = 0x10000 + ((character - kHighSurrogateFirst) << 10) +
                    (unit_at(pos + 2) - kLowSurrogateFirst);
        pos += 2;
      } else {
        character = kReplacementCharacter;
      }
    }
    AppendUtf8(out, character);
  }
  return out;
}

}  // namespace morvane
