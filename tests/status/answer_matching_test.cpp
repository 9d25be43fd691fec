// A PIRA32 answer counts only when its first line is the command's own echo or empty: the answer
// to an earlier command that comes late is no reading, and the display keeps no-answer values.
#include <gtest/gtest.h>

#include <string>

#include "status/status_queries.h"
#include "support/fakes.h"
#include "traffic/traffic_query.h"

namespace morvane {
namespace {

using testing::FakeEncoderPort;

TEST(AnswerMatching, OnlyTheCommandsOwnAnswerIsAReading) {
  const auto every_command = [](std::string answer) -> FakeEncoderPort::Responder {
    return [answer](const std::string&) { return answer; };
  };
  const FakeEncoderPort::Responder encoder =
      testing::Pira32Responder({{"PS", "MORVANE "}, {"PI", "C201"}, {"TP", "1"}, {"TA", "0"}});
  const struct {
    const char* name;
    FakeEncoderPort::Responder responder;
    int64_t delay_us;
    std::string pi, ta;
  } cases[] = {
      {"its own echo", encoder, 1000, "C201", "0 (NORMAL)"},
      {"empty first line", every_command("\n\r\n0\r\n"), 1000, "0", "0 (NORMAL)"},
      {"another command's echo", every_command("PS\r\n0\r\n"), 1000, "", "?"},
      // After the 200 ms wait: the PS answer comes during the PI's, the TP's during the TA's.
      {"late", encoder, 300000, "", "?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = c.responder;
    rig.port.answer_delay_us = c.delay_us;
    QueryPS(rig.controller);
    QueryPI(rig.controller);
    QueryTraffic(rig.controller);
    EXPECT_EQ(rig.view.Text(Label::lblPI), c.pi);
    EXPECT_EQ(rig.view.Text(Label::lblTA), c.ta);
  }
}

}  // namespace
}  // namespace morvane
