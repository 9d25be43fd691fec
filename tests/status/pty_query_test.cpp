#include "status/pty_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

// Keys are matched as exact text: "01" or " 1" names nothing and is shown as it came. A silent
// PIRA micro reads a space, code 32, which names nothing either.
TEST(QueryPTY, NamesTheEdgeKeysOfTheTableAndShowsOthersAsRead) {
  const std::vector<SentCommand> ascii = {{"PTY\r", 200}};
  const std::vector<SentCommand> frame = {{std::string("\xFE\xD0\x0A\x01\xFF", 5), 200}};
  const struct {
    const char* type;
    testing::FakeEncoderPort::Responder responder;
    std::vector<SentCommand> sent;
    std::string shown;
  } cases[] = {
      {"PIRA32", testing::Pira32Responder({{"PTY", "0"}}), ascii, "No PTY"},
      {"PIRA32", testing::Pira32Responder({{"PTY", "23"}}), ascii, "Leasure"},
      {"PIRA32", testing::Pira32Responder({{"PTY", "31"}}), ascii, "**** ALARM ****"},
      {"PIRA32", testing::Pira32Responder({{"PTY", "32"}}), ascii, "32"},
      {"PIRA32", testing::Pira32Responder({{"PTY", "01"}}), ascii, "01"},
      {"PIRA32", testing::Pira32Responder({{"PTY", " 1"}}), ascii, " 1"},
      {"PIRA32", nullptr, ascii, "No PTY"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, "\x1E"}}), frame, "** ALARM TEST **"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, std::string(1, '\0')}}), frame, "No PTY"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, "\x0A"}}), frame, "Pop Music"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, "\xFF"}}), frame, "255"},
      {"PIRAMICRO", nullptr, frame, "32"},
      {"pira32", testing::Pira32Responder({{"PTY", "1"}}), {}, "No PTY"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " -> " + c.shown);
    Rig rig;
    rig.state.EncoderType = c.type;
    rig.port.responder = c.responder;

    QueryPTY(rig.controller);

    EXPECT_EQ(rig.view.Text(Label::lblPTY), c.shown);
    EXPECT_EQ(rig.Sent(), c.sent);
  }
}

}  // namespace
}  // namespace morvane
