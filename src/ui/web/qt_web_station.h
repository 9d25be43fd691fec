#pragma once

#include <functional>
#include <memory>

#include "app/configuration.h"
#include "app/controller.h"
#include "app/qt_machine.h"
#include "ui/web/board_taps.h"
#include "ui/web/pushed_metadata.h"
#include "ui/web/status_board.h"
#include "ui/web/web_mailbox.h"
#include "ui/web/web_server.h"

namespace morvane {

// The web beside the running controller. The controller runs on the machine as before, with what
// it shows, its events and the commands it writes also put on the board, and with MetadataSource
// push its metadata file replaced by the pushed line. With no WebListen nothing listens and
// nothing else changes.
class WebStation {
 public:
  WebStation(Machine& machine, StatusView& shown);
  WebStation(const WebStation&) = delete;
  WebStation& operator=(const WebStation&) = delete;

  [[nodiscard]] Platform PlatformFor(Machine& machine);

  // Right after the configuration is read, before the port is opened. Loads the web server's
  // module and starts the server; throws StartupError when either cannot be done. after_each runs
  // after each web request that asked something of the controller, as after a tick.
  void Configured(Controller& controller, const Configuration& configuration,
                  std::function<void()> after_each);
  // After start-up and after each handler: the port is open, and what the link has done.
  void Publish(const Controller& controller);

 private:
  // On the controller's thread, between handlers: the pushed line and the clicks.
  void Serve(Controller& controller);

  StatusBoard board_;
  BoardView view_;
  PushedMetadataReader files_;
  EventTee events_;
  NotingPort port_;
  WebMailbox mailbox_;
  const Controller* controller_ = nullptr;
  std::function<void()> after_each_;
  std::unique_ptr<WebServer> server_;
};

}  // namespace morvane
