#include "sim/group_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/encoder.h"

namespace morvane::sim {
namespace {

// A station with TP 0 and PTY 0, so block B shows only the group's own bits.
EncoderState PlainStation() {
  EncoderState state;
  state.pi = 0xC201;
  state.tp = false;
  state.pty = 0;
  return state;
}

std::string Blocks(const RdsGroup& group) {
  return FormatGroup(group);
}

TEST(GroupEncoder, RtPlusPairOfTheWorkedExample) {
  EncoderState state = PlainStation();
  state.rtplus = {RtPlusTag{1, 9, 16}, RtPlusTag{4, 0, 5}};
  state.rtplus_running = true;
  state.rtplus_toggle = false;
  EXPECT_EQ(Blocks(Group3A(state)), "C201 3016 0000 4BD7");
  EXPECT_EQ(Blocks(Group11A(state)), "C201 B008 24A0 2005");
}

TEST(GroupEncoder, RtPlusFromTheControllersTagCommand) {
  // "Artist - Title": artist 6 characters from 0, title 5 characters from 9.
  Encoder encoder(Dialect::Ascii, PlainStation());
  CommandParser parser(Dialect::Ascii);
  for (const Command& c : parser.Feed("RT1=Artist - Title\rRTP=00,00,00,00,00,00\r"
                                      "RTP=04,00,05,01,09,04\r")) {
    (void)encoder.Handle(c, 0);
  }
  // Type 4 = 000100: bits 5..3 in block B, bits 2..0 on top of block C; toggle flipped once.
  EXPECT_EQ(Blocks(Group11A(encoder.state())), "C201 B018 800A 0924");

  EncoderState station = encoder.state();
  station.tp = true;
  station.pty = 10;
  EXPECT_EQ(Blocks(Group11A(station)), "C201 B558 800A 0924");
}

TEST(GroupEncoder, PsSegmentsWithTrafficFlagsAndStereo) {
  EncoderState state;
  state.pi = 0xC201;
  state.ps = "MORVANE ";
  state.tp = true;
  state.pty = 10;
  state.ta = false;
  state.pilot = true;
  EXPECT_EQ(Blocks(Group0A(state, 0)), "C201 0548 E0E0 4D4F");
  EXPECT_EQ(Blocks(Group0A(state, 1)), "C201 0549 E0E0 5256");
  EXPECT_EQ(Blocks(Group0A(state, 2)), "C201 054A E0E0 414E");
  // Segment 3 carries the stereo bit of the decoder identification.
  EXPECT_EQ(Blocks(Group0A(state, 3)), "C201 054F E0E0 4520");
  state.ta = true;
  state.pilot = false;
  EXPECT_EQ(Blocks(Group0A(state, 3)), "C201 055B E0E0 4520");
}

TEST(GroupEncoder, ShortRadioTextEndsWithCarriageReturn) {
  EncoderState state = PlainStation();
  state.radiotext = "Artist - Title";  // 14 characters, then CR: four segments
  state.short_rt = true;
  state.radiotext_ab = true;
  EXPECT_EQ(RadioTextOnAir(state), std::string("Artist - Title\r "));
  EXPECT_EQ(Blocks(Group2A(state, 0)), "C201 2010 4172 7469");
  EXPECT_EQ(Blocks(Group2A(state, 3)), "C201 2013 6C65 0D20");

  state.radiotext = std::string(64, 'x');
  EXPECT_EQ(RadioTextOnAir(state), std::string(64, 'x'));  // a full text needs no end mark

  state.radiotext = "Artist - Title";
  state.short_rt = false;
  EXPECT_EQ(RadioTextOnAir(state), "Artist - Title" + std::string(50, ' '));
}

TEST(GroupEncoder, RadioTextSegmentsCycleAndRestartForANewText) {
  EncoderState state = PlainStation();
  state.group_sequence = "2";
  state.short_rt = true;
  state.radiotext = "Artist - Title";
  GroupEncoder encoder;
  std::vector<int> segments;
  for (int i = 0; i < 6; ++i) {
    segments.push_back(encoder.Next(state, 0).b & 0x0F);
  }
  EXPECT_EQ(segments, (std::vector<int>{0, 1, 2, 3, 0, 1}));

  state.radiotext = "Next one";  // 8 characters and CR: three segments, flag flipped
  state.radiotext_ab = !state.radiotext_ab;
  const RdsGroup first = encoder.Next(state, 0);
  EXPECT_EQ(first.b & 0x1F, 0x10);
  EXPECT_EQ(first.c, 0x4E65);  // "Ne"
  EXPECT_EQ(encoder.Next(state, 0).b & 0x0F, 1);
  EXPECT_EQ(encoder.Next(state, 0).b & 0x0F, 2);
  EXPECT_EQ(encoder.Next(state, 0).b & 0x0F, 0);
}

TEST(GroupEncoder, ClockTimeAtTheMinuteEdgeInUtcWithLocalOffset) {
  EncoderState state = PlainStation();
  state.group_sequence = "0";
  state.local_offset_half_hours = 2;  // one hour ahead of UTC
  state.clock = EncoderClock({2026, 3, 5, 14, 1, 59}, 0);
  GroupEncoder encoder;
  EXPECT_EQ(encoder.Next(state, 0).b >> 12, 0);    // no clock in the middle of a minute
  EXPECT_EQ(encoder.Next(state, 999).b >> 12, 0);  // still 14:01:59
  // MJD 61104 (5 March 2026) = 0xEEB0: top bit in block B, the rest with the hour in block C;
  // 13:02 UTC, offset +2 half hours in block D.
  EXPECT_EQ(Blocks(encoder.Next(state, 1000)), "C201 4001 DD60 D082");
  EXPECT_EQ(encoder.Next(state, 1100).b >> 12, 0);  // once a minute only

  state.local_offset_half_hours = -3;
  EXPECT_EQ(Blocks(Group4A(state, {2026, 3, 5, 0, 30, 0})), "C201 4001 DD60 2023");

  state.ct = false;
  GroupEncoder quiet;
  (void)quiet.Next(state, 0);
  EXPECT_EQ(quiet.Next(state, 1000).b >> 12, 0);
}

TEST(GroupEncoder, InHouseGroupsGetTrafficProgrammeAndType) {
  EncoderState state;
  state.pi = 0xC201;
  state.tp = true;
  state.pty = 10;
  EXPECT_EQ(Blocks(Group6A(state, UserGroup{0x6000, 0x11A2, 0x4865})), "C201 6540 11A2 4865");
  EXPECT_EQ(Blocks(Group6A(state, UserGroup{0x6003, 0x11A2, 0x7C7C})), "C201 6543 11A2 7C7C");
}

TEST(GroupEncoder, FollowsTheGroupSequencePassingOverEmptySlots) {
  EncoderState state = PlainStation();
  state.group_sequence = "022221AEXYR";
  GroupEncoder encoder;
  auto types = [&](int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) {
      out.push_back(encoder.Next(state, 0).b >> 12);
    }
    return out;
  };
  // Nothing for X (in-house) or R (RT+) yet: PS and RadioText only.
  EXPECT_EQ(types(5), (std::vector<int>{0, 2, 2, 2, 2}));
  EXPECT_EQ(types(5), (std::vector<int>{0, 2, 2, 2, 2}));

  state.inhouse_groups = {UserGroup{0x6000, 0x11A2, 0x4865}};
  state.rtplus_announced = true;
  // The sequence goes on where it stood, at the letters after the last RadioText slot.
  EXPECT_EQ(types(14), (std::vector<int>{6, 3, 0, 2, 2, 2, 2, 6, 11, 0, 2, 2, 2, 2}));
}

}  // namespace
}  // namespace morvane::sim
