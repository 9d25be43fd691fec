#include "sim/inhouse_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(InHouseAssembler, ShortMessageIsCompleteAtItsFill) {
  InHouseAssembler assembler;
  // "Hello" and three fill characters, sequence 1, identifier 1A2.
  Tick(assembler, "600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,");
  ASSERT_TRUE(assembler.message().has_value());
  EXPECT_EQ(*assembler.message(), (InHouseMessage{1, "1A2", "Hello"}));
}

TEST(InHouseAssembler, MessageWithoutFillIsCompleteWhenItStartsOver) {
  InHouseAssembler assembler;
  // "Welcome to Radio" (16 characters): two ticks per pass, no fill.
  Tick(assembler, "600021A25765,600121A26C63,600221A26F6D,600321A26520,");
  Tick(assembler, "600421A2746F,600521A22052,600621A26164,600721A2696F,");
  EXPECT_FALSE(assembler.message().has_value());
  Tick(assembler, "600021A25765,600121A26C63,600221A26F6D,600321A26520,");
  ASSERT_TRUE(assembler.message().has_value());
  EXPECT_EQ(assembler.message()->sequence, 2);
  EXPECT_EQ(assembler.message()->text, "Welcome to Radio");
}

TEST(InHouseAssembler, NewSequenceStartsANewMessageAndVersionGroupsReplaceIt) {
  InHouseAssembler assembler;
  Tick(assembler, "600011A24865,600111A26C6C,600211A26F7C,600311A27C7C,");
  // A later message, picked up half-way through: segments 04..07 alone make no message.
  Tick(assembler, "600421A26162,600521A27C7C,600621A27C7C,600721A27C7C,");
  EXPECT_EQ(assembler.message()->text, "Hello");
  Tick(assembler, "600021A24E65,600121A27720,600221A27465,600321A27874,");
  Tick(assembler, "600421A26162,600521A27C7C,600621A27C7C,600721A27C7C,");
  EXPECT_EQ(*assembler.message(), (InHouseMessage{2, "1A2", "New textab"}));

  Tick(assembler, "600000000000,600100000110");
  EXPECT_FALSE(assembler.message().has_value());
  EXPECT_EQ(assembler.version(), std::optional<std::string>("0110"));
}

}  // namespace
}  // namespace morvane::sim
