#include "inhouse/inhouse_groups.h"

#include <algorithm>
#include <cctype>

#include "text/text_helpers.h"

namespace morvane {

namespace {

// Completes the last eight characters of a pass; sent like text.
constexpr char kFill = '|';
constexpr std::size_t kFillCount = 13;
constexpr std::size_t kIdentifierStart = 3;  // positions 4 to 6
constexpr std::size_t kIdentifierLength = 3;
constexpr std::size_t kTextStart = 7;  // position 8 on
// Block B high byte: group type 6, version A.
constexpr std::string_view kGroupType6A = "60";

bool IsHexIdentifier(std::string_view identifier) {
  return identifier.size() == kIdentifierLength &&
         std::all_of(identifier.begin(), identifier.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::optional<InHouseMessage> ParseMessageLine(std::string_view line) {
  if (line.substr(0, 2) != "M:" || line.size() < kIdentifierStart + kIdentifierLength) {
    return std::nullopt;
  }
  const std::string_view identifier = line.substr(kIdentifierStart, kIdentifierLength);
  if (!IsHexIdentifier(identifier)) {
    return std::nullopt;
  }
  std::string_view text;
  if (line.size() > kTextStart) {
    text = line.substr(kTextStart, kMaxInHouseTextLength);
  }
  // Groups are written in upper-case hexadecimal; "1a2" names the same message as "1A2".
  std::string upper(identifier);
  for (char& c : upper) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return InHouseMessage{upper, std::string(text)};
}

std::string InHouseSlice(std::string_view text, int position) {
  std::string body(text.substr(0, kMaxInHouseTextLength));
  body.append(kFillCount, kFill);
  if (body.size() > kMaxInHouseTextLength) {
    body.resize(kMaxInHouseTextLength);
  }
  const auto start =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(position - 1, 0)), body.size());
  return body.substr(start, kInHouseCharactersPerTick);
}

std::string BuildMessageGroups(int first_segment, int sequence, std::string_view identifier,
                               std::string_view eight_characters) {
  std::string command;
  for (std::size_t group = 0; group < kInHouseCharactersPerTick / 2; ++group) {
    command += kGroupType6A;
    command += HexByte(static_cast<uint8_t>(static_cast<unsigned>(first_segment) + group));
    command += HexDigit(static_cast<unsigned>(sequence));
    command += identifier;
    for (std::size_t i = 2 * group; i < 2 * group + 2; ++i) {
      const char c = i < eight_characters.size() ? eight_characters[i] : kFill;
      command += HexByte(static_cast<uint8_t>(c));
    }
    command += ',';
  }
  return command;
}

std::string BuildVersionGroups(std::string_view hex_version) {
  return "600000000000,60010000" + std::string(hex_version);
}

}  // namespace morvane
