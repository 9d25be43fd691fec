#include "sim/inhouse_assembler.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/encoder.h"

namespace morvane::sim {
namespace {

// Feeds one "UDG1=" payload, as the controller sends it every eight seconds.
void Tick(InHouseAssembler& assembler, const std::string& payload) {
  const auto groups = ParseUserGroups(payload);
  ASSERT_TRUE(groups.has_value()) << payload;
  for (const UserGroup& group : *groups) {
    assembler.Receive(group);
  }
}

TEST(InHouseAssembler, MessagesWithoutFillAreCompleteWhenTheyStartOver) {
  InHouseAssembler assembler;
  // "Welcome to Radio" (16 characters): two ticks per pass, no fill.
  Tick(assembler, "600021A25765,600121A26C63,600221A26F6D,600321A26520,");
  Tick(assembler, "600421A2746F,600521A22052,600621A26164,600721A2696F,");
  EXPECT_FALSE(assembler.message().has_value());
  Tick(assembler, "600021A25765,600121A26C63,600221A26F6D,600321A26520,");
  ASSERT_TRUE(assembler.message().has_value());
  EXPECT_EQ(*assembler.message(), (InHouseMessage{2, "1A2", "Welcome to Radio"}));

  // A later message picked up half-way through: its second half alone makes no message.
  Tick(assembler, "600431A26162,600531A27C7C,600631A27C7C,600731A27C7C,");
  EXPECT_EQ(assembler.message()->text, "Welcome to Radio");
  Tick(assembler, "600031A24E65,600131A27720,600231A27465,600331A27874,");
  Tick(assembler, "600431A26162,600531A27C7C,600631A27C7C,600731A27C7C,");
  EXPECT_EQ(*assembler.message(), (InHouseMessage{3, "1A2", "New textab"}));
}

}  // namespace
}  // namespace morvane::sim
