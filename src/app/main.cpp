#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/qt_application.h"

int main(int argc, char** argv) {
  const morvane::CommandLine options =
      morvane::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!options.error.empty()) {
    std::cerr << "rdsmorvane: " << options.error << std::endl;
    return 2;
  }
  if (options.help) {
    std::cout << morvane::HelpText();
    return 0;
  }
  if (options.version) {
    std::cout << morvane::VersionLine() << std::endl;
    return 0;
  }
  return morvane::RunController(argc, argv, options);
}
