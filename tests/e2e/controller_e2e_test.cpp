// The real program, headless, against the emulated encoder over a pseudo-terminal, in real time.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

using sim::Command;
using sim::Dialect;

// Scheduling of this process may make a command look up to this much earlier than it was sent.
constexpr int64_t kArrivalJitterMs = 20;
// The metadata file is read once a second.
constexpr int64_t kMetadataReachMs = 1600;
constexpr int kStartupTimeoutMs = 15000;

struct Expected {
  std::string command;  // the text, or a regular expression when pattern is true
  int wait_ms;
  bool pattern = false;
};

std::string Text(const Received& received) {
  return sim::DescribeCommand(received.command);
}

std::string Describe(const std::vector<Received>& commands) {
  std::string text;
  for (const Received& r : commands) {
    text += "  " + Text(r) + " @" + std::to_string(r.at_ms - commands.front().at_ms) + "\n";
  }
  return text;
}

// The commands in exactly this order, each followed by at least its wait before the next.
void ExpectSequence(const std::vector<Received>& got, const std::vector<Expected>& expected) {
  ASSERT_GE(got.size(), expected.size()) << Describe(got);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string text = Text(got[i]);
    if (expected[i].pattern) {
      EXPECT_TRUE(std::regex_match(text, std::regex(expected[i].command)))
          << "command " << i << ": " << text;
    } else {
      EXPECT_EQ(text, expected[i].command) << "command " << i;
    }
    if (i + 1 < got.size()) {
      EXPECT_GE(got[i + 1].at_ms - got[i].at_ms, expected[i].wait_ms - kArrivalJitterMs)
          << "gap after " << text << "\n"
          << Describe(got);
    }
  }
}

std::size_t IndexOf(const std::vector<Received>& commands, const std::string& text,
                    std::size_t from = 0) {
  for (std::size_t i = from; i < commands.size(); ++i) {
    if (Text(commands[i]) == text) {
      return i;
    }
  }
  return commands.size();
}

// Seconds of the day of a "TIME=hh:mm:ss" command, and of the computer's clock now.
int SecondOfDay(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stoi(hhmmss.substr(6, 2));
}
int LocalSecondOfDayNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

class ControllerEndToEnd : public ::testing::Test {
 protected:
  void Start(Dialect dialect, const StationConfig& config) {
    encoder_ = std::make_unique<EmulatedEncoder>(dialect);
    dir_.Write("RDSmorvane.ini", StationIni(config, encoder_->device()));
    controller_ = std::make_unique<ControllerProcess>(dir_);
  }

  // Puts a new first line into the metadata file; returns when it was written.
  int64_t NewTitle(const std::string& line) {
    dir_.Write("metadata.txt", line + "\r\n");
    return NowMs();
  }

  bool Arrived(const std::string& text, std::size_t from = 0) {
    return encoder_->WaitForCommands(
        [&](const std::vector<e2e::Received>& c) { return IndexOf(c, text, from) < c.size(); },
        kStartupTimeoutMs);
  }

  void TearDown() override {
    if (HasFailure() && controller_) {
      std::fprintf(stderr, "controller output:\n%s\n", controller_->Output().c_str());
    }
    controller_.reset();
    encoder_.reset();
  }

  WorkDir dir_;
  std::unique_ptr<EmulatedEncoder> encoder_;
  std::unique_ptr<ControllerProcess> controller_;
};

TEST_F(ControllerEndToEnd, Pira32StartUpThenTitlesTrafficAndInHouse) {
  dir_.Write("inhouse.txt", "M: 1A2 Hello\r\n");
  Start(Dialect::Ascii, StationConfig{});

  ASSERT_TRUE(Arrived("PILOT")) << Describe(encoder_->Commands());
  const std::vector<e2e::Received> startup = encoder_->Commands();
  ExpectSequence(startup, {
                              {"TA=0", 200},
                              {"GRPSEQ=022221AEXYR", 400},
                              {"RT1=Radio Morvane", 500},
                              {"RTP=00,00,00,00,00,00", 500},
                              {"PS", 200},
                              {"PI", 200},
                              {"RT1", 500},
                              {"CT", 200},
                              {"TP", 200},
                              {"TA", 200},
                              {"TATMOUT", 200},
                              {"PTY", 200},
                              {R"(TIME=\d\d:\d\d:\d\d)", 400, true},
                              {R"(DATE=\d\d\.\d\d\.\d\d)", 400, true},
                              {"UDG1=", 50},
                              {"SHORTRT=1", 200},
                              {"PILOT", 0},
                          });
  const std::string time = Text(startup[12]).substr(5);
  const int drift = (SecondOfDay(time) - LocalSecondOfDayNow() + 86400 + 43200) % 86400 - 43200;
  EXPECT_LE(std::abs(drift), 5) << "TIME=" << time;
  EXPECT_TRUE(encoder_->WaitForOnAir("RT \"Radio Morvane\"", 0));

  // A new title reaches the encoder within about a second, with RT+ for artist and title.
  std::size_t seen = encoder_->Commands().size();
  const int64_t written = NewTitle("Artist - Title");
  ASSERT_TRUE(Arrived("RT1=Artist - Title", seen));
  const std::vector<e2e::Received> title = encoder_->Commands();
  EXPECT_LE(title[IndexOf(title, "RT1=Artist - Title", seen)].at_ms - written, kMetadataReachMs);
  EXPECT_TRUE(encoder_->WaitForOnAir("RT \"Artist - Title\"", 0));
  ASSERT_TRUE(encoder_->WaitForOnAir("RT+ ARTIST=\"Artist\" TITLE=\"Title\"", 3000));
  ASSERT_TRUE(Arrived("RT1", IndexOf(title, "RT1=Artist - Title", seen)));
  const std::vector<e2e::Received> tagged = encoder_->Commands();
  ExpectSequence(
      std::vector<e2e::Received>(tagged.begin() + static_cast<std::ptrdiff_t>(seen), tagged.end()),
      {{"RT1=Artist - Title", 500},
       {"RTP=00,00,00,00,00,00", 500},
       {"RTP=04,00,05,01,09,04", 500},
       {"RT1", 0}});

  // The traffic marker raises TA and puts the traffic RadioText on air; the next title clears it.
  seen = encoder_->Commands().size();
  std::size_t heard = encoder_->OnAir().size();
  (void)NewTitle("TRAFFIC bulletin");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", 3000, heard));
  ASSERT_TRUE(encoder_->WaitForOnAir("RT \"Traffic news\"", 3000, heard));
  heard = encoder_->OnAir().size();
  (void)NewTitle("Band - Song");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA off", 3000, heard));
  ASSERT_TRUE(encoder_->WaitForOnAir("RT+ ARTIST=\"Band\" TITLE=\"Song\"", 4000, heard));
  const std::vector<e2e::Received> traffic = encoder_->Commands();
  const std::size_t ta_on = IndexOf(traffic, "TA=1", seen);
  ASSERT_LT(ta_on, traffic.size());
  EXPECT_EQ(Text(traffic[ta_on + 1]), "TP");  // the traffic display is refreshed at once
  EXPECT_LT(IndexOf(traffic, "TA=0", ta_on), traffic.size());

  // The traffic button, clicked on the headless console: on, then off.
  heard = encoder_->OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", 3000, heard));
  heard = encoder_->OnAir().size();
  controller_->Type("t\n");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA off", 3000, heard));

  // Eight seconds after start-up the in-house message goes out in 6A groups.
  EXPECT_TRUE(encoder_->WaitForOnAir("In-house seq 1 id 1A2 \"Hello\"", 12000));
  EXPECT_TRUE(controller_->Running());
}

TEST_F(ControllerEndToEnd, PiraMicroStartUpThenTitleAndTraffic) {
  StationConfig config;
  config.encoder_type = "PIRAMICRO";
  Start(Dialect::Frame, config);

  std::string radiotext = "Radio Morvane";
  radiotext.resize(64, ' ');
  auto hex = [](const std::string& bytes) {
    Command frame;
    frame.kind = Command::Kind::WriteFrame;
    frame.raw = bytes;
    return sim::DescribeCommand(frame);
  };
  ASSERT_TRUE(
      encoder_->WaitForCommands([](const auto& c) { return c.size() >= 6; }, kStartupTimeoutMs))
      << Describe(encoder_->Commands());
  ExpectSequence(encoder_->Commands(), {
                                           {hex("\xFE\x20" + radiotext + "\x40\xFF"), 50},
                                           {"FE D0 02 08 FF", 200},
                                           {"FE D0 20 40 FF", 200},
                                           {"FE D0 0E 01 FF", 200},
                                           {"FE D0 0A 01 FF", 200},
                                           {"FE D0 70 01 FF", 0},
                                       });
  EXPECT_EQ(encoder_->Commands()[0].command.raw.size(), 68u);

  const std::size_t seen = encoder_->Commands().size();
  const int64_t written = NewTitle("Artist - Title");
  ASSERT_TRUE(encoder_->WaitForOnAir("RT \"Artist - Title\"", 3000));
  const std::vector<e2e::Received> after = encoder_->Commands();
  ASSERT_GT(after.size(), seen);
  EXPECT_EQ(after[seen].command.kind, Command::Kind::WriteFrame);
  EXPECT_LE(after[seen].at_ms - written, kMetadataReachMs);

  const std::size_t heard = encoder_->OnAir().size();
  (void)NewTitle("TRAFFIC bulletin");
  ASSERT_TRUE(encoder_->WaitForOnAir("TA on", 3000, heard));
  EXPECT_TRUE(encoder_->WaitForOnAir("RT \"Traffic news\"", 3000, heard));
  for (const e2e::Received& r : encoder_->Commands()) {
    EXPECT_NE(r.command.kind, Command::Kind::Line);
    EXPECT_NE(r.command.kind, Command::Kind::BadFrame);
  }
}

TEST_F(ControllerEndToEnd, OtherEncoderTypeSendsNothing) {
  StationConfig config;
  config.encoder_type = "pira32";  // not a model name: letter case counts
  dir_.Write("metadata.txt", "Artist - Title\r\n");
  dir_.Write("inhouse.txt", "M: 1A2 Hello\r\n");
  Start(Dialect::Ascii, config);
  ASSERT_TRUE(controller_->WaitForOutput("lblEncoderType \"pira32\"", kStartupTimeoutMs));
  // Several metadata ticks pass, the title among them.
  SleepMs(2500);
  EXPECT_TRUE(controller_->Running());
  EXPECT_TRUE(encoder_->Commands().empty()) << Describe(encoder_->Commands());
}

}  // namespace
}  // namespace morvane::e2e
