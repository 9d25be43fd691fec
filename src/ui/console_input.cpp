#include "ui/console_input.h"

namespace morvane {

namespace {

// Nothing an operator types is this long; a pipe fed junk must not grow the buffer forever.
constexpr std::size_t kMaxLineBytes = 256;

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<ConsoleCommand> ConsoleInput::Feed(std::string_view bytes) {
  std::vector<ConsoleCommand> commands;
  for (const char c : bytes) {
    if (c != '\n') {
      if (line_.size() < kMaxLineBytes) {
        line_ += c;
      } else {
        overlong_ = true;
      }
      continue;
    }
    const std::string_view line = Trimmed(line_);
    if (!overlong_ && (line == "t" || line == "T")) {
      commands.push_back(ConsoleCommand::TrafficClick);
    } else if (overlong_ || !line.empty()) {
      commands.push_back(ConsoleCommand::Unknown);
    }
    line_.clear();
    overlong_ = false;
  }
  return commands;
}

}  // namespace morvane
