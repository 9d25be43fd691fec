// Any RDSmorvane.ini either loads into values of the promised shape or ends start-up with a
// message; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/configuration.h"
#include "app/startup_error.h"
#include "fuzz_check.h"
#include "link/line_settings.h"
#include "support/fakes.h"

namespace {

bool IsKeyedValue(const std::string& value) {
  return value.size() <= morvane::kKeyedValueMaxChars && value.find('\0') == std::string::npos;
}

bool IsOneLine(const std::string& value) {
  return value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  morvane::testing::FakeFiles files;
  files.files["/wd/RDSmorvane.ini"] = std::string(reinterpret_cast<const char*>(data), size);
  morvane::ControllerState state;
  morvane::PortConfiguration port;
  try {
    port = morvane::LoadConfiguration(files, "/wd", state);
  } catch (const morvane::StartupError& error) {
    FUZZ_CHECK(std::string(error.what()).size() > 0);
    return 0;
  }
  FUZZ_CHECK(files.reads.size() == 1);
  FUZZ_CHECK(IsKeyedValue(port.COMsettings));
  FUZZ_CHECK(port.COMport.find('\0') == std::string::npos);
  for (const std::string* value :
       {&state.EncoderType, &state.DefaultRadioText, &state.TrafficRadioText, &state.TrafficMeta,
        &state.RTplusSwap}) {
    FUZZ_CHECK(IsKeyedValue(*value));
    FUZZ_CHECK(IsOneLine(*value));
  }
  FUZZ_CHECK(!state.TrafficMeta.empty());
  FUZZ_CHECK(!state.MetadataFile.empty());
  for (const std::string* value : {&state.MetadataFile, &state.RTPlusPrefix, &state.RTPlusSplit}) {
    FUZZ_CHECK(IsOneLine(*value));
  }
  FUZZ_CHECK(state.TAmaxtime >= 60 && state.TAmaxtime <= 599);

  // What start-up does next with the port values.
  const morvane::PortAddress address = morvane::ParsePortAddress(port.COMport);
  FUZZ_CHECK(address.device_path.empty() || address.device_path.front() == '/');
  if (const auto settings = morvane::ParseLineSettings(port.COMsettings)) {
    FUZZ_CHECK(settings->data_bits >= 5 && settings->data_bits <= 8);
  }
  return 0;
}
