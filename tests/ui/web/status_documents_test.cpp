#include "ui/web/status_documents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

using ::testing::HasSubstr;

// The RadioText a radio shows, cut where the encoder's last tags mark artist and title.
TEST(StatusDocuments, RadioTextIsMarkedByTheLastTagCommand) {
  const std::string marked =
      R"([{"text":"Artist","item":"artist"},{"text":" - "},{"text":"Title","item":"title"}])";
  const std::string plain = R"([{"text":"Artist - Title"}])";
  const std::string artist_only = R"([{"text":"Artist","item":"artist"},{"text":" - Title"}])";
  const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {
      {"Artist - Title", {"RTP=04,00,05,01,09,04\r"}, marked},
      {"Artist - Title", {"RTP=04,00,05,01,09,04", "RTP=00,00,00,00,00,00"}, plain},
      // Commands that are no whole tag command change nothing.
      {"Artist - Title",
       {"RTP=04,00,05,01,09,04", "RTP=04,00,05,01,09",
        "RTP=04,00,05,01,09,0:", "RTP=04,00,05,01,/9,04", "RTP=04,00,05,01,:9,04",
        "RTP=04,00,05,01,09,0/", "RTP=04,00,05,01,09;04", "RTP 04,00,05,01,09,04", "RT1=Other"},
       marked},
      {"Artist - Title", {"RTP=04,00,05,01,09,04", "RTP=04,00,05,01,90,04"}, artist_only},
      {"Ab - Cd",
       {"RTP=04,00,01,01,05,30"},
       R"([{"text":"Ab","item":"artist"},{"text":" - "},{"text":"Cd","item":"title"}])"},
      {"Ab - Cd", {"RTP=04,00,04,01,02,04"}, R"([{"text":"Ab - ","item":"artist"},{"text":"Cd"}])"},
      {"Ab - Cd", {"RTP=31,05,01,00,00,00"}, R"([{"text":"Ab - "},{"text":"Cd","item":"other"}])"},
      {"Ab", {"RTP=04,02,00,01,09,19"}, R"([{"text":"Ab"}])"},
      {"Ab - Cd",
       {"RTP=04,00,00,01,05,01"},
       R"([{"text":"A","item":"artist"},{"text":"b - "},{"text":"Cd","item":"title"}])"},
  };
  for (const auto& [text, commands, parts] : cases) {
    SCOPED_TRACE(commands.front());
    StatusBoard board([] { return 0.0; });
    board.SetLabel(Label::lblRT, text);
    for (const std::string& command : commands) {
      board.NoteCommand(command);
    }
    EXPECT_THAT(StatusJson(board.Snapshot()), HasSubstr("\"radiotext\":" + parts + "}"));
  }
}

// The board keeps what the window shows, the link since its last change, the counters. Labels
// read as the window shows them: PS and RadioText in the RDS character set when titles are
// converted, line breaks as blanks, in UTF-8 and valid JSON.
TEST(StatusDocuments, StatusAndMetricsFollowTheController) {
  double now = 100;
  StatusBoard board([&now] { return now; });
  testing::FakeView window;
  BoardView view(window, board);
  board.SetLink("/dev/ttyUSB0", true);
  board.SetRdsCharacters(true);
  view.SetLabel(Label::lblPS, "CAF\x82 ");
  view.SetLabel(Label::lblRT, "A\r\n\"B\\");
  view.SetLabel(Label::lblEncoderType, "\x82\x01");
  view.SetButtonCaption(kTrafficInProgress);
  view.SetButtonEnabled(true);
  view.SetButtonColour(ButtonColour::Red);
  view.SetLabel(Label::lblLastTextCheck, "07:05:09");
  now = 200.5;
  view.SetLabel(Label::lblPI, "C201");  // only the metadata check's label is its time
  board.SetLinkUp(true);
  board.Report({EventKind::PortLost, Severity::Error, "lost"});
  board.Report({EventKind::PortBack, Severity::Notice, "back"});
  board.Report({EventKind::PortLost, Severity::Error, "lost"});
  board.SetLinkUp(false);
  now = 300;
  board.SetLinkUp(false);
  board.Report({EventKind::RadioTextSent, Severity::Info, "A - T"});
  board.SetLinkCounters(41, 3);

  EXPECT_EQ(
      std::make_tuple(window.Text(Label::lblPS), window.caption, window.enabled, window.colour),
      std::make_tuple(std::string("CAF\x82 "), std::string(kTrafficInProgress), true,
                      ButtonColour::Red));
  const StatusSnapshot snapshot = board.Snapshot();
  const std::string json = StatusJson(snapshot);
  const std::string start = R"({"version":"1.10","labels":{"lblPS":"CAFé ",)";
  EXPECT_EQ(json.substr(0, start.size()), start);
  EXPECT_EQ(
      json.substr(json.find("},\"traffic_button\"")),
      R"(},"traffic_button":{"caption":"TRAFFIC ALERT IN PROGRESS - CLICK TO END",)"
      R"("enabled":true,"colour":"red"},"link":{"port":"/dev/ttyUSB0","up":false,)"
      R"("since":"1970-01-01T00:03:20Z"},"radio":{"ps":"CAFé ","radiotext":[{"text":"A  \"B\\"}]}})");
  EXPECT_THAT(json, HasSubstr(R"("lblEncoderType":")"
                              "\xC2\x82"
                              R"(\u0001")"));
  // Before the port was first opened, and when it is named but not open.
  StatusBoard idle([] { return 5.0; });
  EXPECT_THAT(StatusJson(idle.Snapshot()),
              HasSubstr(R"("link":{"port":"","up":false,"since":null})"));
  idle.SetLink("COM1", false);
  EXPECT_THAT(StatusJson(idle.Snapshot()),
              HasSubstr(R"("link":{"port":"COM1","up":false,"since":"1970-01-01T00:00:05Z"})"));
  idle.SetLinkUp(true);
  EXPECT_THAT(MetricsText(idle.Snapshot()), ::testing::AllOf(HasSubstr("\nrdsmorvane_link_up 1\n"),
                                                             HasSubstr("_traffic_active 0\n")));
  // The Prometheus text, its help lines aside.
  std::string metrics;
  std::istringstream lines(MetricsText(snapshot));
  for (std::string line; std::getline(lines, line);) {
    metrics += line.rfind("# HELP ", 0) == 0 ? "" : line + "\n";
  }
  EXPECT_EQ(metrics,
            "# TYPE rdsmorvane_link_up gauge\nrdsmorvane_link_up 0\n"
            "# TYPE rdsmorvane_port_losses_total counter\nrdsmorvane_port_losses_total 2\n"
            "# TYPE rdsmorvane_exchanges_total counter\nrdsmorvane_exchanges_total 41\n"
            "# TYPE rdsmorvane_empty_answers_total counter\nrdsmorvane_empty_answers_total 3\n"
            "# TYPE rdsmorvane_radiotext_changes_total counter\n"
            "rdsmorvane_radiotext_changes_total 1\n"
            "# TYPE rdsmorvane_traffic_active gauge\nrdsmorvane_traffic_active 1\n"
            "# TYPE rdsmorvane_last_metadata_check_timestamp_seconds gauge\n"
            "rdsmorvane_last_metadata_check_timestamp_seconds 100.000\n"
            "# TYPE rdsmorvane_build_info gauge\nrdsmorvane_build_info{version=\"1.10\"} 1\n");
}

TEST(StatusDocuments, EventsKeepTheLast200WithIncreasingIdsKindsAndSeverities) {
  double now = 0;
  StatusBoard board([&now] { return now; });
  for (int i = 1; i <= 205; ++i) {
    now = i;
    board.Report({EventKind::ClockSet, Severity::Info, "set " + std::to_string(i)});
  }
  const std::vector<LoggedEvent> kept = board.EventsAfter(0);
  ASSERT_EQ(kept.size(), 200u);
  EXPECT_EQ(kept.front().id, 6u);
  EXPECT_EQ(EventsJson(board.EventsAfter(204), false),
            R"({"events":[{"id":205,"time":"1970-01-01T00:03:25Z","kind":"clock_set",)"
            R"("severity":"info","text":"set 205"}]})");
  EXPECT_EQ(EventsJson(board.EventsAfter(205), false), R"({"events":[]})");

  // Kind names the page translates, severity names that pick its colours, texts as shown.
  const Severity severities[] = {Severity::Error, Severity::Warning, Severity::Notice};
  for (int kind = 0; kind <= static_cast<int>(EventKind::Problem); ++kind) {
    board.Report({static_cast<EventKind>(kind), severities[kind % 3], "Caf\x82"});
  }
  const std::string json = EventsJson(board.EventsAfter(205), true);
  std::string names;
  const std::regex field(R"re("kind":"(\w+)","severity":"(\w+)","text":"Café")re");
  for (std::sregex_iterator it(json.begin(), json.end(), field), end; it != end; ++it) {
    names += (*it)[1].str() + " " + (*it)[2].str() + ",";
  }
  EXPECT_EQ(names,
            "radiotext_sent error,traffic_on warning,traffic_off notice,clock_set error,"
            "inhouse_started warning,port_lost notice,port_back error,encoder_silent warning,"
            "encoder_answering notice,radiotext_missed error,radiotext_held warning,"
            "metadata_file_failed notice,metadata_file_back error,problem warning,");
}

}  // namespace
}  // namespace morvane
