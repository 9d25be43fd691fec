// The real program, headless, against network peers that are not there or do not play along.

#include <gtest/gtest.h>

#include <string>

#include "../support/loopback.h"
#include "station.h"

namespace morvane::e2e {
namespace {

using testing::LoopbackPort;

// The start-up waits of a PIRA32 are 4.25 s; the first metadata check follows within a second.
constexpr int kStartupWithWaitsMs = 8000;

using NetworkEndToEnd = StationTest;

TEST_F(NetworkEndToEnd, EncoderNotReachedEndsStartUpNamingTheAddress) {
  const LoopbackPort refusing(-1);
  const LoopbackPort full(0);
  const int crowd = testing::ConnectToLoopback(full.port);
  const std::string local = "tcp://127.0.0.1:";
  for (const std::string& com_port :
       {local + std::to_string(refusing.port), local + std::to_string(full.port),
        std::string("tcp://no-such-encoder.invalid:4001")}) {
    StartController(StationConfig{}, com_port);
    EXPECT_EQ(controller_->WaitForExit(kStartupTimeoutMs), 1) << com_port;
    EXPECT_NE(controller_->Output().find("rdsmorvane: Cannot connect to " + com_port + ": "),
              std::string::npos);
  }
  close(crowd);
}

// A peer that takes the connection and never reads or answers is a silent encoder: start-up takes
// its waits and no more, and the port is not given up.
TEST_F(NetworkEndToEnd, PeerThatNeverReadsNorAnswersIsASilentEncoder) {
  const LoopbackPort mute(4);
  StartController(StationConfig{}, "tcp://127.0.0.1:" + std::to_string(mute.port));
  ASSERT_TRUE(controller_->WaitForOutput("lblLastTextCheck", kStartupWithWaitsMs));
  EXPECT_TRUE(controller_->WaitForOutput("lblLastTextCheck", 3000, "lblLastTextCheck"));
  EXPECT_EQ(controller_->Output().find("lost"), std::string::npos) << "no reconnecting";
}

}  // namespace
}  // namespace morvane::e2e
