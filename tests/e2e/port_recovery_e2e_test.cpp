// The encoder's port goes away under the running program (a USB adapter pulled out) and comes
// back at the same path: the program survives, says so, reconnects and puts the title on air
// again on the encoder that came back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "station.h"

namespace morvane::e2e {
namespace {

constexpr int kStartupTimeoutMs = 10000;
// The loss is seen as soon as the device goes away; the port is tried again every 5 s.
constexpr int kLossTimeoutMs = 3000;
constexpr int kBackTimeoutMs = 8000;
constexpr int kTitleTimeoutMs = 3000;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST(PortRecoveryEndToEnd, EncoderPortLostAndBackPutsTheTitleOnAirAgain) {
  WorkDir dir;
  const std::string link = dir.path() + "/encoder";
  auto encoder = std::make_unique<EmulatedEncoder>(sim::Dialect::Ascii, link);
  StationConfig config;
  config.rtplus = "0";
  dir.Write("RDSmorvane.ini", StationIni(config, link));
  dir.Write("metadata.txt", "Artist - Title\r\n");
  ControllerProcess controller(dir);
  auto fail = [&](const char* what) {
    std::fprintf(stderr, "%s; controller output:\n%s\n", what, controller.Output().c_str());
  };

  if (!encoder->WaitForOnAir("RT \"Artist - Title\"", kStartupTimeoutMs)) {
    fail("the title never went on air");
    FAIL();
  }

  // The adapter is pulled out: the device and the path to it are gone.
  encoder.reset();
  ASSERT_NE(access(link.c_str(), F_OK), 0);
  const std::string lost = "lblNotice \"Encoder port " + link + " lost - retrying every 5 s\"";
  if (!controller.WaitForOutput(lost, kLossTimeoutMs)) {
    fail("no loss reported");
    FAIL();
  }
  SleepMs(1000);
  EXPECT_TRUE(controller.Running());

  // It comes back at the same path, as a new device with an empty RadioText.
  encoder = std::make_unique<EmulatedEncoder>(sim::Dialect::Ascii, link);
  const std::string back = "lblNotice \"RDS Morvane dynamic RDS controller V1.10\"";
  const bool reconnected = encoder->WaitForOnAir("RT \"Artist - Title\"", kBackTimeoutMs);
  if (!reconnected) {
    fail("the title did not go on air again");
  }
  ASSERT_TRUE(reconnected);
  EXPECT_TRUE(controller.Running());
  const std::string output = controller.Output();
  EXPECT_EQ(Count(output, lost), 1u) << output;
  EXPECT_EQ(Count(output, back), 2u) << output;  // at start-up, and once back
  EXPECT_LT(output.find(lost), output.rfind(back)) << output;
}

}  // namespace
}  // namespace morvane::e2e
