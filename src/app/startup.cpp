#include "app/startup.h"

#include "app/configuration.h"
#include "app/startup_error.h"
#include "app/startup_sync.h"
#include "app/version.h"
#include "link/line_settings.h"
#include "traffic/traffic_flag.h"

namespace morvane {

namespace {

constexpr std::string_view kNoticeText = "RDS Morvane dynamic RDS controller V";

void ResetWorkingFields(ControllerState& state) {
  state.LastRT.clear();
  state.TAstatus = 0;
  state.TAtimeout = 0;
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

std::string NoticeText() {
  return std::string(kNoticeText) + std::string(kVersionText);
}

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

namespace {

void OpenPort(Controller& controller, const PortConfiguration& port) {
  const PortSetup setup = ResolvePort(port);
  if (std::optional<std::string> error = controller.io.port.Open(setup.address, setup.settings)) {
    throw StartupError(*error);
  }
  controller.port_address = setup.address;
  controller.line_settings = setup.settings;
}

}  // namespace

void Form_Load(Controller& controller, const std::string& working_directory) {
  ControllerState& state = controller.state;
  state.ManualTraffic = 0;
  state.HexVersion = std::string(kHexVersion);
  controller.SetLabel(Label::lblNotice, NoticeText());

  const Configuration configuration =
      LoadConfiguration(controller.io.files, working_directory, state);
  controller.text_encoding = configuration.text_encoding;
  controller.stale.minutes = configuration.stale_radiotext_minutes;
  ResetWorkingFields(state);
  controller.SetLabel(Label::lblEncoderType, state.EncoderType);
  controller.SetLabel(Label::lblRTplus, "");
  ResetInHouseRotation(state);

  // The port is opened whatever the encoder type: a wrong type must not hide a wrong port.
  OpenPort(controller, configuration);

  // A TA flag left on by an earlier run would otherwise stay on air until the encoder's own
  // timeout.
  if (IsPira32(state)) {
    SendTrafficFlag(controller, TrafficFlag::Off);
  }
  SynchroniseEncoder(controller);
}

void Form_Unload(Controller& controller) {
  controller.io.port.Close();
}

}  // namespace morvane
