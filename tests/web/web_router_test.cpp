#include "web/web_router.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

constexpr auto kPush = WebActionKind::PushLine;
constexpr auto kClick = WebActionKind::TrafficClick;
constexpr auto kNothing = WebActionKind::None;

struct RouteCase {
  const char* name;
  std::string method;
  std::string path;
  std::string query;
  HttpHeaders headers;
  std::string body;
  std::string token;
  MetadataSource source;
  bool button_enabled;
  int status;
  WebActionKind action;
};

// A change needs the right token when one is set; a refusal asks nothing of the controller.
TEST(WebRouter, AnswersAndActionsByRouteTokenSizeAndState) {
  const HttpHeaders bearer = {{"Authorization", "Bearer secret"}};
  const std::string longest(1024, 'x');
  const RouteCase cases[] = {
      {"page", "GET", "/", "", {}, "", "secret", MetadataSource::Push, true, 200, kNothing},
      {"status head",
       "HEAD",
       "/api/status",
       "",
       {},
       "",
       "",
       MetadataSource::File,
       true,
       200,
       kNothing},
      {"metrics",
       "GET",
       "/metrics",
       "",
       {},
       "",
       "secret",
       MetadataSource::File,
       true,
       200,
       kNothing},
      {"events after",
       "GET",
       "/api/events",
       "after=3",
       {},
       "",
       "",
       MetadataSource::File,
       true,
       200,
       kNothing},
      {"events after a word",
       "GET",
       "/api/events",
       "after=x",
       {},
       "",
       "",
       MetadataSource::File,
       true,
       400,
       kNothing},
      {"events after too big",
       "GET",
       "/api/events",
       "after=99999999999999999999",
       {},
       "",
       "",
       MetadataSource::File,
       true,
       400,
       kNothing},
      {"unknown path", "GET", "/admin", "", {}, "", "", MetadataSource::File, true, 404, kNothing},
      {"post to a reading", "POST", "/api/status", "", bearer, "", "secret", MetadataSource::Push,
       true, 405, kNothing},
      {"get a change", "GET", "/api/nowplaying", "", bearer, "", "secret", MetadataSource::Push,
       true, 405, kNothing},
      {"push with token", "POST", "/api/nowplaying", "", bearer, "A - T", "secret",
       MetadataSource::Push, true, 204, kPush},
      {"scheme in any case, blanks",
       "POST",
       "/api/nowplaying",
       "",
       {{"authorization", "  bEaReR   secret "}},
       "A - T",
       "secret",
       MetadataSource::Push,
       true,
       204,
       kPush},
      {"push without token",
       "POST",
       "/api/nowplaying",
       "",
       {},
       "A - T",
       "secret",
       MetadataSource::Push,
       true,
       401,
       kNothing},
      {"token cut short",
       "POST",
       "/api/nowplaying",
       "",
       {{"Authorization", "Bearer secre"}},
       "A - T",
       "secret",
       MetadataSource::Push,
       true,
       401,
       kNothing},
      {"token too long",
       "POST",
       "/api/nowplaying",
       "",
       {{"Authorization", "Bearer secrets"}},
       "A - T",
       "secret",
       MetadataSource::Push,
       true,
       401,
       kNothing},
      {"other scheme",
       "POST",
       "/api/nowplaying",
       "",
       {{"Authorization", "Basic secret"}},
       "A - T",
       "secret",
       MetadataSource::Push,
       true,
       401,
       kNothing},
      {"scheme alone",
       "POST",
       "/api/nowplaying",
       "",
       {{"Authorization", "Bearer"}},
       "",
       "secret",
       MetadataSource::Push,
       true,
       401,
       kNothing},
      {"no token set",
       "POST",
       "/api/nowplaying",
       "",
       {},
       "A - T",
       "",
       MetadataSource::Push,
       true,
       204,
       kPush},
      {"longest line", "POST", "/api/nowplaying", "", bearer, longest, "secret",
       MetadataSource::Push, true, 204, kPush},
      {"line too long", "POST", "/api/nowplaying", "", bearer, longest + "x", "secret",
       MetadataSource::Push, true, 413, kNothing},
      {"push while the file is read", "POST", "/api/nowplaying", "", bearer, "A - T", "secret",
       MetadataSource::File, true, 409, kNothing},
      {"traffic click", "POST", "/api/traffic", "", bearer, "", "secret", MetadataSource::File,
       true, 204, kClick},
      {"traffic button disabled", "POST", "/api/traffic", "", bearer, "", "secret",
       MetadataSource::File, false, 409, kNothing},
      {"traffic without token",
       "POST",
       "/api/traffic",
       "",
       {},
       "",
       "secret",
       MetadataSource::File,
       true,
       401,
       kNothing},
      {"page of another site",
       "POST",
       "/api/traffic",
       "",
       {{"Origin", "http://example.org"}, {"Host", "127.0.0.1:8750"}},
       "",
       "",
       MetadataSource::File,
       true,
       403,
       kNothing},
      {"own page",
       "POST",
       "/api/traffic",
       "",
       {{"Origin", "http://127.0.0.1:8750"}, {"Host", "127.0.0.1:8750"}},
       "",
       "",
       MetadataSource::File,
       true,
       204,
       kClick},
  };
  for (const RouteCase& c : cases) {
    SCOPED_TRACE(c.name);
    StatusBoard board([] { return 0.0; });
    board.SetButtonEnabled(c.button_enabled);
    const HttpRequest request{c.method, c.path, c.query, c.headers, c.body};
    const HttpAnswer answer =
        Route(request, WebAccess{c.token, c.source}, board, PageFiles{"<html>", "js", "css"});
    EXPECT_EQ(answer.status, c.status);
    EXPECT_EQ(answer.action.kind, c.action);
    if (c.action == kPush) {
      EXPECT_EQ(answer.action.line, c.body);
    }
    if (c.status == 401) {
      EXPECT_EQ(answer.headers.front(),
                (std::pair<std::string, std::string>{"WWW-Authenticate", "Bearer"}));
    }
  }
}

}  // namespace
}  // namespace morvane
