#include "ui/web/web_router.h"

#include <cstdint>
#include <optional>

#include "text/text_helpers.h"
#include "ui/web/status_documents.h"

namespace morvane {

namespace {

constexpr std::string_view kJson = "application/json; charset=utf-8";
constexpr std::string_view kPlainText = "text/plain; charset=utf-8";
constexpr std::string_view kMetricsType = "text/plain; version=0.0.4; charset=utf-8";
constexpr std::string_view kBearer = "bearer";
constexpr std::size_t kMaxIdDigits = 19;  // every id of 19 digits fits 64 bits

[[nodiscard]] std::optional<std::string_view> Header(const HttpRequest& request,
                                                     std::string_view name) {
  for (const auto& [key, value] : request.headers) {
    if (EqualsIgnoringCase(key, name)) {
      return std::string_view(value);
    }
  }
  return std::nullopt;
}

[[nodiscard]] std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

[[nodiscard]] HttpAnswer Answer(int status, std::string_view type, std::string body) {
  HttpAnswer answer;
  answer.status = status;
  answer.content_type = std::string(type);
  answer.body = std::move(body);
  return answer;
}

[[nodiscard]] HttpAnswer Refusal(int status, std::string_view why) {
  return Answer(status, kPlainText, std::string(why) + "\n");
}

// "after=N" of the events query: std::nullopt when it is given but is no whole number.
[[nodiscard]] std::optional<uint64_t> AfterId(std::string_view query) {
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view pair = query.substr(0, end);
    query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    if (pair.substr(0, 6) != "after=") {
      continue;
    }
    const std::string_view digits = pair.substr(6);
    if (digits.empty() || digits.size() > kMaxIdDigits) {
      return std::nullopt;
    }
    uint64_t id = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') {
        return std::nullopt;
      }
      id = id * 10 + static_cast<uint64_t>(c - '0');
    }
    return id;
  }
  return 0;
}

// A page of another site may send a form to this address from the station's own browser; only
// the status page itself, or a client that is no browser (no Origin), may change anything.
[[nodiscard]] bool FromOwnPageOrNoBrowser(const HttpRequest& request) {
  const std::optional<std::string_view> origin = Header(request, "Origin");
  if (!origin) {
    return true;
  }
  const std::optional<std::string_view> host = Header(request, "Host");
  return host && *origin == "http://" + std::string(*host);
}

[[nodiscard]] bool Authorised(const HttpRequest& request, const WebAccess& access) {
  if (access.token.empty()) {
    return true;
  }
  const std::string_view value = Trimmed(Header(request, "Authorization").value_or(""));
  if (value.size() <= kBearer.size() ||
      !EqualsIgnoringCase(value.substr(0, kBearer.size()), kBearer) ||
      (value[kBearer.size()] != ' ' && value[kBearer.size()] != '\t')) {
    return false;
  }
  return TokenMatches(Trimmed(value.substr(kBearer.size())), access.token);
}

enum class Resource { Page, Script, Style, Status, Events, Metrics, NowPlaying, Traffic };

struct RouteEntry {
  std::string_view path;
  Resource route;
  bool change;  // POST, else GET (and HEAD)
};

constexpr RouteEntry kRoutes[] = {
    {"/", Resource::Page, false},
    {"/app.js", Resource::Script, false},
    {"/style.css", Resource::Style, false},
    {"/api/status", Resource::Status, false},
    {"/api/events", Resource::Events, false},
    {"/metrics", Resource::Metrics, false},
    {"/api/nowplaying", Resource::NowPlaying, true},
    {"/api/traffic", Resource::Traffic, true},
};

[[nodiscard]] HttpAnswer Read(Resource route, const HttpRequest& request, const StatusBoard& board,
                              const PageFiles& page) {
  switch (route) {
    case Resource::Page:
      return Answer(200, "text/html; charset=utf-8", page.html);
    case Resource::Script:
      return Answer(200, "text/javascript; charset=utf-8", page.script);
    case Resource::Style:
      return Answer(200, "text/css; charset=utf-8", page.style);
    case Resource::Status:
      return Answer(200, kJson, StatusJson(board.Snapshot()));
    case Resource::Events: {
      const std::optional<uint64_t> after = AfterId(request.query);
      if (!after) {
        return Refusal(400, "after= takes the id of the last event seen, a whole number");
      }
      return Answer(200, kJson,
                    EventsJson(board.EventsAfter(*after), board.Snapshot().rds_characters));
    }
    case Resource::Metrics:
      return Answer(200, kMetricsType, MetricsText(board.Snapshot()));
    default:
      return Refusal(500, "no such reading");
  }
}

[[nodiscard]] HttpAnswer Change(Resource route, const HttpRequest& request, const WebAccess& access,
                                const StatusBoard& board) {
  if (!FromOwnPageOrNoBrowser(request)) {
    return Refusal(403, "changes come from the status page of this server only");
  }
  if (request.body.size() > kMaxPushedLineBytes) {
    return Refusal(413, "the line may hold at most 1024 bytes");
  }
  if (!Authorised(request, access)) {
    HttpAnswer refused = Refusal(401, "a change needs the header Authorization: Bearer TOKEN");
    refused.headers.emplace_back("WWW-Authenticate", "Bearer");
    return refused;
  }
  HttpAnswer done = Answer(204, "", "");
  if (route == Resource::NowPlaying) {
    if (access.metadata_source != MetadataSource::Push) {
      return Refusal(409, "MetadataSource=file: the title is read from the metadata file");
    }
    done.action = {WebActionKind::PushLine, std::string(request.body)};
  } else {
    if (!board.Snapshot().button.enabled) {
      return Refusal(409, "the traffic button is disabled");
    }
    done.action = {WebActionKind::TrafficClick, {}};
  }
  return done;
}

}  // namespace

bool TokenMatches(std::string_view given, std::string_view expected) {
  // Every character of the expected token is looked at, whatever the given one holds.
  unsigned difference = given.size() == expected.size() ? 0 : 1;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const char other = i < given.size() ? given[i] : '\0';
    difference |= static_cast<unsigned char>(other ^ expected[i]);
  }
  return difference == 0 && !expected.empty();
}

HttpAnswer Route(const HttpRequest& request, const WebAccess& access, const StatusBoard& board,
                 const PageFiles& page) {
  for (const RouteEntry& entry : kRoutes) {
    if (entry.path != request.path) {
      continue;
    }
    const bool read = request.method == "GET" || request.method == "HEAD";
    HttpAnswer answer;
    if (entry.change && request.method == "POST") {
      answer = Change(entry.route, request, access, board);
    } else if (!entry.change && read) {
      answer = Read(entry.route, request, board, page);
    } else {
      answer = Refusal(405, "not with this method");
      answer.headers.emplace_back("Allow", entry.change ? "POST" : "GET, HEAD");
    }
    answer.headers.emplace_back("Cache-Control", "no-store");
    return answer;
  }
  return Refusal(404, "no such page");
}

}  // namespace morvane
