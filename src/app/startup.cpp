#include "app/startup.h"

#include "app/configuration.h"
#include "app/startup_error.h"
#include "app/startup_sync.h"
#include "app/version.h"
#include "link/line_settings.h"
#include "traffic/traffic_flag.h"

namespace morvane {

namespace {

void ResetWorkingFields(Controller& controller) {
  ControllerState& state = controller.state;
  state.LastRT.clear();
  state.TAstatus = 0;
  state.TAtimeout = 0;
  controller.radiotext_check = RadioTextCheck{};
  controller.metadata_file_problem.reset();
}

void ResetInHouseRotation(ControllerState& state) {
  // UDGplaceCounter is left alone: it is 0 from the window's creation.
  state.UDGcurrentMessage.clear();
  state.UDGcurrentPosition = 0;
  state.UDGcurrentText.clear();
  state.UDGsentTimes = 0;
  state.UDGsequence = 0;
}

}  // namespace

PortSetup ResolvePort(const PortConfiguration& port) {
  const PortAddress address = ParsePortAddress(port.COMport);
  if (IsNetworkPortText(port.COMport)) {
    if (!address.network) {
      throw StartupError("COMport \"" + port.COMport +
                         "\" is no network address; give tcp://HOST:PORT (HOST a name, an IPv4 "
                         "address or an IPv6 address in brackets, PORT 1 to 65535)");
    }
    // The line settings are the encoder's or the device server's own: COMsettings is ignored.
    return {address, LineSettings{}};
  }
  if (address.device_path.empty() && address.number < 1) {
    throw StartupError("COMport \"" + port.COMport +
                       "\" names no serial port; give its number (1 for the first) or its device "
                       "path (e.g. /dev/ttyUSB0)");
  }
  const std::optional<LineSettings> settings = ParseLineSettings(port.COMsettings);
  if (!settings) {
    throw StartupError("COMsettings \"" + port.COMsettings +
                       "\" is not usable; give speed,parity,data bits,stop bits as in 9600,N,8,1 "
                       "(parity N, E, O, M or S; data bits 5 to 8; stop bits 1 or 2)");
  }
  return {address, *settings};
}

std::optional<std::string> PortProblem(FileReader& files, const PortAddress& address) {
  if (address.network) {
    return std::nullopt;  // no device here: the connection itself is the check
  }
  const std::string device = PortDeviceName(address);
  std::optional<std::string> problem = files.SerialDeviceProblem(device);
  if (!problem) {
    return std::nullopt;
  }
  return "Serial port " + device + " (COMport) cannot be used: " + *problem;
}

namespace {

void OpenPort(Controller& controller, const PortConfiguration& port) {
  const PortSetup setup = ResolvePort(port);
  // Checked first, so start-up and --check name the same fault in the same words.
  if (std::optional<std::string> problem = PortProblem(controller.io.files, setup.address)) {
    throw StartupError(*problem);
  }
  if (std::optional<std::string> error = controller.io.port.Open(setup.address, setup.settings)) {
    throw StartupError(*error);
  }
  controller.port_address = setup.address;
  controller.line_settings = setup.settings;
}

}  // namespace

Configuration ConfigureController(Controller& controller, const std::string& working_directory) {
  ControllerState& state = controller.state;
  state.ManualTraffic = 0;
  state.HexVersion = std::string(kHexVersion);
  controller.notices.Reset();

  Configuration configuration = LoadConfiguration(controller.io.files, working_directory, state);
  controller.text_encoding = configuration.text_encoding;
  controller.stale.minutes = configuration.stale_radiotext_minutes;
  ResetWorkingFields(controller);
  controller.SetLabel(Label::lblEncoderType, state.EncoderType);
  controller.SetLabel(Label::lblRTplus, "");
  ResetInHouseRotation(state);
  return configuration;
}

void OpenPortAndSynchronise(Controller& controller, const Configuration& configuration) {
  // The port is opened whatever the encoder type: a wrong type must not hide a wrong port.
  OpenPort(controller, configuration);

  // A TA flag left on by an earlier run would otherwise stay on air until the encoder's own
  // timeout.
  if (IsPira32(controller.state)) {
    SendTrafficFlag(controller, TrafficFlag::Off);
  }
  SynchroniseEncoder(controller);
}

void Form_Load(Controller& controller, const std::string& working_directory) {
  OpenPortAndSynchronise(controller, ConfigureController(controller, working_directory));
}

void Form_Unload(Controller& controller) {
  controller.io.port.Close();
}

}  // namespace morvane
