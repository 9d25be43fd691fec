#include "app/qt_application.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/exchange_trace.h"
#include "app/posix_file_reader.h"
#include "app/qt_timers.h"
#include "app/startup.h"
#include "app/startup_error.h"
#include "app/system_clock.h"
#include "clock/encoder_clock.h"
#include "inhouse/inhouse_rotator.h"
#include "link/port_watchdog.h"
#include "link/qt_serial_port.h"
#include "link/thread_sleeper.h"
#include "radiotext/metadata_watcher.h"
#include "traffic/traffic_alert.h"
#include "ui/console_input.h"
#include "ui/headless_view.h"
#include "ui/qt_status_window.h"

namespace morvane {

namespace {

constexpr const char* kTitle = "RDS Morvane";

// SIGINT and SIGTERM only write a byte here; the event loop then ends the program between two
// handlers, so the port is closed cleanly and no exchange is cut in half.
int g_signal_pipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  (void)!write(g_signal_pipe[1], &byte, 1);
}

void QuitOnStopSignals(QCoreApplication& app) {
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_pipe) != 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
    char byte = 0;
    (void)!read(g_signal_pipe[0], &byte, 1);
    app.quit();
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

// Long enough after the window is shown for the first metadata check and countdown ticks.
constexpr int kScreenshotDelayMs = 3500;

// The window as the station sees it, saved as PNG; then the program ends as on a close.
void SaveScreenshotAndQuit(QApplication& app, QWidget& window, const std::string& path) {
  QTimer::singleShot(kScreenshotDelayMs, &window, [&app, &window, path] {
    if (!window.grab().save(QString::fromStdString(path), "PNG")) {
      std::cerr << "rdsmorvane: cannot save the screenshot to " << path << std::endl;
      app.exit(1);
      return;
    }
    app.quit();
  });
}

void TraceToStderr(const ExchangeRecord& record) {
  const QTime now = QTime::currentTime();
  std::cerr << FormatExchangeTrace(record, {now.hour(), now.minute(), now.second(), now.msec()})
            << std::endl;
}

// A handler that throws is a fault of ours; the station is better served by a controller that
// goes on with its next tick than by one that is gone.
template <typename Handler>
void RunHandler(const char* name, Handler handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    std::cerr << "rdsmorvane: " << name << " failed: " << error.what() << std::endl;
  }
}

void DispatchTick(Controller& controller, Timer timer) {
  switch (timer) {
    case Timer::tmrTextCheck:
      RunHandler("tmrTextCheck_Timer", [&] { tmrTextCheck_Timer(controller); });
      break;
    case Timer::tmrTAtimeout:
      RunHandler("tmrTAtimeout_Timer", [&] { tmrTAtimeout_Timer(controller); });
      break;
    case Timer::tmrClockCheck:
      RunHandler("tmrClockCheck_Timer", [&] { tmrClockCheck_Timer(controller); });
      break;
    case Timer::tmrInHouse:
      RunHandler("tmrInHouse_Timer", [&] { tmrInHouse_Timer(controller); });
      break;
  }
}

// What the window and the headless display share: the real port, clock, files and timers.
struct Machine {
  QtSerialPort port;
  ThreadSleeper sleeper;
  SystemClock clock;
  PosixFileReader files;
  QtTimers timers;
};

// How often the watchdog looks at a lost port; it opens it again only every kPortRetryIntervalMs.
constexpr int kPortWatchIntervalMs = 1000;

int64_t SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The port watchdog on the event loop: told at once when the device goes away between two
// handlers, and ticked every second so that it can open a lost port again. after_each lets the
// display show what changed.
class PortWatch {
 public:
  PortWatch(Controller& controller, QtSerialPort& port, std::function<void()> after_each)
      : port_(port),
        watchdog_(controller, PortDeviceName(controller.port_address), SteadyNowMs),
        after_each_(std::move(after_each)) {
    port_.SetFailureListener([this] { Run([this] { watchdog_.PortFailed(); }); });
    timer_.setInterval(kPortWatchIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Run([this] { watchdog_.Tick(); }); });
    timer_.start();
  }
  ~PortWatch() { port_.SetFailureListener(nullptr); }
  PortWatch(const PortWatch&) = delete;
  PortWatch& operator=(const PortWatch&) = delete;

 private:
  template <typename Step>
  void Run(Step step) {
    RunHandler("port watchdog", step);
    after_each_();
  }

  QtSerialPort& port_;
  PortWatchdog watchdog_;
  std::function<void()> after_each_;
  QTimer timer_;
};

// Form_Load, with its failure reported by report_failure. True when the controller may run.
template <typename ReportFailure>
bool StartUp(Controller& controller, bool trace, ReportFailure report_failure) {
  if (trace) {
    controller.link.SetTrace(TraceToStderr);
  }
  try {
    Form_Load(controller, std::filesystem::current_path().string());
    return true;
  } catch (const StartupError& error) {
    report_failure(std::string(error.what()));
  } catch (const std::exception& error) {
    report_failure(std::string("Start-up failed: ") + error.what());
  }
  Form_Unload(controller);
  return false;
}

int RunWindowed(int& argc, char** argv, const CommandLine& options) {
  QApplication app(argc, argv);
  QuitOnStopSignals(app);
  Machine machine;
  frmMain window;
  Controller controller(Platform{machine.port, machine.sleeper, machine.clock, machine.files,
                                 window, machine.timers});
  window.SetRdsCharactersInUse(
      [&controller] { return controller.text_encoding != TextEncoding::Rds; });
  if (!StartUp(controller, options.trace, [](const std::string& message) {
        QMessageBox::critical(nullptr, QString::fromLatin1(kTitle),
                              QString::fromLocal8Bit(message.c_str()));
      })) {
    return 1;
  }
  window.SetClickHandler(
      [&controller] { RunHandler("cmdTraffic_Click", [&] { cmdTraffic_Click(controller); }); });
  machine.timers.Start([&controller](Timer timer) { DispatchTick(controller, timer); });
  PortWatch port_watch(controller, machine.port, [] {});
  window.show();
  if (!options.screenshot.empty()) {
    SaveScreenshotAndQuit(app, window, options.screenshot);
  }
  const int status = app.exec();
  Form_Unload(controller);
  return status;
}

// The operator's "t" and Enter, from a terminal or a pipe. Anything else on stdin (a file,
// /dev/null under a service manager) is left alone: it would only ever say end of file.
void ListenForClicks(QCoreApplication& app, Controller& controller, HeadlessView& view) {
  struct stat info {};
  if (fstat(STDIN_FILENO, &info) != 0 || !(isatty(STDIN_FILENO) || S_ISFIFO(info.st_mode))) {
    return;
  }
  auto input = std::make_shared<ConsoleInput>();
  auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [=, &controller, &view] {
    char bytes[256];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count <= 0) {
      if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        notifier->setEnabled(false);  // end of input: the controller runs on without it
      }
      return;
    }
    for (const ConsoleCommand command :
         input->Feed(std::string_view(bytes, static_cast<std::size_t>(count)))) {
      if (command == ConsoleCommand::Unknown) {
        std::cerr << "rdsmorvane: type t and Enter to click the traffic button" << std::endl;
      } else if (!view.ButtonEnabled()) {
        std::cerr << "rdsmorvane: the traffic button is disabled (\"" << view.ButtonCaption()
                  << "\")" << std::endl;
      } else {
        RunHandler("cmdTraffic_Click", [&] { cmdTraffic_Click(controller); });
        view.Flush();
      }
    }
  });
}

int RunHeadless(int& argc, char** argv, const CommandLine& options) {
  QCoreApplication app(argc, argv);
  QuitOnStopSignals(app);
  // A reader of the status lines that goes away (a closed pipe) must not take the controller
  // with it: the lines are lost, the encoder is still served.
  std::signal(SIGPIPE, SIG_IGN);
  Machine machine;
  HeadlessView view(std::cout, machine.clock, options.verbose);
  Controller controller(
      Platform{machine.port, machine.sleeper, machine.clock, machine.files, view, machine.timers});
  if (!StartUp(controller, options.trace, [](const std::string& message) {
        std::cerr << "rdsmorvane: " << message << std::endl;
      })) {
    return 1;
  }
  view.Flush();
  ListenForClicks(app, controller, view);
  machine.timers.Start([&controller, &view](Timer timer) {
    DispatchTick(controller, timer);
    view.Flush();
  });
  PortWatch port_watch(controller, machine.port, [&view] { view.Flush(); });
  const int status = app.exec();
  Form_Unload(controller);
  return status;
}

}  // namespace

int RunController(int& argc, char** argv, const CommandLine& options) {
  if (options.headless) {
    return RunHeadless(argc, argv, options);
  }
  if (!HasDisplay(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                  std::getenv("QT_QPA_PLATFORM"))) {
    std::cerr << "rdsmorvane: no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are "
                 "unset), running headless"
              << std::endl;
    return RunHeadless(argc, argv, options);
  }
  return RunWindowed(argc, argv, options);
}

}  // namespace morvane
