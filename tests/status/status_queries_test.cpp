#include "status/status_queries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;
using testing::FrameResponder;
using testing::Pira32Responder;
using testing::Rig;
using testing::SentCommand;

using Query = void (*)(Controller&);

FakeEncoderPort::Responder Raw(std::string answer) {
  return [answer](const std::string&) { return answer; };
}
FakeEncoderPort::Responder PilotByte(char status) {
  return FrameResponder({{0x70, std::string(1, status)}});
}

struct QueryCase {
  const char* name;
  Query query;
  Label label;
  std::string encoder;
  FakeEncoderPort::Responder responder;  // none: a silent encoder
  std::vector<SentCommand> sent;
  std::string shown;
};

const std::string kReadPS("\xFE\xD0\x02\x08\xFF", 5);
const std::string kReadRT("\xFE\xD0\x20\x40\xFF", 5);
const std::string kReadPilot("\xFE\xD0\x70\x01\xFF", 5);
const std::string kPrevious = "previous reading";

TEST(StatusQueries, LabelForAnsweredSilentAndOtherEncoders) {
  const std::string rt64 = "Artist - Title \xFE\xE9" + std::string(47, ' ');
  const QueryCase cases[] = {
      {"PS answered",
       QueryPS,
       Label::lblPS,
       "PIRA32",
       Pira32Responder({{"PS", "RADIO 1 "}}),
       {{"PS\r", 200}},
       "RADIO 1 "},
      {"PS silent", QueryPS, Label::lblPS, "PIRA32", nullptr, {{"PS\r", 200}}, ""},
      {"PS frame",
       QueryPS,
       Label::lblPS,
       "PIRAMICRO",
       FrameResponder({{0x02, "RADIO 1 "}}),
       {{kReadPS, 200}},
       "RADIO 1 "},
      {"PS short frame",
       QueryPS,
       Label::lblPS,
       "PIRAMICRO",
       Raw("\xFE\xD0"
           "ABC"),
       {{kReadPS, 200}},
       "ABC     "},
      {"PS frame silent", QueryPS, Label::lblPS, "PIRAMICRO", nullptr, {{kReadPS, 200}}, ""},
      {"PS other type", QueryPS, Label::lblPS, "PIRA 32", Pira32Responder({}), {}, ""},

      {"RT answered",
       QueryRT,
       Label::lblRT,
       "PIRA32",
       Pira32Responder({{"RT1", "Artist - Title  "}}),
       {{"RT1\r", 500}},
       "Artist - Title  "},
      {"RT silent", QueryRT, Label::lblRT, "PIRA32", nullptr, {{"RT1\r", 500}}, ""},
      {"RT frame, bytes as read",
       QueryRT,
       Label::lblRT,
       "PIRAMICRO",
       FrameResponder({{0x20, rt64}}),
       {{kReadRT, 200}},
       rt64},
      {"RT frame silent", QueryRT, Label::lblRT, "PIRAMICRO", nullptr, {{kReadRT, 200}}, ""},
      {"RT other type", QueryRT, Label::lblRT, "", Pira32Responder({}), {}, ""},

      {"PI answered",
       QueryPI,
       Label::lblPI,
       "PIRA32",
       Pira32Responder({{"PI", "F201"}}),
       {{"PI\r", 200}},
       "F201"},
      {"PI silent", QueryPI, Label::lblPI, "PIRA32", nullptr, {{"PI\r", 200}}, ""},
      {"PI never asked of a PIRA micro",
       QueryPI,
       Label::lblPI,
       "PIRAMICRO",
       FrameResponder({{0x02, "RADIO 1 "}}),
       {},
       "UNKNOWN"},
      {"PI other type", QueryPI, Label::lblPI, "x", Pira32Responder({}), {}, "UNKNOWN"},

      {"pilot 1",
       QueryPilot,
       Label::lblPILOT,
       "PIRA32",
       Pira32Responder({{"PILOT", "1"}}),
       {{"PILOT\r", 200}},
       "Stereo Pilot OK"},
      {"pilot 0",
       QueryPilot,
       Label::lblPILOT,
       "PIRA32",
       Pira32Responder({{"PILOT", "0"}}),
       {{"PILOT\r", 200}},
       "NONE/FREE RUN"},
      {"pilot other answer shown as is",
       QueryPilot,
       Label::lblPILOT,
       "PIRA32",
       Pira32Responder({{"PILOT", "2"}}),
       {{"PILOT\r", 200}},
       "2"},
      {"pilot silent",
       QueryPilot,
       Label::lblPILOT,
       "PIRA32",
       nullptr,
       {{"PILOT\r", 200}},
       "NONE/FREE RUN"},
      {"pilot other type",
       QueryPilot,
       Label::lblPILOT,
       "PIRAmicro",
       Pira32Responder({}),
       {},
       "UNKNOWN"},

      {"CT 0",
       QueryCT,
       Label::lblCT,
       "PIRA32",
       Pira32Responder({{"CT", "0"}}),
       {{"CT\r", 200}},
       "0 (DISABLED ON ENCODER)"},
      {"CT 1",
       QueryCT,
       Label::lblCT,
       "PIRA32",
       Pira32Responder({{"CT", "1"}}),
       {{"CT\r", 200}},
       "1 (TIME BEING BROADCAST)"},
      {"CT ?",
       QueryCT,
       Label::lblCT,
       "PIRA32",
       Pira32Responder({{"CT", "?"}}),
       {{"CT\r", 200}},
       "UNKNOWN"},
      {"CT other answer keeps the label",
       QueryCT,
       Label::lblCT,
       "PIRA32",
       Pira32Responder({{"CT", "2"}}),
       {{"CT\r", 200}},
       kPrevious},
      {"CT silent keeps the label",
       QueryCT,
       Label::lblCT,
       "PIRA32",
       nullptr,
       {{"CT\r", 200}},
       kPrevious},
      {"CT never asked of a PIRA micro",
       QueryCT,
       Label::lblCT,
       "PIRAMICRO",
       nullptr,
       {},
       "UNKNOWN"},
      {"CT other type", QueryCT, Label::lblCT, "", nullptr, {}, "UNKNOWN"},
  };
  for (const QueryCase& c : cases) {
    Rig rig;
    rig.port.responder = c.responder;
    rig.state.EncoderType = c.encoder;
    rig.view.labels[c.label] = kPrevious;

    c.query(rig.controller);

    EXPECT_EQ(rig.Sent(), c.sent) << c.name;
    EXPECT_EQ(rig.view.Text(c.label), c.shown) << c.name;
  }
}

// Mended: the pilot is present while the lowest bit of the status byte is clear.
TEST(QueryPilot, PiraMicroStatusByteLowestBit) {
  const struct {
    const char* name;
    FakeEncoderPort::Responder responder;
    std::string shown;
  } cases[] = {
      {"00", PilotByte('\x00'), "Stereo Pilot OK"},
      {"01", PilotByte('\x01'), "NONE/FREE RUN"},
      {"02", PilotByte('\x02'), "Stereo Pilot OK"},
      {"03", PilotByte('\x03'), "NONE/FREE RUN"},
      {"30, the digit 0", PilotByte('0'), "Stereo Pilot OK"},
      {"45, the letter E", PilotByte('E'), "NONE/FREE RUN"},
      {"FE", PilotByte('\xFE'), "Stereo Pilot OK"},
      {"FF", PilotByte('\xFF'), "NONE/FREE RUN"},
      {"20, a space", PilotByte(' '), "Stereo Pilot OK"},
      {"exactly three bytes", Raw(std::string("\xFE\xD0\x00", 3)), "Stereo Pilot OK"},
      {"two bytes, no status", Raw("\xFE\xD0"), "NONE/FREE RUN"},
      {"silent", nullptr, "NONE/FREE RUN"},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.port.responder = c.responder;
    rig.state.EncoderType = "PIRAMICRO";
    QueryPilot(rig.controller);
    EXPECT_EQ(rig.Sent(), (std::vector<SentCommand>{{kReadPilot, 200}})) << c.name;
    EXPECT_EQ(rig.view.Text(Label::lblPILOT), c.shown) << c.name;
  }
}

}  // namespace
}  // namespace morvane
