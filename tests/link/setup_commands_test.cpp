#include "link/setup_commands.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::SentCommand;

TEST(SetGroupSequence, OnlyAPira32GetsTheFixedSequence) {
  const std::pair<const char*, std::vector<SentCommand>> cases[] = {
      {"PIRA32", {{"GRPSEQ=022221AEXYR\r", 400}}},
      {"PIRAMICRO", {}},
      {"pira32", {}},
      {"PIRA32 ", {}},
  };
  for (const auto& [type, sent] : cases) {
    testing::Rig rig;
    rig.state.EncoderType = type;
    SetGroupSequence(rig.controller);
    EXPECT_EQ(rig.Sent(), sent) << type;
  }
}

}  // namespace
}  // namespace morvane
