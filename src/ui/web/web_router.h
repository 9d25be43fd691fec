#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/web/status_board.h"
#include "ui/web/web_settings.h"

namespace morvane {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string_view method;
  std::string_view path;
  std::string_view query;  // what follows the "?", without it
  HttpHeaders headers;
  std::string_view body;
};

// What a request asks of the controller; carried out on the controller's thread, between
// handlers, like a tick or a click of the window.
enum class WebActionKind { None, PushLine, TrafficClick };
struct WebAction {
  WebActionKind kind = WebActionKind::None;
  std::string line;  // PushLine: the body as it came, converted like a file's content
};

struct HttpAnswer {
  int status = 200;
  std::string content_type;
  std::string body;
  HttpHeaders headers;  // besides the content type
  WebAction action;
};

// What the configuration allows from the network.
struct WebAccess {
  std::string token;  // empty: changes need no token (loopback only)
  MetadataSource metadata_source = MetadataSource::File;
};

// The status page, its script and its style.
struct PageFiles {
  std::string html;
  std::string script;
  std::string style;
};

inline constexpr std::size_t kMaxPushedLineBytes = 1024;

// The whole of the web's rules: which answer a request gets and what it asks of the controller.
// Reading is open to all; a change needs the token when one is set, and never comes from a page
// of another site.
[[nodiscard]] HttpAnswer Route(const HttpRequest& request, const WebAccess& access,
                               const StatusBoard& board, const PageFiles& page);

// Compares in a time that does not depend on where the texts differ, so the token cannot be
// guessed one character at a time from the answer times.
[[nodiscard]] bool TokenMatches(std::string_view given, std::string_view expected);

}  // namespace morvane
