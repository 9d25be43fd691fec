#pragma once

#include <string_view>

namespace morvane {

inline constexpr std::string_view kVersionText = "1.10";
// The same version as four hexadecimal digits, broadcast in the in-house version groups.
inline constexpr std::string_view kHexVersion = "0110";

}  // namespace morvane
