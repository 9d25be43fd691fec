#include "web/qt_web_station.h"

#include <chrono>

#include "app/dispatch.h"
#include "app/startup_error.h"
#include "link/line_settings.h"
#include "link/qt_serial_port.h"

namespace morvane {

namespace {

double WallClockSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

WebStation::WebStation(Machine& machine, StatusView& shown)
    : board_(WallClockSeconds),
      view_(shown, board_),
      files_(machine.files),
      events_(machine.events, board_),
      port_(machine.port, board_, [this] {
        if (controller_ != nullptr) {
          Publish(*controller_);
        }
      }) {}

Platform WebStation::PlatformFor(Machine& machine) {
  return Platform{port_, machine.sleeper, machine.clock, files_, view_, machine.timers, events_};
}

void WebStation::Configured(Controller& controller, const Configuration& configuration,
                            std::function<void()> after_each) {
  controller_ = &controller;
  after_each_ = std::move(after_each);
  board_.SetRdsCharacters(configuration.text_encoding != TextEncoding::Rds);
  board_.SetLink(PortDeviceName(ParsePortAddress(configuration.COMport)), false);
  const WebSettings& web = configuration.web;
  if (web.metadata_source == MetadataSource::Push) {
    files_.TakeOver(controller.state.MetadataFile);
  }
  if (!web.listen) {
    return;
  }
  server_ = std::make_unique<QtWebServer>(board_, WebAccess{web.token, web.metadata_source},
                                          mailbox_, [this, &controller] { Serve(controller); });
  if (std::optional<std::string> error = server_->Listen(*web.listen)) {
    server_.reset();
    throw StartupError(*error);
  }
}

void WebStation::Publish(const Controller& controller) {
  const LinkCounters& counters = controller.link.counters();
  board_.SetLinkCounters(counters.exchanges, counters.empty_answers);
}

void WebStation::Serve(Controller& controller) {
  WebMailbox::Pending pending = mailbox_.Take();
  if (pending.line) {
    // At once, as the next tick would: a pushed title does not wait for the second to end.
    files_.Push(std::move(*pending.line));
    DispatchTick(controller, Timer::tmrTextCheck);
  }
  for (int click = 0; click < pending.clicks; ++click) {
    // The button may have been disabled since the request was answered; a disabled button
    // delivers no click.
    if (board_.Snapshot().button.enabled) {
      DispatchClick(controller);
    }
  }
  Publish(controller);
  if (after_each_) {
    after_each_();
  }
}

}  // namespace morvane
