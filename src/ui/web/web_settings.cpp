#include "ui/web/web_settings.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include "text/text_helpers.h"

namespace morvane {

namespace {

constexpr int kHighestPort = 65535;

// An address literal of this computer, or its usual name; "127.example.org" is not one.
[[nodiscard]] bool IsLoopback(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  if (inet_pton(AF_INET6, host.c_str(), &v6) == 1) {
    return IN6_IS_ADDR_LOOPBACK(&v6) != 0;
  }
  return host == "localhost";
}

}  // namespace

std::optional<WebListen> ParseWebListen(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view host = text.substr(0, colon);
  const std::string_view digits = text.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::nullopt;  // an IPv6 address needs its brackets
  }
  if (host.empty() || digits.empty() || digits.size() > 5 ||
      host.find_first_of(" \t[]") != std::string_view::npos) {
    return std::nullopt;
  }
  int port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > kHighestPort) {
    return std::nullopt;
  }
  const std::string name(host);
  return WebListen{name, port, IsLoopback(name)};
}

std::optional<MetadataSource> ParseMetadataSource(std::string_view text) {
  if (text.empty() || EqualsIgnoringCase(text, "file")) {
    return MetadataSource::File;
  }
  if (EqualsIgnoringCase(text, "push")) {
    return MetadataSource::Push;
  }
  return std::nullopt;
}

}  // namespace morvane
