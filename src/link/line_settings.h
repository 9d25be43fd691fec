#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/serial_port.h"

namespace morvane {

// "9600,N,8,1": speed, parity letter (N, E, O, M, S), data bits, stop bits.
// std::nullopt when the text is not of that form.
[[nodiscard]] std::optional<LineSettings> ParseLineSettings(std::string_view text);

// COMport: a network address when it begins with "tcp://" (none when the rest is not a usable
// HOST:PORT), a device path when it begins with "/", else the number at its start (0 when none).
[[nodiscard]] PortAddress ParsePortAddress(std::string_view text);

// True when COMport names the network, usable or not: its line settings are then not ours.
[[nodiscard]] bool IsNetworkPortText(std::string_view text);

// "tcp://HOST:PORT", with brackets around an IPv6 address: how the station wrote it.
[[nodiscard]] std::string NetworkPortName(const NetworkAddress& address);

// The system device a PortAddress names: COMport N is the N-th serial port (/dev/ttyS<N-1> on
// Linux, COM<N> on Windows); a device path is taken as it is. Empty when N names no port.
[[nodiscard]] std::string PortDeviceName(const PortAddress& address);

}  // namespace morvane
