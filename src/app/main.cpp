#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/configuration_report.h"
#include "app/posix_file_reader.h"
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
  if (options.check) {
    morvane::PosixFileReader files;
    std::ostringstream problems;
    const int status = morvane::CheckConfiguration(files, std::filesystem::current_path().string(),
                                                   std::cout, problems);
    std::istringstream lines(problems.str());
    for (std::string line; std::getline(lines, line);) {
      std::cerr << "rdsmorvane: " << line << '\n';
    }
    std::cerr << std::flush;
    return status;
  }
  return morvane::RunController(argc, argv, options);
}
