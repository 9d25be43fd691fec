#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/web/status_board.h"
#include "ui/web/web_mailbox.h"
#include "ui/web/web_router.h"
#include "ui/web/web_settings.h"

namespace morvane {

// A running web server; it stops when destroyed.
class WebServer {
 public:
  virtual ~WebServer() = default;
};

// What a web server serves from and where it listens. wake runs on the thread that started the
// server whenever the mailbox has something new.
struct WebServerSetup {
  StatusBoard& board;
  WebAccess access;
  WebMailbox& mailbox;
  std::function<void()> wake;
  WebListen listen;
};

// The web server lives in a module of its own, loaded only when WebListen is set: its HTTP and
// TLS libraries would otherwise cost every station megabytes it does not use. The module's one
// entry point: the server listening, or nullptr and the reason in error.
inline constexpr const char* kWebModuleName = "rdsmorvane-web.so";
inline constexpr const char* kStartWebServerSymbol = "MorvaneStartWebServer";
using StartWebServerFunction = WebServer* (*)(const WebServerSetup& setup, std::string& error);

}  // namespace morvane
