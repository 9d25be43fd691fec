#include "ui/headless_view.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/fakes.h"
#include "ui/console_input.h"
#include "ui/console_text.h"

namespace morvane {
namespace {

struct HeadlessRig {
  explicit HeadlessRig(bool verbose) : clock(time), view(out, clock, verbose) {
    clock.Set({2026, 3, 5, 7, 5, 9});
  }
  // Lines printed since the last call.
  std::string Take() {
    std::string text = out.str();
    out.str("");
    return text;
  }

  testing::VirtualTime time;
  testing::FakeClock clock;
  std::ostringstream out;
  HeadlessView view;
};

TEST(EscapeForConsole, KeepsPrintableAndEscapesEverythingElse) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"RADIO 1 ", "RADIO 1 "},
      {"say \"hi\" \\o/", "say \\\"hi\\\" \\\\o/"},
      {"PS\r\nRADIO\r\n", "PS\\x0D\\x0ARADIO\\x0D\\x0A"},
      {std::string("A\0B", 3), "A\\x00B"},
      {"\x1F\x20\x7E\x7F", "\\x1F ~\\x7F"},
      {"\x80\xE9\xFF", "\\x80\\xE9\\xFF"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeForConsole(c.text), c.shown) << c.shown;
  }
}

TEST(HeadlessView, PrintsEachChangedLabelOnceWithTimeAndName) {
  HeadlessRig rig(false);

  rig.view.SetLabel(Label::lblPS, "RADIO 1 ");
  rig.view.SetLabel(Label::lblPS, "RADIO 1 ");  // unchanged: nothing to tell
  rig.view.SetLabel(Label::lblPI, "?");         // still its creation text
  rig.view.SetLabel(Label::lblRT, "Artist - \"Title\"\r");
  rig.view.SetLabel(Label::lblRTplus, "");
  rig.view.SetLabel(Label::lblNotice, std::string(CreationText(Label::lblNotice)));

  EXPECT_EQ(rig.Take(),
            "07:05:09 lblPS \"RADIO 1 \"\n"
            "07:05:09 lblRT \"Artist - \\\"Title\\\"\\x0D\"\n"
            "07:05:09 lblRTplus \"\"\n");
}

TEST(HeadlessView, MetadataCheckTimeOnlyWhenVerbose) {
  HeadlessRig quiet(false);
  quiet.view.SetLabel(Label::lblLastTextCheck, "07:05:09");
  quiet.view.SetLabel(Label::lblOurTimeout, "120");
  EXPECT_EQ(quiet.Take(), "07:05:09 lblOurTimeout \"120\"\n");

  HeadlessRig verbose(true);
  verbose.view.SetLabel(Label::lblLastTextCheck, "07:05:09");
  EXPECT_EQ(verbose.Take(), "07:05:09 lblLastTextCheck \"07:05:09\"\n");
}

TEST(HeadlessView, ButtonPrintsOneLineForWhatAHandlerChanged) {
  HeadlessRig rig(false);

  // Nothing differs from the creation state yet.
  rig.view.SetButtonCaption(kTrafficUnavailable);
  rig.view.SetButtonEnabled(false);
  rig.view.SetButtonColour(ButtonColour::ButtonFace);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(), "");
  EXPECT_FALSE(rig.view.ButtonEnabled());

  rig.view.SetButtonEnabled(true);
  rig.view.SetLabel(Label::lblTA, "0 (NORMAL)");
  rig.view.SetButtonCaption(kTrafficActivate);
  rig.view.SetButtonColour(ButtonColour::LightGreen);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(),
            "07:05:09 lblTA \"0 (NORMAL)\"\n"
            "07:05:09 cmdTraffic \"CLICK TO ACTIVATE TRAFFIC ALERT\" enabled lightgreen\n");
  EXPECT_TRUE(rig.view.ButtonEnabled());

  rig.time.now_us += 61'000'000;
  rig.view.SetButtonCaption(kTrafficInProgress);
  rig.view.SetButtonColour(ButtonColour::Red);
  rig.view.Flush();
  rig.view.Flush();
  EXPECT_EQ(rig.Take(),
            "07:06:10 cmdTraffic \"TRAFFIC ALERT IN PROGRESS - CLICK TO END\" enabled red\n");

  // Back and forth within one handler is no change at all.
  rig.view.SetButtonEnabled(false);
  rig.view.SetButtonEnabled(true);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(), "");

  rig.view.SetButtonEnabled(false);
  rig.view.SetButtonCaption(kTrafficUnavailable);
  rig.view.SetButtonColour(ButtonColour::ButtonFace);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(), "07:06:10 cmdTraffic \"TRAFFIC ALERT UNAVAILABLE\" disabled buttonface\n");
}

TEST(ConsoleInput, TIsAClickWhateverPiecesTheLineArrivesIn) {
  using C = ConsoleCommand;
  const struct {
    std::vector<std::string> chunks;
    std::vector<C> commands;
  } cases[] = {
      {{"t\n"}, {C::TrafficClick}},
      {{"t", "\n"}, {C::TrafficClick}},
      {{"T\r\n"}, {C::TrafficClick}},
      {{"  t \n"}, {C::TrafficClick}},
      {{"t\nt\n"}, {C::TrafficClick, C::TrafficClick}},
      {{"t"}, {}},  // not yet a line
      {{"\n", " \n"}, {}},
      {{"tt\n", "traffic\n"}, {C::Unknown, C::Unknown}},
      {{std::string(300, 't'), "\n", "t\n"}, {C::Unknown, C::TrafficClick}},
  };
  for (const auto& c : cases) {
    ConsoleInput input;
    std::vector<C> got;
    for (const std::string& chunk : c.chunks) {
      for (const C command : input.Feed(chunk)) {
        got.push_back(command);
      }
    }
    EXPECT_EQ(got, c.commands) << c.chunks.front();
  }
}

}  // namespace
}  // namespace morvane
