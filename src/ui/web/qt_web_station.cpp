#include "ui/web/qt_web_station.h"

#include <dlfcn.h>

#include <chrono>
#include <filesystem>

#include "app/dispatch.h"
#include "app/startup_error.h"
#include "link/line_settings.h"
#include "link/qt_serial_port.h"

namespace morvane {

namespace {

double WallClockSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Beside the program in a build directory; installed, in lib/rdsmorvane beside its bin.
std::string WebModulePath() {
  std::error_code ignored;
  const std::filesystem::path program_dir =
      std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
  const std::filesystem::path beside = program_dir / kWebModuleName;
  if (std::filesystem::exists(beside, ignored)) {
    return beside.string();
  }
  return (program_dir.parent_path() / "lib" / "rdsmorvane" / kWebModuleName).string();
}

// Loaded once and kept for the life of the process.
StartWebServerFunction LoadWebModule() {
  const std::string path = WebModulePath();
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* start = module != nullptr ? dlsym(module, kStartWebServerSymbol) : nullptr;
  if (start == nullptr) {
    throw StartupError("WebListen: the web server cannot be loaded from " + path + ": " +
                       dlerror());
  }
  return reinterpret_cast<StartWebServerFunction>(start);
}

}  // namespace

WebStation::WebStation(Machine& machine, StatusView& shown)
    : board_(WallClockSeconds),
      view_(shown, board_),
      files_(machine.files),
      events_(machine.status, board_),
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
  const StartWebServerFunction start = LoadWebModule();
  std::string error;
  server_.reset(start({board_, WebAccess{web.token, web.metadata_source}, mailbox_,
                       [this, &controller] { Serve(controller); }, *web.listen},
                      error));
  if (!server_) {
    throw StartupError(error);
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
