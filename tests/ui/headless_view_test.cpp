#include "ui/headless_view.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/fakes.h"
#include "ui/console_input.h"
#include "ui/shown_text.h"

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

// Every label by its control's name; one line for each change, none for its creation text or
// the same text again; the once-a-second check time only when verbose.
TEST(HeadlessView, PrintsEachChangedLabelOnceByItsName) {
  std::string names;
  for (const Label label : kAllLabels) {
    const std::string name(LabelName(label));
    names += name + "=" + std::string(CreationText(label)) + " ";
    for (const bool verbose : {false, true}) {
      HeadlessRig rig(verbose);
      rig.view.SetLabel(label, CreationText(label));
      rig.view.SetLabel(label, "a\"b");
      rig.view.SetLabel(label, "a\"b");
      const bool quiet = label == Label::lblLastTextCheck && !verbose;
      EXPECT_EQ(rig.Take(), quiet ? "" : "07:05:09 " + name + " \"a\\\"b\"\n");
    }
  }
  EXPECT_EQ(names,
            "lblPS=? lblPI=? lblTA=? lblTP=? lblPTY=? lblRTplus=RT+ lblClockUpdated=Never "
            "lblLastTextCheck=Never lblEncoderType=None lblTATMOUT=? lblOurTimeout=? "
            "lblPILOT=N/A lblCT=? lblRT=RADIOTEXT lblNotice=RDS Morvane ");
}

// A handler sets caption, enabled state and colour one by one; one line tells what they add up to.
// The traffic tests pin the captions and colour names.
TEST(HeadlessView, ButtonPrintsOneLineForWhatAHandlerChanged) {
  HeadlessRig rig(false);
  const struct {
    bool enabled;
    std::string_view caption;
    ButtonColour colour;
    std::string printed;
  } steps[] = {
      {false, kTrafficUnavailable, ButtonColour::ButtonFace, ""},
      {true, kTrafficInProgress, ButtonColour::Red,
       "07:05:09 cmdTraffic \"TRAFFIC ALERT IN PROGRESS - CLICK TO END\" enabled red\n"},
      {false, kTrafficUnavailable, ButtonColour::ButtonFace,
       "07:05:09 cmdTraffic \"TRAFFIC ALERT UNAVAILABLE\" disabled buttonface\n"},
  };
  for (const auto& step : steps) {
    rig.view.SetButtonEnabled(!step.enabled);  // back and forth within one handler is no change
    rig.view.SetButtonEnabled(step.enabled);
    rig.view.SetButtonCaption(step.caption);
    rig.view.SetButtonColour(step.colour);
    rig.view.Flush();
    EXPECT_EQ(rig.Take(), step.printed) << step.caption;
    EXPECT_EQ(rig.view.ButtonEnabled(), step.enabled);
    EXPECT_EQ(rig.view.ButtonCaption(), step.caption);
  }
  // A change that no handler's end has told yet is told when the view goes away.
  std::ostringstream out;
  HeadlessView(out, rig.clock, false).SetButtonEnabled(true);
  EXPECT_EQ(out.str(), "07:05:09 cmdTraffic \"TRAFFIC ALERT UNAVAILABLE\" enabled buttonface\n");
}

// One byte is one character, on one line: Latin-1, or the RDS set for the PS and RadioText read
// back from the encoder when titles are converted into it; configuration texts as written.
TEST(ShownText, EachByteAsTheWindowAndThePageShowIt) {
  const std::tuple<Label, std::string, bool, std::string> cases[] = {
      {Label::lblRT, "<b>Caf\xE9</b> \x82\r\n", false, "<b>Café</b> \u0082  "},
      {Label::lblRT, "Caf\x82 M\x99ller\r", true, "Café Müller "},
      {Label::lblPS, "\xABRADIO\x82", true, "$RADIOé"},
      {Label::lblEncoderType, "\x82\xAB", true, "\u0082«"},
  };
  for (const auto& [label, bytes, rds, shown] : cases) {
    EXPECT_EQ(ShownText(label, bytes, rds), shown) << bytes;
  }
}

// What each line was: "t" a traffic click, "?" anything else.
TEST(ConsoleInput, TIsAClickWhateverPiecesTheLineArrivesIn) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{" \t T \r\n"}, "t"},
      {{"t\nt", "\n"}, "tt"},
      {{"tt\n", "x\n"}, "??"},
      {{std::string(256, ' ') + "t\n", "t\n"}, "?t"},
      {{std::string(255, ' ') + "t\n"}, "t"},
  };
  for (const auto& [chunks, commands] : cases) {
    ConsoleInput input;
    std::string got;
    for (const std::string& chunk : chunks) {
      for (const ConsoleCommand command : input.Feed(chunk)) {
        got += command == ConsoleCommand::TrafficClick ? 't' : '?';
      }
    }
    EXPECT_EQ(got, commands) << chunks.front();
  }
}

}  // namespace
}  // namespace morvane
