#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// What a radio shows for each RDS code: the basic character table of RadioText and PS.
// kNoCharacter for the control codes (except the soft hyphen 0x1F) and the unused 0x7F and 0xFF.
inline constexpr char32_t kNoCharacter = 0;
[[nodiscard]] char32_t RdsCharacter(uint8_t code);
// The RDS code that shows exactly this character, if there is one.
[[nodiscard]] std::optional<uint8_t> RdsCode(char32_t character);

// Windows-1252 ("Latin-1" of the playout software). Control bytes map to themselves; the five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) give kReplacementCharacter.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;
[[nodiscard]] char32_t Windows1252Character(uint8_t byte);

void AppendUtf8(std::string& out, char32_t character);

// For showing on a terminal what a radio would show. Codes without a printable character
// (controls, unused codes) become U+FFFD, so the result is always one printable line; a caller
// that gives 0x0D or 0x0A a meaning handles them before decoding.
[[nodiscard]] std::string RdsToUtf8(std::string_view rds_bytes);
[[nodiscard]] std::string Latin1ToUtf8(std::string_view latin1_bytes);

}  // namespace morvane
