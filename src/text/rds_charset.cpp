#include "text/rds_charset.h"

#include <array>
#include <iterator>

namespace morvane {

namespace {

constexpr uint8_t kSoftHyphenCode = 0x1F;

// Codes 0x80..0xFE, one row per high digit; 0xFF is unused.
constexpr char32_t kUpperRows[] =
    U"áàéèíìóòúùÑÇŞß¡Ĳ"
    U"âäêëîïôöûüñçşǧıĳ"
    U"ªα©‰Ǧěňőπ€£$←↑→↓"
    U"º¹²³±İńűµ¿÷°¼½¾§"
    U"ÁÀÉÈÍÌÓÒÚÙŘČŠŽÐĿ"
    U"ÂÄÊËÎÏÔÖÛÜřčšžđŀ"
    U"ÃÅÆŒŷÝÕØÞŊŔĆŚŹŦð"
    U"ãåæœŵýõøþŋŕćśźŧ";
// 127 codes and the closing NUL.
static_assert(std::size(kUpperRows) == 127 + 1);

constexpr std::array<char32_t, 256> BuildRdsTable() {
  std::array<char32_t, 256> table{};
  table[kSoftHyphenCode] = U'\u00AD';
  for (char32_t code = 0x20; code <= 0x7D; ++code) {
    table[code] = code;
  }
  // Where the RDS table departs from ASCII.
  table[0x24] = U'¤';
  table[0x5E] = U'―';
  table[0x60] = U'‖';
  table[0x7E] = U'¯';
  for (std::size_t i = 0; i + 1 < std::size(kUpperRows); ++i) {
    table[0x80 + i] = kUpperRows[i];
  }
  return table;
}

constexpr std::array<char32_t, 256> kRdsTable = BuildRdsTable();

// 0x80..0x9F, where Windows-1252 differs from ISO 8859-1; U+FFFD marks the unassigned bytes.
constexpr char32_t kWindows1252Row8And9[] =
    U"€\uFFFD‚ƒ„…†‡ˆ‰Š‹Œ\uFFFDŽ\uFFFD"
    U"\uFFFD‘’“”•–—˜™š›œ\uFFFDžŸ";
static_assert(std::size(kWindows1252Row8And9) == 32 + 1);

}  // namespace

char32_t RdsCharacter(uint8_t code) {
  return kRdsTable[code];
}

std::optional<uint8_t> RdsCode(char32_t character) {
  if (character == kNoCharacter) {
    return std::nullopt;
  }
  if (character < 0x80 && kRdsTable[character] == character) {
    return static_cast<uint8_t>(character);
  }
  for (std::size_t code = 0; code < kRdsTable.size(); ++code) {
    if (kRdsTable[code] == character) {
      return static_cast<uint8_t>(code);
    }
  }
  return std::nullopt;
}

char32_t Windows1252Character(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    return kWindows1252Row8And9[byte - 0x80];
  }
  return byte;
}

void AppendUtf8(std::string& out, char32_t character) {
  if (character < 0x80) {
    out += static_cast<char>(character);
  } else if (character < 0x800) {
    out += static_cast<char>(0xC0 | (character >> 6));
    out += static_cast<char>(0x80 | (character & 0x3F));
  } else if (character < 0x10000) {
    out += static_cast<char>(0xE0 | (character >> 12));
    out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (character >> 18));
    out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (character & 0x3F));
  }
}

namespace {

[[nodiscard]] bool IsPrintable(char32_t character) {
  return character >= 0x20 && character != 0x7F;
}

template <typename Decode>
std::string ToPrintableUtf8(std::string_view bytes, Decode decode) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char byte : bytes) {
    const char32_t character = decode(static_cast<uint8_t>(byte));
    AppendUtf8(out, IsPrintable(character) ? character : kReplacementCharacter);
  }
  return out;
}

}  // namespace

std::string RdsToUtf8(std::string_view rds_bytes) {
  return ToPrintableUtf8(rds_bytes, RdsCharacter);
}

std::string Latin1ToUtf8(std::string_view latin1_bytes) {
  return ToPrintableUtf8(latin1_bytes, Windows1252Character);
}

}  // namespace morvane
