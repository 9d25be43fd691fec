#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ui/web/status_board.h"
#include "ui/web/web_mailbox.h"
#include "ui/web/web_router.h"
#include "ui/web/web_server.h"
#include "ui/web/web_settings.h"

namespace morvane {

// The web server: the status page, the JSON and metrics readings, and the pushed titles and
// traffic clicks. It serves on threads of its own and only reads the board, so it answers while
// the controller's thread sleeps inside an exchange. What a request asks of the controller goes
// into the mailbox, and wake runs on the thread that made the server (the controller's), between
// two handlers, whenever the mailbox has something new.
class QtWebServer : public WebServer {
 public:
  QtWebServer(StatusBoard& board, WebAccess access, WebMailbox& mailbox,
              std::function<void()> wake);
  ~QtWebServer() override;
  QtWebServer(const QtWebServer&) = delete;
  QtWebServer& operator=(const QtWebServer&) = delete;

  // Binds and starts serving; the reason when the address cannot be had.
  [[nodiscard]] std::optional<std::string> Listen(const WebListen& where);

 private:
  class BoundedServer;

  void Wake();

  StatusBoard& board_;
  WebAccess access_;
  WebMailbox& mailbox_;
  std::function<void()> wake_;
  PageFiles page_;
  QObject controller_thread_;
  std::unique_ptr<BoundedServer> server_;
  std::thread listener_;
  std::atomic<bool> listener_done_{false};
};

}  // namespace morvane
