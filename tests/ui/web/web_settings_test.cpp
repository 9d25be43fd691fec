#include "ui/web/web_settings.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(WebListen, HostPortAndWhetherOnlyThisComputerReachesIt) {
  const struct {
    const char* text;
    bool valid;
    const char* host;
    int port;
    bool loopback;
  } cases[] = {
      {"127.0.0.1:8750", true, "127.0.0.1", 8750, true},
      {"127.1.2.3:80", true, "127.1.2.3", 80, true},
      {"localhost:8750", true, "localhost", 8750, true},
      {"[::1]:8750", true, "::1", 8750, true},
      {"0.0.0.0:8750", true, "0.0.0.0", 8750, false},
      {"[::]:65535", true, "::", 65535, false},
      {"127.example.org:8750", true, "127.example.org", 8750, false},
      {"::1:8750", false, "", 0, false},
      {"127.0.0.1", false, "", 0, false},
      {"127.0.0.1:0", false, "", 0, false},
      {"127.0.0.1:65536", false, "", 0, false},
      {"127.0.0.1:87a0", false, "", 0, false},
      {":8750", false, "", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<WebListen> parsed = ParseWebListen(c.text);
    ASSERT_EQ(parsed.has_value(), c.valid);
    if (parsed) {
      EXPECT_EQ(parsed->host, c.host);
      EXPECT_EQ(parsed->port, c.port);
      EXPECT_EQ(parsed->loopback, c.loopback);
    }
  }
}

}  // namespace
}  // namespace morvane
