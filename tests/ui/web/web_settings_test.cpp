#include "ui/web/web_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

// Host, port, whether only this computer reaches it (then no token); the plain cases elsewhere.
TEST(WebListen, HostPortAndWhetherOnlyThisComputerReachesIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"127.1.2.3:90", "127.1.2.3 90 loopback"},
      {"localhost:8750", "localhost 8750 loopback"},
      {"[::1]:8750", "::1 8750 loopback"},
      {"[::]:65535", ":: 65535 open"},
      {"127.example.org:8750", "127.example.org 8750 open"},
      {"::1:8750", ""},
      {"127.0.0.1:0", ""},
      {"127.0.0.1:65536", ""},
      {"127.0.0.1:008750", ""},
      {"127.0.0.1:/8750", ""},
      {":8750", ""},
  };
  for (const auto& [text, shown] : cases) {
    const std::optional<WebListen> parsed = ParseWebListen(text);
    EXPECT_EQ(!parsed ? ""
                      : parsed->host + " " + std::to_string(parsed->port) +
                            (parsed->loopback ? " loopback" : " open"),
              shown)
        << text;
  }
}

}  // namespace
}  // namespace morvane
