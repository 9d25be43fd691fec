#include "app/configuration.h"

#include "app/startup_error.h"

namespace morvane {

std::string StripNulls(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

PortConfiguration LoadConfiguration(FileReader&, const std::string&, ControllerState&) {
  throw StartupError("configuration load is not written yet");
}

}  // namespace morvane
