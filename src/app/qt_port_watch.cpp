#include "app/qt_port_watch.h"

#include "app/dispatch.h"
#include "text/steady_time.h"

namespace morvane {

namespace {

// How often the watchdog looks at a lost port; it opens it again only every kPortRetryIntervalMs.
constexpr int kPortWatchIntervalMs = 1000;

}  // namespace

PortWatch::PortWatch(Controller& controller, QtSerialPort& port, std::function<void()> after_each)
    : controller_(controller),
      port_(port),
      watchdog_(controller, PortDeviceName(controller.port_address), SteadyNowMs),
      after_each_(std::move(after_each)) {
  port_.SetFailureListener([this] { Run([this] { watchdog_.PortFailed(); }); });
  timer_.setInterval(kPortWatchIntervalMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Run([this] { watchdog_.Tick(); }); });
  timer_.start();
}

PortWatch::~PortWatch() {
  port_.SetFailureListener(nullptr);
}

template <typename Step>
void PortWatch::Run(Step step) {
  RunHandler(controller_, "port watchdog", step);
  after_each_();
}

}  // namespace morvane
