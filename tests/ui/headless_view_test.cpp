#include "ui/headless_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/fakes.h"
#include "ui/console_input.h"

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

TEST(HeadlessView, PrintsEachChangedLabelOnceAndTheCheckTimeOnlyWhenVerbose) {
  HeadlessRig rig(false);
  rig.view.SetLabel(Label::lblPS, "RADIO 1 ");
  rig.view.SetLabel(Label::lblPS, "RADIO 1 ");  // unchanged: nothing to tell
  rig.view.SetLabel(Label::lblPI, "?");         // still its creation text
  rig.view.SetLabel(Label::lblLastTextCheck, "07:05:09");
  // Quotes and backslashes escaped; control bytes, DEL and bytes from 0x80 as hexadecimal.
  rig.view.SetLabel(Label::lblRT, std::string("\"A\\B\"\r\n\0\x1F ~\x7F\x80\xFF", 14));
  rig.view.SetLabel(Label::lblRTplus, "");
  EXPECT_EQ(rig.Take(),
            "07:05:09 lblPS \"RADIO 1 \"\n"
            "07:05:09 lblRT \"\\\"A\\\\B\\\"\\x0D\\x0A\\x00\\x1F ~\\x7F\\x80\\xFF\"\n"
            "07:05:09 lblRTplus \"\"\n");

  HeadlessRig verbose(true);
  verbose.view.SetLabel(Label::lblLastTextCheck, "07:05:09");
  EXPECT_EQ(verbose.Take(), "07:05:09 lblLastTextCheck \"07:05:09\"\n");
}

// A handler sets caption, enabled state and colour one by one; one line tells what they add up to.
TEST(HeadlessView, ButtonPrintsOneLineForWhatAHandlerChanged) {
  HeadlessRig rig(false);
  rig.view.SetButtonCaption(kTrafficUnavailable);
  rig.view.SetButtonColour(ButtonColour::ButtonFace);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(), "") << "nothing differs from the creation state";

  rig.view.SetButtonEnabled(true);
  rig.view.SetButtonCaption(kTrafficInProgress);
  rig.view.SetButtonColour(ButtonColour::Red);
  rig.view.Flush();
  rig.view.Flush();
  EXPECT_EQ(rig.Take(),
            "07:05:09 cmdTraffic \"TRAFFIC ALERT IN PROGRESS - CLICK TO END\" enabled red\n");
  EXPECT_TRUE(rig.view.ButtonEnabled());

  rig.view.SetButtonEnabled(false);
  rig.view.SetButtonEnabled(true);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(), "") << "back and forth within one handler is no change";

  rig.view.SetButtonEnabled(false);
  rig.view.SetButtonCaption(kTrafficActivate);
  rig.view.SetButtonColour(ButtonColour::LightGreen);
  rig.view.Flush();
  EXPECT_EQ(rig.Take(),
            "07:05:09 cmdTraffic \"CLICK TO ACTIVATE TRAFFIC ALERT\" disabled lightgreen\n");
}

TEST(ConsoleInput, TIsAClickWhateverPiecesTheLineArrivesIn) {
  using C = ConsoleCommand;
  const std::pair<std::vector<std::string>, std::vector<C>> cases[] = {
      {{"t", "\n"}, {C::TrafficClick}},
      {{"  T \r\n"}, {C::TrafficClick}},
      {{"t\nt\n"}, {C::TrafficClick, C::TrafficClick}},
      {{"t"}, {}},  // not yet a line
      {{"\n", " \n"}, {}},
      {{"tt\n"}, {C::Unknown}},
      {{std::string(300, 't'), "\n", "t\n"}, {C::Unknown, C::TrafficClick}},
  };
  for (const auto& [chunks, commands] : cases) {
    ConsoleInput input;
    std::vector<C> got;
    for (const std::string& chunk : chunks) {
      for (const C command : input.Feed(chunk)) {
        got.push_back(command);
      }
    }
    EXPECT_EQ(got, commands) << chunks.front();
  }
}

}  // namespace
}  // namespace morvane
