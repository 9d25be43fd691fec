#include "ui/web/qt_web_server.h"

// The entry point the program looks up after loading this module.
extern "C" morvane::WebServer* MorvaneStartWebServer(const morvane::WebServerSetup& setup,
                                                     std::string& error) {
  auto server =
      std::make_unique<morvane::QtWebServer>(setup.board, setup.access, setup.mailbox, setup.wake);
  if (std::optional<std::string> problem = server->Listen(setup.listen)) {
    error = *problem;
    return nullptr;
  }
  return server.release();
}
