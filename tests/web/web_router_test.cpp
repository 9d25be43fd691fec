#include "web/web_router.h"

#include "web/web_mailbox.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

constexpr auto kPush = WebActionKind::PushLine;
constexpr auto kClick = WebActionKind::TrafficClick;
constexpr auto kNone = WebActionKind::None;

// The station the request meets: token "secret" and pushed titles unless said otherwise.
enum class Station { Push, File, NoToken, ButtonOff };

struct RouteCase {
  std::string request;  // method, path and query
  HttpHeaders headers;
  std::string body;
  Station station;
  int status;
  WebActionKind action;
};

// A change needs the right token when one is set; a refusal asks nothing of the controller.
TEST(WebRouter, AnswersAndActionsByRouteTokenSizeAndState) {
  const HttpHeaders bearer = {{"Authorization", "Bearer secret"}};
  const std::string longest(kMaxPushedLineBytes, 'x');
  const RouteCase cases[] = {
      {"GET /", {}, "", Station::Push, 200, kNone},
      {"HEAD /api/status", {}, "", Station::Push, 200, kNone},
      {"GET /metrics", {}, "", Station::Push, 200, kNone},
      {"GET /api/events?after=3", {}, "", Station::Push, 200, kNone},
      {"GET /api/events?after=x", {}, "", Station::Push, 400, kNone},
      {"GET /api/events?after=99999999999999999999", {}, "", Station::Push, 400, kNone},
      {"GET /admin", {}, "", Station::Push, 404, kNone},
      {"POST /api/status", bearer, "", Station::Push, 405, kNone},
      {"GET /api/nowplaying", bearer, "", Station::Push, 405, kNone},
      {"POST /api/nowplaying", bearer, "A - T", Station::Push, 204, kPush},
      {"POST /api/nowplaying",
       {{"authorization", " bEaReR   secret "}},
       "A",
       Station::Push,
       204,
       kPush},
      {"POST /api/nowplaying", {}, "A - T", Station::Push, 401, kNone},
      {"POST /api/nowplaying", {{"Authorization", "Bearer secre"}}, "A", Station::Push, 401, kNone},
      {"POST /api/nowplaying",
       {{"Authorization", "Bearer secrets"}},
       "A",
       Station::Push,
       401,
       kNone},
      {"POST /api/nowplaying", {{"Authorization", "Basic secret"}}, "A", Station::Push, 401, kNone},
      {"POST /api/nowplaying", {{"Authorization", "Bearer"}}, "", Station::Push, 401, kNone},
      {"POST /api/nowplaying", {}, "A - T", Station::NoToken, 204, kPush},
      {"POST /api/nowplaying", bearer, longest, Station::Push, 204, kPush},
      {"POST /api/nowplaying", bearer, longest + "x", Station::Push, 413, kNone},
      {"POST /api/nowplaying", bearer, "A - T", Station::File, 409, kNone},
      {"POST /api/traffic", bearer, "", Station::File, 204, kClick},
      {"POST /api/traffic", bearer, "", Station::ButtonOff, 409, kNone},
      {"POST /api/traffic", {}, "", Station::File, 401, kNone},
      {"POST /api/traffic",
       {{"Origin", "http://example.org"}, {"Host", "127.0.0.1:8750"}},
       "",
       Station::NoToken,
       403,
       kNone},
      {"POST /api/traffic",
       {{"Origin", "http://127.0.0.1:8750"}, {"Host", "127.0.0.1:8750"}},
       "",
       Station::NoToken,
       204,
       kClick},
  };
  for (const RouteCase& c : cases) {
    SCOPED_TRACE(c.request + " " + (c.headers.empty() ? "" : c.headers.front().second));
    const std::string_view request = c.request;
    const std::size_t blank = request.find(' ');
    const std::size_t question = request.find('?');
    const std::string_view target = request.substr(blank + 1, question - blank - 1);
    const std::string_view query =
        question == std::string_view::npos ? "" : request.substr(question + 1);
    StatusBoard board([] { return 0.0; });
    board.SetButtonEnabled(c.station != Station::ButtonOff);
    const WebAccess access{
        c.station == Station::NoToken ? "" : "secret",
        c.station == Station::File ? MetadataSource::File : MetadataSource::Push};
    const HttpAnswer answer = Route({request.substr(0, blank), target, query, c.headers, c.body},
                                    access, board, PageFiles{"<html>", "js", "css"});
    EXPECT_EQ(answer.status, c.status);
    EXPECT_EQ(answer.action.kind, c.action);
    EXPECT_EQ(answer.action.line, c.action == kPush ? c.body : "");
    if (c.status == 401) {
      EXPECT_EQ(answer.headers.front(), (HttpHeaders::value_type{"WWW-Authenticate", "Bearer"}));
    }
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
