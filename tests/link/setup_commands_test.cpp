#include "link/setup_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Kind = testing::WireEvent::Kind;

TEST(SetGroupSequence, Pira32GetsTheFixedSequenceInOneExchange) {
  Rig rig;
  rig.state.EncoderType = "PIRA32";
  rig.port.responder = testing::Pira32Responder({});

  SetGroupSequence(rig.controller);

  ASSERT_EQ(rig.log.size(), 4u);
  EXPECT_EQ(rig.log[0].kind, Kind::Read);
  EXPECT_EQ(rig.log[1].kind, Kind::Write);
  EXPECT_EQ(rig.log[1].bytes, "GRPSEQ=022221AEXYR\r");
  EXPECT_EQ(rig.log[2].kind, Kind::Sleep);
  EXPECT_EQ(rig.log[2].wait_ms, 400);
  EXPECT_EQ(rig.log[3].kind, Kind::Read);
}

TEST(SetGroupSequence, OtherEncodersGetNothing) {
  for (const char* type : {"PIRAMICRO", "pira32", "PIRA32 ", ""}) {
    SCOPED_TRACE(type);
    Rig rig;
    rig.state.EncoderType = type;
    SetGroupSequence(rig.controller);
    EXPECT_TRUE(rig.log.empty());
  }
}

}  // namespace
}  // namespace morvane
