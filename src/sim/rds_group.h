#pragma once

#include <cstdint>
#include <string>

namespace morvane::sim {

// One RDS group: block A (PI) and blocks B, C, D.
struct RdsGroup {
  uint16_t a = 0;
  uint16_t b = 0;
  uint16_t c = 0;
  uint16_t d = 0;

  bool operator==(const RdsGroup& other) const {
    return a == other.a && b == other.b && c == other.c && d == other.d;
  }
};

// "PPPP BBBB CCCC DDDD": the text form that RDS decoders read.
[[nodiscard]] std::string FormatGroup(const RdsGroup& group);

// Blocks B, C and D of a user-defined group as an encoder command carries them.
struct UserGroup {
  uint16_t b = 0;
  uint16_t c = 0;
  uint16_t d = 0;

  bool operator==(const UserGroup& other) const {
    return b == other.b && c == other.c && d == other.d;
  }
};

}  // namespace morvane::sim
