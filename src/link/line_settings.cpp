#include "link/line_settings.h"

namespace morvane {

std::optional<LineSettings> ParseLineSettings(std::string_view) {
  return std::nullopt;
}

PortAddress ParsePortAddress(std::string_view) {
  return {};
}

}  // namespace morvane
