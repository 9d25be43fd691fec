#include "link/line_settings.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <string>
#include <vector>

#include "text/leading_number.h"
#include "text/text_helpers.h"

namespace morvane {

// What a COMsettings text may say, the four fields separated by commas, blanks around a field
// allowed ("9600, N, 8, 1"):
// - speed: a whole number of bits per second above 0;
// - parity: one letter N, E, O, M or S (none, even, odd, mark, space), either letter case;
// - data bits: 5, 6, 7 or 8;
// - stop bits: 1 or 2. One and a half stop bits is refused: a Linux serial port cannot send it,
//   and opening the port with some other framing would garble every command to the encoder.
// Anything else, an empty field or a fifth field included, makes the text unusable.

namespace {

constexpr int kMinDataBits = 5;
constexpr int kMaxDataBits = 8;
constexpr std::string_view kNetworkScheme = "tcp://";
constexpr int kMaxNetworkPort = 65535;

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(TrimBlanks(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) {
      return fields;
    }
    start = comma + 1;
  }
}

// Digits only: no blanks, no decimal point (negative values fail the range checks).
std::optional<int> WholeNumber(std::string_view field) {
  int value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<Parity> ParityFromLetter(std::string_view field) {
  if (field.size() != 1) {
    return std::nullopt;
  }
  switch (field.front()) {
    case 'N':
    case 'n':
      return Parity::None;
    case 'E':
    case 'e':
      return Parity::Even;
    case 'O':
    case 'o':
      return Parity::Odd;
    case 'M':
    case 'm':
      return Parity::Mark;
    case 'S':
    case 's':
      return Parity::Space;
    default:
      return std::nullopt;
  }
}

bool IsNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
}

// Inside the brackets: hexadecimal groups and colons, an IPv4 tail, a zone after '%'.
bool IsIpv6Character(char c) {
  return IsNameCharacter(c) || c == ':' || c == '%';
}

template <typename Allowed>
bool AllOf(std::string_view text, Allowed allowed) {
  for (const char c : text) {
    if (!allowed(c)) {
      return false;
    }
  }
  return true;
}

// "HOST:PORT" with HOST a name, an IPv4 address or an IPv6 address in brackets. Blanks, a path
// after the port, a port outside 1 to 65535 and an IPv6 address without brackets (which colon
// would begin the port?) are refused rather than guessed at.
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text) {
  std::string_view host;
  std::string_view rest;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
      return std::nullopt;
    }
    host = text.substr(1, close - 1);
    rest = text.substr(close + 1);
    if (host.find(':') == std::string_view::npos || !AllOf(host, IsIpv6Character)) {
      return std::nullopt;
    }
  } else {
    const std::size_t colon = text.find(':');
    host = text.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    if (!AllOf(host, IsNameCharacter)) {
      return std::nullopt;
    }
  }
  if (host.empty() || rest.size() < 2 || rest.front() != ':' ||
      !AllOf(rest.substr(1), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const std::optional<int> port = WholeNumber(rest.substr(1));
  if (!port || *port < 1 || *port > kMaxNetworkPort) {
    return std::nullopt;
  }
  return NetworkAddress{std::string(host), static_cast<uint16_t>(*port)};
}

}  // namespace

bool IsNetworkPortText(std::string_view text) {
  return EqualsIgnoringCase(text.substr(0, kNetworkScheme.size()), kNetworkScheme);
}

std::string NetworkPortName(const NetworkAddress& address) {
  const bool ipv6 = address.host.find(':') != std::string::npos;
  return std::string(kNetworkScheme) + (ipv6 ? "[" + address.host + "]" : address.host) + ":" +
         std::to_string(address.port);
}

std::optional<LineSettings> ParseLineSettings(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() != 4) {
    return std::nullopt;
  }
  const std::optional<int> baud = WholeNumber(fields[0]);
  const std::optional<Parity> parity = ParityFromLetter(fields[1]);
  const std::optional<int> data_bits = WholeNumber(fields[2]);
  const std::optional<int> stop_bits = WholeNumber(fields[3]);
  if (!baud || *baud <= 0 || !parity || !data_bits || *data_bits < kMinDataBits ||
      *data_bits > kMaxDataBits || !stop_bits || (*stop_bits != 1 && *stop_bits != 2)) {
    return std::nullopt;
  }
  return LineSettings{*baud, *parity, *data_bits, *stop_bits};
}

PortAddress ParsePortAddress(std::string_view text) {
  PortAddress address;
  if (IsNetworkPortText(text)) {
    address.network = ParseNetworkAddress(text.substr(kNetworkScheme.size()));
    return address;
  }
  if (!text.empty() && text.front() == '/') {
    address.device_path = std::string(text);
    return address;
  }
  // A number too large for a port number counts as none, like a text without a number.
  const std::optional<LeadingNumber> number = ParseLeadingNumber(text);
  if (number) {
    const double rounded = RoundHalfEven(number->value);
    if (rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()) {
      address.number = static_cast<int>(rounded);
    }
  }
  return address;
}

std::string PortDeviceName(const PortAddress& address) {
  if (!address.device_path.empty()) {
    return address.device_path;
  }
  if (address.number < 1) {
    return {};
  }
#ifdef _WIN32
  return "COM" + std::to_string(address.number);
#else
  return "/dev/ttyS" + std::to_string(address.number - 1);
#endif
}

}  // namespace morvane
