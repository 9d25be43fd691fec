#include "web/status_documents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

using ::testing::HasSubstr;

// Labels read as the window shows them: Latin-1 bytes, PS and RadioText in the RDS character set
// when titles are converted, line breaks as blanks, in UTF-8 and valid JSON.
TEST(StatusDocuments, LabelsAreShownAsTheWindowShowsThem) {
  const struct {
    Label label;
    std::string bytes;
    bool rds;
    std::string json;
  } cases[] = {
      {Label::lblPS, "Caf\x82", true, "\"lblPS\":\"Caf\xC3\xA9\""},
      {Label::lblPS, "Caf\xE9", false, "\"lblPS\":\"Caf\xC3\xA9\""},
      {Label::lblEncoderType, "\x82", true, "\"lblEncoderType\":\"\xC2\x82\""},
      {Label::lblRT, "A\r\nB", false, "\"lblRT\":\"A  B\""},
      {Label::lblPI, "say \"hi\" \\", false, "\"lblPI\":\"say \\\"hi\\\" \\\\\""},
      {Label::lblTA, "\x01", false, "\"lblTA\":\"\\u0001\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    StatusBoard board([] { return 0.0; });
    board.SetRdsCharacters(c.rds);
    board.SetLabel(c.label, c.bytes);
    EXPECT_THAT(StatusJson(board.Snapshot()), HasSubstr(c.json));
  }
}

// The RadioText a radio shows, cut where the tags the encoder was last given mark artist and title.
TEST(StatusDocuments, RadioTextIsMarkedByTheLastTagCommand) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> commands;
    std::string parts;
  } cases[] = {
      {"artist and title",
       "Artist - Title",
       {"RTP=04,00,05,01,09,04\r"},
       R"([{"text":"Artist","item":"artist"},{"text":" - "},{"text":"Title","item":"title"}])"},
      {"cleared",
       "Artist - Title",
       {"RTP=04,00,05,01,09,04", "RTP=00,00,00,00,00,00"},
       R"([{"text":"Artist - Title"}])"},
      {"a broken command changes nothing",
       "Artist - Title",
       {"RTP=04,00,05,01,09,04", "RTP=04,00,05,01,09", "RT1=Other"},
       R"([{"text":"Artist","item":"artist"},{"text":" - "},{"text":"Title","item":"title"}])"},
      {"tag past the end",
       "Ab - Cd",
       {"RTP=04,00,01,01,05,30"},
       R"([{"text":"Ab","item":"artist"},{"text":" - "},{"text":"Cd","item":"title"}])"},
      {"overlapping tag",
       "Ab - Cd",
       {"RTP=04,00,04,01,02,04"},
       R"([{"text":"Ab - ","item":"artist"},{"text":"Cd"}])"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StatusBoard board([] { return 0.0; });
    board.SetLabel(Label::lblRT, c.text);
    for (const std::string& command : c.commands) {
      board.NoteCommand(command);
    }
    EXPECT_THAT(StatusJson(board.Snapshot()), HasSubstr("\"radiotext\":" + c.parts + "}"));
  }
}

TEST(StatusDocuments, EventsKeepTheLast200WithIncreasingIds) {
  double now = 0;
  StatusBoard board([&now] { return now; });
  for (int i = 1; i <= 205; ++i) {
    now = i;
    board.Report({EventKind::ClockSet, Severity::Info, "set " + std::to_string(i)});
  }
  const std::vector<LoggedEvent> kept = board.EventsAfter(0);
  ASSERT_EQ(kept.size(), 200u);
  EXPECT_EQ(kept.front().id, 6u);
  EXPECT_EQ(kept.back().id, 205u);
  EXPECT_EQ(EventsJson(board.EventsAfter(204), false),
            R"({"events":[{"id":205,"time":"1970-01-01T00:03:25Z","kind":"clock_set",)"
            R"("severity":"info","text":"set 205"}]})");
  EXPECT_TRUE(board.EventsAfter(205).empty());
}

// The link is up from the port's opening to its closing; the counters follow the events.
TEST(StatusDocuments, MetricsAndLinkFollowTheController) {
  double now = 100;
  StatusBoard board([&now] { return now; });
  board.SetLink("/dev/ttyUSB0", true);
  board.SetLabel(Label::lblLastTextCheck, "07:05:09");
  now = 200;
  board.Report({EventKind::PortLost, Severity::Error, "lost"});
  board.Report({EventKind::PortBack, Severity::Notice, "back"});
  board.Report({EventKind::PortLost, Severity::Error, "lost"});
  board.SetLinkUp(false);
  board.Report({EventKind::RadioTextSent, Severity::Info, "A - T"});
  board.SetLinkCounters(41, 3);
  board.SetButtonColour(ButtonColour::Red);

  const StatusSnapshot snapshot = board.Snapshot();
  EXPECT_THAT(
      StatusJson(snapshot),
      HasSubstr(R"("link":{"port":"/dev/ttyUSB0","up":false,"since":"1970-01-01T00:03:20Z"})"));
  const std::string metrics = MetricsText(snapshot);
  for (const char* line :
       {"\nrdsmorvane_link_up 0\n", "\nrdsmorvane_port_losses_total 2\n",
        "\nrdsmorvane_exchanges_total 41\n", "\nrdsmorvane_empty_answers_total 3\n",
        "\nrdsmorvane_radiotext_changes_total 1\n", "\nrdsmorvane_traffic_active 1\n",
        "\nrdsmorvane_last_metadata_check_timestamp_seconds 100.000\n",
        "\nrdsmorvane_build_info{version=\"1.10\"} 1\n"}) {
    EXPECT_THAT(metrics, HasSubstr(line));
  }
}

}  // namespace
}  // namespace morvane
