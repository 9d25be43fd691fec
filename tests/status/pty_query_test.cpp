#include "status/pty_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

std::string Shown(const char* type, testing::FakeEncoderPort::Responder responder) {
  Rig rig;
  rig.state.EncoderType = type;
  rig.port.responder = std::move(responder);
  QueryPTY(rig.controller);
  const std::vector<SentCommand> sent = rig.Sent();
  if (std::string(type) == "PIRA32") {
    EXPECT_EQ(sent, (std::vector<SentCommand>{{"PTY\r", 200}}));
  } else if (std::string(type) == "PIRAMICRO") {
    EXPECT_EQ(sent, (std::vector<SentCommand>{{"\xFE\xD0\x0A\x01\xFF", 200}}));
  } else {
    EXPECT_TRUE(sent.empty());
  }
  return rig.view.Text(Label::lblPTY);
}

TEST(QueryPTY, EveryProgrammeTypeByItsName) {
  const char* const names[32] = {
      "No PTY",           "News",           "Affairs",      "Info",           "Sport",
      "Education",        "Drama",          "Culture",      "Science",        "Varied Speech",
      "Pop Music",        "Rock Music",     "Easy Music",   "Light Classics", "Serious Classics",
      "Other Music",      "Weather",        "Finance",      "Children",       "Social Affairs",
      "Religion",         "Phone In",       "Travel",       "Leasure",        "Jazz Music",
      "Country Music",    "National Music", "Oldies Music", "Folk Music",     "Documentary",
      "** ALARM TEST **", "**** ALARM ****"};
  for (int number = 0; number < 32; ++number) {
    EXPECT_EQ(Shown("PIRA32", testing::Pira32Responder({{"PTY", std::to_string(number)}})),
              names[number]);
  }
}

// Keys are matched as exact text: "01" or " 1" names nothing and is shown as it came. A silent
// PIRA micro reads a space, code 32, which names nothing either.
TEST(QueryPTY, AnythingElseIsShownAsRead) {
  const struct {
    const char* type;
    testing::FakeEncoderPort::Responder responder;
    std::string shown;
  } cases[] = {
      {"PIRA32", testing::Pira32Responder({{"PTY", "32"}}), "32"},
      {"PIRA32", testing::Pira32Responder({{"PTY", "01"}}), "01"},
      {"PIRA32", testing::Pira32Responder({{"PTY", " 1"}}), " 1"},
      {"PIRA32", nullptr, "No PTY"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, "\x1E"}}), "** ALARM TEST **"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, std::string(1, '\0')}}), "No PTY"},
      {"PIRAMICRO", testing::FrameResponder({{0x0A, "\xFF"}}), "255"},
      {"PIRAMICRO", nullptr, "32"},
      {"pira32", testing::Pira32Responder({{"PTY", "1"}}), "No PTY"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shown(c.type, c.responder), c.shown) << c.type;
  }
}

}  // namespace
}  // namespace morvane
