#include "status/status_queries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;
using testing::FrameResponder;
using testing::Rig;
using testing::SentCommand;

FakeEncoderPort::Responder Raw(std::string answer) {
  return [answer](const std::string&) { return answer; };
}
FakeEncoderPort::Responder Ascii(const std::string& command, const std::string& value) {
  return testing::Pira32Responder({{command, value}});
}
FakeEncoderPort::Responder PilotByte(char status) {
  return FrameResponder({{0x70, std::string(1, status)}});
}

const std::string kPrevious = "previous reading";

// Each case starts from a label showing kPrevious; a missing responder is a silent encoder.
TEST(StatusQueries, LabelForAnsweredSilentAndOtherEncoders) {
  const std::vector<SentCommand> read_ps = {{std::string("\xFE\xD0\x02\x08\xFF", 5), 200}};
  const std::vector<SentCommand> read_rt = {{std::string("\xFE\xD0\x20\x40\xFF", 5), 200}};
  const std::vector<SentCommand> read_pilot = {{std::string("\xFE\xD0\x70\x01\xFF", 5), 200}};
  const std::vector<SentCommand> ask_pilot = {{"PILOT\r", 200}};
  const std::vector<SentCommand> ask_ct = {{"CT\r", 200}};
  const std::string pilot = "Stereo Pilot OK";
  const std::string no_pilot = "NONE/FREE RUN";
  const std::string rt64 = "Artist - Title \xFE\xE9" + std::string(47, ' ');
  const struct {
    void (*query)(Controller&);
    Label label;
    std::string encoder;
    FakeEncoderPort::Responder responder;
    std::vector<SentCommand> sent;
    std::string shown;
  } cases[] = {
      {QueryPS, Label::lblPS, "PIRA32", Ascii("PS", "RADIO 1 "), {{"PS\r", 200}}, "RADIO 1 "},
      {QueryPS, Label::lblPS, "PIRAMICRO", FrameResponder({{0x02, "RADIO 1 "}}), read_ps,
       "RADIO 1 "},
      {QueryPS, Label::lblPS, "PIRAMICRO", nullptr, read_ps, ""},  // no row of spaces
      {QueryPS, Label::lblPS, "PIRA 32", Ascii("PS", "RADIO 1 "), {}, ""},
      {QueryRT, Label::lblRT, "PIRA32", Ascii("RT1", "A - T "), {{"RT1\r", 500}}, "A - T "},
      {QueryRT, Label::lblRT, "PIRA32", nullptr, {{"RT1\r", 500}}, ""},
      {QueryRT, Label::lblRT, "PIRAMICRO", FrameResponder({{0x20, rt64}}), read_rt, rt64},
      {QueryRT, Label::lblRT, "", Ascii("RT1", "A - T "), {}, ""},
      {QueryPI, Label::lblPI, "PIRA32", Ascii("PI", "F201"), {{"PI\r", 200}}, "F201"},
      {QueryPI, Label::lblPI, "PIRAMICRO", FrameResponder({{0x02, "F201"}}), {}, "UNKNOWN"},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "1"), ask_pilot, pilot},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "0"), ask_pilot, no_pilot},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "2"), ask_pilot, "2"},
      {QueryPilot, Label::lblPILOT, "PIRA32", nullptr, ask_pilot, no_pilot},
      {QueryPilot, Label::lblPILOT, "PIRAmicro", Ascii("PILOT", "1"), {}, "UNKNOWN"},
      // The PIRA micro's pilot is present while the lowest bit of its status byte is clear.
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", PilotByte('\x00'), read_pilot, pilot},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", PilotByte('\x01'), read_pilot, no_pilot},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", PilotByte('\x02'), read_pilot, pilot},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", PilotByte('\xFF'), read_pilot, no_pilot},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", Raw(std::string("\xFE\xD0\x00", 3)), read_pilot,
       pilot},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", Raw("\xFE\xD0"), read_pilot, no_pilot},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "0"), ask_ct, "0 (DISABLED ON ENCODER)"},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "1"), ask_ct, "1 (TIME BEING BROADCAST)"},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "?"), ask_ct, "UNKNOWN"},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "2"), ask_ct, kPrevious},
      {QueryCT, Label::lblCT, "PIRA32", nullptr, ask_ct, kPrevious},
      {QueryCT, Label::lblCT, "PIRAMICRO", nullptr, {}, "UNKNOWN"},
  };
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row << ": " << c.encoder << " -> " << c.shown);
    Rig rig;
    rig.port.responder = c.responder;
    rig.state.EncoderType = c.encoder;
    rig.view.labels[c.label] = kPrevious;

    c.query(rig.controller);

    EXPECT_EQ(rig.Sent(), c.sent);
    EXPECT_EQ(rig.view.Text(c.label), c.shown);
  }
}

}  // namespace
}  // namespace morvane
