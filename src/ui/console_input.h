#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

enum class ConsoleCommand { TrafficClick, Unknown };

// What an operator types on a headless controller's standard input: "t" and Enter clicks the
// traffic button. Bytes arrive in whatever pieces the terminal or pipe delivers them.
class ConsoleInput {
 public:
  // The commands completed by these bytes, in order; blank lines are no command.
  [[nodiscard]] std::vector<ConsoleCommand> Feed(std::string_view bytes);

 private:
  std::string line_;
  bool overlong_ = false;
};

}  // namespace morvane
