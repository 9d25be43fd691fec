#include "app/command_line.h"

#include "app/version.h"

namespace morvane {

namespace {

constexpr std::string_view kScreenshotOption = "--screenshot=";

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const std::string& arg : args) {
    if (arg == "--headless") {
      line.headless = true;
    } else if (arg == "--verbose") {
      line.verbose = true;
    } else if (arg == "--trace") {
      line.trace = true;
    } else if (arg == "--check") {
      line.check = true;
    } else if (arg.rfind(kScreenshotOption, 0) == 0 && arg.size() > kScreenshotOption.size()) {
      // Not in the help: it makes the README's picture (scripts/screenshot).
      line.screenshot = arg.substr(kScreenshotOption.size());
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else {
      line.error = "unknown argument \"" + arg + "\" (try --help)";
      return line;
    }
  }
  return line;
}

std::string HelpText() {
  return "Usage: rdsmorvane [--headless] [--verbose] [--trace] | --check\n"
         "Keeps an RDS encoder's RadioText, RT+, TA flag, clock and in-house groups current.\n"
         "Reads RDSmorvane.ini from the current directory.\n"
         "\n"
         "  --headless  no window: every change of the status display is a line on stdout;\n"
         "              type t and Enter to click the traffic button\n"
         "  --verbose   also print the time of every metadata check (headless)\n"
         "  --trace     every encoder exchange to stderr: bytes written, wait, bytes read\n"
         "  --check     print every value read from RDSmorvane.ini as start-up would use it,\n"
         "              or the message start-up would stop with; opens no port\n"
         "  --help      this text\n"
         "  --version   the version\n"
         "\n"
         "Without a display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset) the program\n"
         "runs headless.\n";
}

std::string VersionLine() {
  return "rdsmorvane " + std::string(kVersionText);
}

bool HasDisplay(const char* display, const char* wayland_display, const char* qt_platform) {
  const auto named = [](const char* value) { return value != nullptr && *value != '\0'; };
  return named(display) || named(wayland_display) || named(qt_platform);
}

}  // namespace morvane
