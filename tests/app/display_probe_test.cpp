#include "app/display_probe.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace morvane {
namespace {

TEST(DisplayProbe, WhereTheNamedDisplayListens) {
  const auto local = [](const std::string& path, bool abstract) {
    return DisplayEndpoint{path, abstract, "", 0};
  };
  const auto tcp = [](const std::string& host, int port) {
    return DisplayEndpoint{"", false, host, port};
  };
  const struct {
    std::string display;
    bool wayland;
    std::optional<DisplayEndpoint> endpoint;
  } cases[] = {
      {":0", false, local("/tmp/.X11-unix/X0", true)},
      {":12.1", false, local("/tmp/.X11-unix/X12", true)},
      {"unix:3", false, local("/tmp/.X11-unix/X3", true)},
      {"localhost:10.0", false, tcp("localhost", 6010)},
      {"studio-pc:1", false, tcp("studio-pc", 6001)},
      {"[::1]:2", false, tcp("::1", 6002)},
      {"decnet::0", false, std::nullopt},
      {"/private/tmp/launch-x/org.xquartz:0", false, std::nullopt},
      {"tcp/host:0", false, std::nullopt},
      {":x", false, std::nullopt},
      {"wayland-0", true, local("/run/user/1000/wayland-0", false)},
      {"/srv/compositor.sock", true, local("/srv/compositor.sock", false)},
  };
  for (const auto& c : cases) {
    const std::optional<DisplayEndpoint> got =
        c.wayland ? WaylandEndpoint(c.display, "/run/user/1000") : X11Endpoint(c.display);
    EXPECT_EQ(got, c.endpoint) << c.display;
  }
  EXPECT_EQ(WaylandEndpoint("wayland-0", nullptr), std::nullopt);
}

}  // namespace
}  // namespace morvane
