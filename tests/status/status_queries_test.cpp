#include "status/status_queries.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "status/pty_query.h"
#include "support/fakes.h"
#include "traffic/traffic_query.h"

namespace morvane {
namespace {

using testing::FrameResponder;
using Responder = testing::FakeEncoderPort::Responder;
using namespace std::string_literals;

Responder Raw(std::string answer) {
  return [answer](const std::string&) { return answer; };
}
Responder Ascii(const std::string& command, const std::string& value) {
  return testing::Pira32Responder({{command, value}});
}

// Each case starts from a label showing "before"; a missing responder is a silent encoder. The
// commands and their waits are pinned by the start-up test.
TEST(StatusQueries, LabelForAnsweredSilentAndOtherEncoders) {
  const std::string ok = "Stereo Pilot OK", none = "NONE/FREE RUN";
  const std::string rt64 = "Artist - Title \xFE\xE9" + std::string(47, ' ');
  const auto pilot = [](char status) { return FrameResponder({{0x70, std::string(1, status)}}); };
  const auto pty = [](char code) { return FrameResponder({{0x0A, std::string(1, code)}}); };
  const struct {
    void (*query)(Controller&);
    Label label;
    std::string encoder;
    Responder responder;
    std::string shown;
  } cases[] = {
      {QueryPS, Label::lblPS, "PIRA32", Ascii("PS", "RADIO 1 "), "RADIO 1 "},
      {QueryPS, Label::lblPS, "PIRAMICRO", FrameResponder({{2, "RADIO 1 "}}), "RADIO 1 "},
      {QueryPS, Label::lblPS, "PIRAMICRO", nullptr, ""},  // no row of spaces
      {QueryRT, Label::lblRT, "PIRA32", Ascii("RT1", "A - T "), "A - T "},
      {QueryRT, Label::lblRT, "PIRA32", nullptr, ""},
      {QueryRT, Label::lblRT, "PIRAMICRO", FrameResponder({{0x20, rt64}}), rt64},
      {QueryRT, Label::lblRT, "", Ascii("RT1", "A - T "), ""},
      {QueryPI, Label::lblPI, "PIRA32", Ascii("PI", "F201"), "F201"},
      // Only the command's own echo or an empty first line: a late answer to another is none.
      {QueryPI, Label::lblPI, "PIRA32", Raw("\n\r\n0\r\n"), "0"},
      {QueryPI, Label::lblPI, "PIRA32", Raw("PS\r\n0\r\n"), ""},
      {QueryPI, Label::lblPI, "PIRAMICRO", FrameResponder({{2, "F201"}}), "UNKNOWN"},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "1"), ok},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "0"), none},
      {QueryPilot, Label::lblPILOT, "PIRA32", Ascii("PILOT", "2"), "2"},
      {QueryPilot, Label::lblPILOT, "PIRA32", nullptr, none},
      {QueryPilot, Label::lblPILOT, "PIRAmicro", Ascii("PILOT", "1"), "UNKNOWN"},
      // The PIRA micro's pilot is present while the lowest bit of its status byte is clear; an
      // answer too short to hold the byte is no pilot.
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", pilot('\x00'), ok},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", pilot('\x01'), none},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", pilot('\x02'), ok},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", Raw("\xFE\xD0\x00"s), ok},
      {QueryPilot, Label::lblPILOT, "PIRAMICRO", Raw("\xFE\xD0"), none},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "0"), "0 (DISABLED ON ENCODER)"},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "1"), "1 (TIME BEING BROADCAST)"},
      {QueryCT, Label::lblCT, "PIRA32", Ascii("CT", "?"), "UNKNOWN"},
      {QueryCT, Label::lblCT, "PIRA32", nullptr, "before"},
      {QueryCT, Label::lblCT, "PIRAMICRO", nullptr, "UNKNOWN"},
      // Programme types by number, matched as exact text: "01" names nothing and is
      // shown as it came; a silent PIRA micro reads a space, code 32, which names nothing either.
      {QueryPTY, Label::lblPTY, "PIRA32", Ascii("PTY", "32"), "32"},
      {QueryPTY, Label::lblPTY, "PIRA32", Ascii("PTY", "01"), "01"},
      {QueryPTY, Label::lblPTY, "PIRA32", nullptr, "No PTY"},
      {QueryPTY, Label::lblPTY, "PIRAMICRO", pty('\0'), "No PTY"},
      {QueryPTY, Label::lblPTY, "PIRAMICRO", pty('\xFF'), "255"},
      {QueryPTY, Label::lblPTY, "PIRAMICRO", nullptr, "32"},
      {QueryPTY, Label::lblPTY, "pira32", Ascii("PTY", "1"), "No PTY"},
  };
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row << ": " << c.encoder << " -> " << c.shown);
    testing::Rig rig;
    rig.port.responder = c.responder;
    rig.state.EncoderType = c.encoder;
    rig.view.labels[c.label] = "before";

    c.query(rig.controller);

    EXPECT_EQ(rig.view.Text(c.label), c.shown);
  }
}

TEST(StatusQueries, EveryProgrammeTypeByItsName) {
  std::istringstream names(
      "No PTY|News|Affairs|Info|Sport|Education|Drama|Culture|Science|Varied Speech|Pop Music|"
      "Rock Music|Easy Music|Light Classics|Serious Classics|Other Music|Weather|Finance|Children|"
      "Social Affairs|Religion|Phone In|Travel|Leasure|Jazz Music|Country Music|National Music|"
      "Oldies Music|Folk Music|Documentary|** ALARM TEST **|**** ALARM ****");
  int number = 0;
  for (std::string name; std::getline(names, name, '|'); ++number) {
    testing::Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = Ascii("PTY", std::to_string(number));
    QueryPTY(rig.controller);
    EXPECT_EQ(rig.view.Text(Label::lblPTY), name);
  }
}

}  // namespace
}  // namespace morvane
