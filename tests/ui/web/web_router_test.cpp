#include "ui/web/web_router.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/web/web_mailbox.h"

namespace morvane {
namespace {

constexpr auto kPush = WebActionKind::PushLine;
constexpr auto kClick = WebActionKind::TrafficClick;
constexpr auto kNone = WebActionKind::None;

// The station the request meets: token "secret" and pushed titles unless said otherwise.
enum class Station { Push, File, NoToken, ButtonOff };

// "METHOD /path?query", with headers as "Name: value" lines.
HttpAnswer Ask(const std::string& request, const std::string& headers, const std::string& body,
               Station station = Station::Push) {
  HttpHeaders parsed;
  for (std::size_t at = 0; at < headers.size();) {
    const std::size_t end = std::min(headers.find('\n', at), headers.size());
    const std::size_t colon = headers.find(": ", at);
    parsed.emplace_back(headers.substr(at, colon - at), headers.substr(colon + 2, end - colon - 2));
    at = end + 1;
  }
  const std::string_view text = request;
  const std::size_t blank = text.find(' ');
  const std::size_t question = text.find('?');
  StatusBoard board([] { return 0.0; });
  board.SetButtonEnabled(station != Station::ButtonOff);
  for (int i = 1; i <= 3; ++i) {
    board.Report({EventKind::ClockSet, Severity::Info, std::to_string(i)});
  }
  const WebAccess access{station == Station::NoToken ? "" : "secret",
                         station == Station::File ? MetadataSource::File : MetadataSource::Push};
  return Route({text.substr(0, blank), text.substr(blank + 1, question - blank - 1),
                question == std::string_view::npos ? "" : text.substr(question + 1), parsed, body},
               access, board, PageFiles{"<html>", "js", "css"});
}

// A change needs the right token when one is set, and never comes from another site's page; a
// refusal asks nothing of the controller. No cache keeps what a route answers.
TEST(WebRouter, AnswersAndActionsByRouteTokenSizeAndState) {
  const std::string bearer = "Authorization: Bearer secret";
  const std::string longest(kMaxPushedLineBytes, 'x');
  const struct {
    std::string request, headers, body;
    Station station;
    int status;
    WebActionKind action;
    std::string extra_header;  // besides Cache-Control
  } cases[] = {
      {"GET /", "", "", Station::Push, 200, kNone, ""},
      {"HEAD /api/status", "", "", Station::Push, 200, kNone, ""},
      {"GET /admin", "", "", Station::Push, 404, kNone, ""},
      {"POST /api/status", bearer, "", Station::Push, 405, kNone, "Allow: GET, HEAD"},
      {"PUT /metrics", bearer, "", Station::Push, 405, kNone, "Allow: GET, HEAD"},
      {"GET /api/nowplaying", bearer, "", Station::Push, 405, kNone, "Allow: POST"},
      {"POST /api/nowplaying", bearer, "A - T", Station::Push, 204, kPush, ""},
      {"POST /api/nowplaying", "X-Other: 1\nauthorization:  bEaReR \tsecret ", "A", Station::Push,
       204, kPush, ""},
      {"POST /api/nowplaying", "", "A - T", Station::Push, 401, kNone, "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "Authorization: Bearer secre", "A", Station::Push, 401, kNone,
       "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "Authorization: Bearer secrets", "A", Station::Push, 401, kNone,
       "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "Authorization: Bearersecret", "A", Station::Push, 401, kNone,
       "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "Authorization: Basic secret", "A", Station::Push, 401, kNone,
       "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "Authorization: Bearer", "", Station::Push, 401, kNone,
       "WWW-Authenticate: Bearer"},
      {"POST /api/nowplaying", "", "A - T", Station::NoToken, 204, kPush, ""},
      {"POST /api/nowplaying", bearer, longest, Station::Push, 204, kPush, ""},
      {"POST /api/nowplaying", bearer, longest + "x", Station::Push, 413, kNone, ""},
      {"POST /api/nowplaying", bearer, "A - T", Station::File, 409, kNone, ""},
      {"POST /api/traffic", bearer, "", Station::File, 204, kClick, ""},
      {"POST /api/traffic", bearer, "", Station::ButtonOff, 409, kNone, ""},
      {"POST /api/traffic", "", "", Station::File, 401, kNone, "WWW-Authenticate: Bearer"},
      {"POST /api/traffic", "Origin: http://example.org\nHost: 127.0.0.1:8750", "",
       Station::NoToken, 403, kNone, ""},
      {"POST /api/traffic", "Origin: http://127.0.0.1:8750", "", Station::NoToken, 403, kNone, ""},
      {"POST /api/traffic", "Origin: http://127.0.0.1:8750\nHost: 127.0.0.1:8750", "",
       Station::NoToken, 204, kClick, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request + " " + c.headers);
    const HttpAnswer answer = Ask(c.request, c.headers, c.body, c.station);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_EQ(answer.action.kind, c.action);
    EXPECT_EQ(answer.action.line, c.action == kPush ? c.body : "");
    std::string headers;
    for (const auto& [name, value] : answer.headers) {
      headers += name + ": " + value + "\n";
    }
    const std::string extra = c.extra_header.empty() ? "" : c.extra_header + "\n";
    EXPECT_EQ(headers, c.status == 404 ? "" : extra + "Cache-Control: no-store\n");
  }
}

TEST(WebRouter, EachReadingWithItsType) {
  const std::string json = "application/json; charset=utf-8";
  const std::string events = R"({"events":[{"id":3,"time":"1970-01-01T00:00:00Z","kind":)"
                             R"("clock_set","severity":"info","text":"3"}]})";
  const struct {
    const char* request;
    int status;
    std::string type;
    std::string body_start;
  } cases[] = {
      {"GET /", 200, "text/html; charset=utf-8", "<html>"},
      {"GET /app.js", 200, "text/javascript; charset=utf-8", "js"},
      {"GET /style.css", 200, "text/css; charset=utf-8", "css"},
      {"GET /api/status", 200, json, "{\"version\":\"1.10\","},
      {"GET /metrics", 200, "text/plain; version=0.0.4; charset=utf-8", "# HELP rdsmorvane_link"},
      {"GET /api/events", 200, json, "{\"events\":[{\"id\":1,"},
      {"GET /api/events?x=1&after=2", 200, json, events},
      {"GET /api/events?after=9999999999999999999", 200, json, "{\"events\":[]}"},
      {"GET /api/events?after=99999999999999999999", 400, "text/plain; charset=utf-8",
       "after= takes"},
      {"GET /api/events?after=", 400, "text/plain; charset=utf-8", "after= takes"},
      {"GET /api/events?after=2x", 400, "text/plain; charset=utf-8", "after= takes"},
      {"GET /api/events?after=-1", 400, "text/plain; charset=utf-8", "after= takes"},
  };
  for (const auto& c : cases) {
    const HttpAnswer answer = Ask(c.request, "", "");
    EXPECT_EQ(answer.status, c.status) << c.request;
    EXPECT_EQ(answer.content_type, c.type) << c.request;
    EXPECT_EQ(answer.body.substr(0, c.body_start.size()), c.body_start) << c.request;
  }
}

// Lines pushed while the controller is busy are not queued up: it is woken once and finds the
// latest; every click counts.
TEST(WebMailbox, WakesOnceAndKeepsTheLatestLine) {
  WebMailbox mailbox;
  EXPECT_TRUE(mailbox.Post({kPush, "A - B"}));
  EXPECT_FALSE(mailbox.Post({kClick, ""}));
  EXPECT_FALSE(mailbox.Post({kPush, "C - D"}));
  EXPECT_FALSE(mailbox.Post({kClick, ""}));
  const WebMailbox::Pending taken = mailbox.Take();
  EXPECT_EQ(taken.line, "C - D");
  EXPECT_EQ(taken.clicks, 2);
  EXPECT_TRUE(mailbox.Post({kClick, ""}));
}

}  // namespace
}  // namespace morvane
