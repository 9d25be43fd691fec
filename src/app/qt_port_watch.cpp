#include "app/qt_port_watch.h"

#include "app/dispatch.h"
#include "text/steady_time.h"

namespace morvane {

namespace {

// How often the watchdog looks at a lost port; it opens it again only every kPortRetryIntervalMs,
// and this keeps the try within a quarter second of its time. A healthy port costs a glance.
constexpr int kPortWatchIntervalMs = 250;

}  // namespace

PortWatch::PortWatch(Controller& controller, QtEncoderPort& port, std::function<void()> after_each)
    : controller_(controller),
      port_(port),
      watchdog_(controller, PortName(controller.port_address), SteadyNowMs),
      after_each_(std::move(after_each)) {
  port_.SetFailureListener([this] { Run([this] { watchdog_.PortFailed(); }); });
  port_.SetReadyListener([this] { Run([this] { watchdog_.RetryNow(); }); });
  timer_.setInterval(kPortWatchIntervalMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (watchdog_.TickDue()) {
      Run([this] { watchdog_.Tick(); });
    }
  });
  timer_.start();
}

PortWatch::~PortWatch() {
  port_.SetFailureListener(nullptr);
  port_.SetReadyListener(nullptr);
}

template <typename Step>
void PortWatch::Run(Step step) {
  const bool was_lost = watchdog_.Lost();
  RunHandler(controller_, "port watchdog", step);
  if (was_lost && !watchdog_.Lost()) {
    // The encoder is in step again with the title last chosen; a title written while it was
    // being brought back goes on air now rather than at the next metadata check.
    DispatchTick(controller_, Timer::tmrTextCheck);
  }
  after_each_();
}

}  // namespace morvane
