#include "link/encoder_link.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Kind = testing::WireEvent::Kind;

TEST(ExchangeCommand, DrainsWritesWaitsReads) {
  Rig rig;
  rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
  rig.port.Inject("stale answer of an earlier command\r\n");

  const std::string answer = rig.controller.ExchangeCommand("PS\r", 200);

  ASSERT_EQ(rig.log.size(), 4u);
  EXPECT_EQ(rig.log[0].kind, Kind::Read);
  EXPECT_EQ(rig.log[0].bytes, "stale answer of an earlier command\r\n");
  EXPECT_EQ(rig.log[1].kind, Kind::Write);
  EXPECT_EQ(rig.log[1].bytes, "PS\r");
  EXPECT_EQ(rig.log[2].kind, Kind::Sleep);
  EXPECT_EQ(rig.log[2].wait_ms, 200);
  EXPECT_EQ(rig.log[3].kind, Kind::Read);
  EXPECT_EQ(rig.log[3].at_us, 200000);
  EXPECT_EQ(answer, "PS\r\nRADIO 1 \r\n");
}

TEST(ExchangeCommand, FailingPortGivesEmptyAnswerAndReportsIt) {
  Rig rig;
  std::vector<bool> health;
  rig.controller.link.SetPortHealthListener([&](bool ok) { health.push_back(ok); });
  rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
  rig.port.fail_reads = true;

  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), "");
  EXPECT_EQ(rig.TotalWaitMs(), 200);
  rig.port.fail_reads = false;
  (void)rig.controller.ExchangeCommand("PS\r", 200);
  EXPECT_EQ(health, (std::vector<bool>{false, true}));
}

TEST(WriteAndWait, NeitherDrainsNorReads) {
  Rig rig;
  rig.controller.link.WriteAndWait("DATE=05.03.26\r", 400);
  ASSERT_EQ(rig.log.size(), 2u);
  EXPECT_EQ(rig.log[0].kind, Kind::Write);
  EXPECT_EQ(rig.log[1].kind, Kind::Sleep);
  EXPECT_EQ(rig.log[1].wait_ms, 400);
}

}  // namespace
}  // namespace morvane
