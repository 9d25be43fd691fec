#include "sim/group_encoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "sim/encoder.h"

namespace morvane::sim {
namespace {

// The encoder's state after these commands, on a station with TP 0 and PTY 0 when plain (block B
// then shows only the group's own bits).
EncoderState Station(const std::string& commands = {}, bool plain = true) {
  EncoderState state;
  if (plain) {
    state.tp = false;
    state.pty = 0;
  }
  Encoder encoder(Dialect::Ascii, state);
  CommandParser parser(Dialect::Ascii);
  for (const Command& c : parser.Feed(commands)) {
    (void)encoder.Handle(c, 0);
  }
  return encoder.state();
}

TEST(GroupEncoder, RtPlusAndInHouseGroupsAsTheBitLayoutGivesThem) {
  EncoderState state = Station();
  state.rtplus = {RtPlusTag{1, 9, 16}, RtPlusTag{4, 0, 5}};
  state.rtplus_running = true;
  EXPECT_EQ(FormatGroup(Group3A(state)), "C201 3016 0000 4BD7");
  EXPECT_EQ(FormatGroup(Group11A(state)), "C201 B008 24A0 2005");

  // "Queen - Bohemian Rhapsody (Remastered 2011)": the 35-character title as the first tag,
  // after a clear, so the item toggle flipped once:
  //   B: 1011 0 0 00000 | toggle 1 | running 1 | type1 5..3 000                    -> B018
  //   C: type1 2..0 001 | start1 001000 (8) | length1 100010 (34) | type2 bit 5 0 -> 2444
  //   D: type2 4..0 00100 | start2 000000 (0) | length2 00100 (4)                -> 2004
  EXPECT_EQ(FormatGroup(Group11A(Station("RTP=00,00,00,00,00,00\r"
                                         "RT1=Queen - Bohemian Rhapsody (Remastered 2011)\r"
                                         "RTP=01,08,34,04,00,04\r"))),
            "C201 B018 2444 2004");

  // 6A from "600011A24865": B 0110 0 | TP 1 | PTY 01010 (10) | segment 00000 -> 6540, C sequence
  // 1 and identifier 1A2, D the two characters "He".
  const EncoderState inhouse = Station("UDG1=600011A24865,\r", false);
  ASSERT_EQ(inhouse.inhouse_groups.size(), 1U);
  EXPECT_EQ(FormatGroup(Group6A(inhouse, inhouse.inhouse_groups[0])), "C201 6540 11A2 4865");
}

TEST(GroupEncoder, ClockTimeAtTheMinuteEdgeInUtcWithTheOffsetOfThatMoment) {
  // The host in central Europe: summer time from 01:00 UTC on the last Sunday of March.
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  EncoderState state = Station();
  state.group_sequence = "0";
  std::time_t host_now = 1774745939;  // 29.03.26 00:58:59 UTC, 01:58:59 CET
  state.local_offset = [&host_now] { return HostOffsetHalfHours(host_now); };
  state.clock = EncoderClock({2026, 3, 29, 1, 58, 59}, 0);
  GroupEncoder encoder;
  EXPECT_EQ(encoder.Next(state, 0).b >> 12, 0);
  EXPECT_EQ(encoder.Next(state, 999).b >> 12, 0);  // still 01:58:59
  host_now += 1;
  // MJD 61128 = 0 1110 1110 1100 1000: 01 in block B, 1101 1101 1001 000 in block C with the
  // hour's top bit. D: hour 0000 | minute 111011 (59) | sign 0 | offset 00010 (+2 half hours)
  EXPECT_EQ(FormatGroup(encoder.Next(state, 1000)), "C201 4001 DD90 0EC2");
  EXPECT_EQ(encoder.Next(state, 1100).b >> 12, 0);  // once a minute only
  // Summer time began, and the controller set the clock in minute 02 as ever.
  host_now = 1774746120;  // 01:02:00 UTC, 03:02:00 CEST
  state.clock = EncoderClock({2026, 3, 29, 3, 2, 0}, 2000);
  // D: hour 0001 | minute 000010 (2) | sign 0 | offset 00100 (+4 half hours)
  EXPECT_EQ(FormatGroup(encoder.Next(state, 2000)), "C201 4001 DD90 1084");
  unsetenv("TZ");
  tzset();

  state.local_offset = [] { return -3; };  // behind UTC: 00:30 local is 02:00 UTC, sign bit set
  EXPECT_EQ(FormatGroup(Group4A(state, {2026, 3, 5, 0, 30, 0})), "C201 4001 DD60 2023");

  state.ct = false;
  GroupEncoder quiet;
  (void)quiet.Next(state, 0);
  EXPECT_EQ(quiet.Next(state, 1000).b >> 12, 0);
}

}  // namespace
}  // namespace morvane::sim
