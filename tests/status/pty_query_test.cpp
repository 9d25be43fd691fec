#include "status/pty_query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using testing::SentCommand;

TEST(QueryPTY, Pira32NamesEveryProgrammeType) {
  const char* const names[] = {
      "No PTY",
      "News",
      "Affairs",
      "Info",
      "Sport",
      "Education",
      "Drama",
      "Culture",
      "Science",
      "Varied Speech",
      "Pop Music",
      "Rock Music",
      "Easy Music",
      "Light Classics",
      "Serious Classics",
      "Other Music",
      "Weather",
      "Finance",
      "Children",
      "Social Affairs",
      "Religion",
      "Phone In",
      "Travel",
      "Leasure",
      "Jazz Music",
      "Country Music",
      "National Music",
      "Oldies Music",
      "Folk Music",
      "Documentary",
      "** ALARM TEST **",
      "**** ALARM ****",
  };
  for (int number = 0; number < 32; ++number) {
    SCOPED_TRACE(number);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = testing::Pira32Responder({{"PTY", std::to_string(number)}});

    QueryPTY(rig.controller);

    EXPECT_EQ(rig.view.Text(Label::lblPTY), names[number]);
    EXPECT_THAT(rig.Sent(), ::testing::ElementsAre(SentCommand{"PTY\r", 200}));
  }
}

TEST(QueryPTY, Pira32KeysAreMatchedAsExactText) {
  const std::pair<const char*, const char*> cases[] = {
      {"10", "Pop Music"}, {"23", "Leasure"}, {"31", "**** ALARM ****"},
      {"0", "No PTY"},     {"32", "32"},      {" 1", " 1"},
      {"01", "01"},        {"1 ", "1 "},      {"", "No PTY"},
      {"news", "news"},
  };
  for (const auto& [answer, label] : cases) {
    SCOPED_TRACE(answer);
    Rig rig;
    rig.state.EncoderType = "PIRA32";
    rig.port.responder = testing::Pira32Responder({{"PTY", answer}});

    QueryPTY(rig.controller);

    EXPECT_EQ(rig.view.Text(Label::lblPTY), label);
  }
}

TEST(QueryPTY, PiraMicroTurnsTheByteIntoDecimalText) {
  const std::pair<std::string, const char*> cases[] = {
      {std::string(1, '\x1E'), "** ALARM TEST **"},
      {std::string(1, '\x00'), "No PTY"},
      {std::string(1, '\x0A'), "Pop Music"},
      {std::string(1, '\x1F'), "**** ALARM ****"},
      {std::string(1, '\x20'), "32"},
      {std::string(1, '\xFF'), "255"},
  };
  for (const auto& [byte, label] : cases) {
    SCOPED_TRACE(label);
    Rig rig;
    rig.state.EncoderType = "PIRAMICRO";
    rig.port.responder = testing::FrameResponder({{0x0A, byte}});

    QueryPTY(rig.controller);

    EXPECT_EQ(rig.view.Text(Label::lblPTY), label);
    EXPECT_THAT(rig.Sent(),
                ::testing::ElementsAre(SentCommand{std::string("\xFE\xD0\x0A\x01\xFF", 5), 200}));
  }
}

TEST(QueryPTY, SilentEncoders) {
  struct Case {
    const char* type;
    const char* label;
    std::size_t writes;
  };
  // A silent PIRA micro reads a space, code 32, which names no programme type.
  for (const Case& c : {Case{"PIRA32", "No PTY", 1}, Case{"PIRAMICRO", "32", 1},
                        Case{"pira32", "No PTY", 0}, Case{"", "No PTY", 0}}) {
    SCOPED_TRACE(c.type);
    Rig rig;
    rig.state.EncoderType = c.type;

    QueryPTY(rig.controller);

    EXPECT_EQ(rig.view.Text(Label::lblPTY), c.label);
    EXPECT_EQ(rig.Writes().size(), c.writes);
  }
}

}  // namespace
}  // namespace morvane
