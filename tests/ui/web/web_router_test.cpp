#include "ui/web/web_router.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ui/web/web_mailbox.h"

namespace morvane {
namespace {

constexpr auto kPush = WebActionKind::PushLine;
constexpr auto kClick = WebActionKind::TrafficClick;
constexpr auto kNone = WebActionKind::None;

// The station the request meets: token "secret" and pushed titles unless said otherwise.
enum class Station { Push, File, NoToken, ButtonOff };

// "METHOD /path?query", before a board holding twelve events.
HttpAnswer Ask(const std::string& request, HttpHeaders headers = {}, const std::string& body = "",
               Station station = Station::Push) {
  const std::string_view text = request;
  const std::size_t blank = text.find(' '), question = text.find('?');
  StatusBoard board([] { return 0.0; });
  board.SetButtonEnabled(station != Station::ButtonOff);
  for (int i = 1; i <= 12; ++i) {
    board.Report({EventKind::ClockSet, Severity::Info, std::to_string(i)});
  }
  const WebAccess access{station == Station::NoToken ? "" : "secret",
                         station == Station::File ? MetadataSource::File : MetadataSource::Push};
  return Route({text.substr(0, blank), text.substr(blank + 1, question - blank - 1),
                question == std::string_view::npos ? "" : text.substr(question + 1),
                std::move(headers), body},
               access, board, PageFiles{"<html>", "js", "css"});
}

// A change needs the right token when one is set, never comes from another site's page; a refusal
// asks nothing of the controller. No cache keeps an answer (last column: other headers).
TEST(WebRouter, AnswersAndActionsByRouteTokenSizeAndState) {
  const HttpHeaders bearer = {{"Authorization", "Bearer secret"}};
  const auto auth = [](const char* value) { return HttpHeaders{{"Authorization", value}}; };
  const std::string longest(kMaxPushedLineBytes, 'x'), np = "POST /api/nowplaying";
  const std::string get = "Allow: GET, HEAD\n", post = "Allow: POST\n";
  const std::string ask_token = "WWW-Authenticate: Bearer\n";
  const HttpHeaders own = {{"Origin", "http://127.0.0.1:8750"}, {"Host", "127.0.0.1:8750"}};
  const HttpHeaders foreign = {{"Origin", "http://example.org"}, own[1]};
  const HttpHeaders loose = {{"X-Other", "1"}, {"authorization", " bEaReR \tsecret "}};
  const std::tuple<std::string, HttpHeaders, std::string, Station, int, WebActionKind, std::string>
      cases[] = {
          {"GET /", {}, "", Station::Push, 200, kNone, ""},
          {"HEAD /api/status", {}, "", Station::Push, 200, kNone, ""},
          {"GET /admin", {}, "", Station::Push, 404, kNone, ""},
          {"POST /api/status", bearer, "", Station::Push, 405, kNone, get},
          {"GET /api/nowplaying", bearer, "", Station::Push, 405, kNone, post},
          {np, loose, "A", Station::Push, 204, kPush, ""},
          {np, {}, "A - T", Station::Push, 401, kNone, ask_token},
          {np, auth("Bearer secre"), "A", Station::Push, 401, kNone, ask_token},
          {np, auth("Bearer secrets"), "A", Station::Push, 401, kNone, ask_token},
          {np, auth("Bearersecret"), "A", Station::Push, 401, kNone, ask_token},
          {np, auth("Bearer"), "", Station::Push, 401, kNone, ask_token},
          {np, {}, "A - T", Station::NoToken, 204, kPush, ""},
          {np, bearer, longest, Station::Push, 204, kPush, ""},
          {np, bearer, longest + "x", Station::Push, 413, kNone, ""},
          {np, bearer, "A - T", Station::File, 409, kNone, ""},
          {"POST /api/traffic", bearer, "", Station::File, 204, kClick, ""},
          {"POST /api/traffic", bearer, "", Station::ButtonOff, 409, kNone, ""},
          {"POST /api/traffic", {}, "", Station::File, 401, kNone, ask_token},
          {"POST /api/traffic", foreign, "", Station::NoToken, 403, kNone, ""},
          {"POST /api/traffic", {own[0]}, "", Station::NoToken, 403, kNone, ""},
          {"POST /api/traffic", own, "", Station::NoToken, 204, kClick, ""},
      };
  for (const auto& [request, headers, body, station, status, action, extra_header] : cases) {
    SCOPED_TRACE(request + " " + (headers.empty() ? "" : headers[0].second));
    const HttpAnswer answer = Ask(request, headers, body, station);
    EXPECT_EQ(answer.status, status);
    EXPECT_EQ(answer.action.kind, action);
    EXPECT_EQ(answer.action.line, action == kPush ? body : "");
    std::string sent_headers;
    for (const auto& [name, value] : answer.headers) {
      sent_headers += name + ": " + value + "\n";
    }
    EXPECT_EQ(sent_headers, status == 404 ? "" : extra_header + "Cache-Control: no-store\n");
  }
}

TEST(WebRouter, EachReadingWithItsType) {
  const std::string json = "application/json; charset=utf-8", text = "text/plain; charset=utf-8";
  const std::string events = R"({"events":[{"id":12,"time":"1970-01-01T00:00:00Z","kind":)"
                             R"("clock_set","severity":"info","text":"12"}]})";
  const std::tuple<const char*, int, std::string, std::string> cases[] = {
      {"GET /", 200, "text/html; charset=utf-8", "<html>"},
      {"GET /app.js", 200, "text/javascript; charset=utf-8", "js"},
      {"GET /style.css", 200, "text/css; charset=utf-8", "css"},
      {"GET /api/status", 200, json, "{\"version\":\"1.10\","},
      {"GET /metrics", 200, "text/plain; version=0.0.4; charset=utf-8", "# HELP rdsmorvane_link"},
      {"GET /api/events", 200, json, "{\"events\":[{\"id\":1,"},
      {"GET /api/events?x=1&after=11", 200, json, events},
      {"GET /api/events?after=9999999999999999990", 200, json, "{\"events\":[]}"},  // 19 digits
      {"GET /api/events?after=99999999999999999999", 400, text, "after= takes"},
      {"GET /api/events?after=", 400, text, "after= takes"},
      {"GET /api/events?after=2x", 400, text, "after= takes"},
      {"GET /api/events?after=-1", 400, text, "after= takes"},
  };
  for (const auto& [request, status, type, body_start] : cases) {
    const HttpAnswer answer = Ask(request);
    EXPECT_EQ(answer.status, status) << request;
    EXPECT_EQ(answer.content_type, type) << request;
    EXPECT_EQ(answer.body.substr(0, body_start.size()), body_start) << request;
  }
}

// Lines pushed while the controller is busy are not queued: woken once, it finds the latest.
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
