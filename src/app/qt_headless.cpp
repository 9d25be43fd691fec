#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <memory>

#include "app/dispatch.h"
#include "app/qt_machine.h"
#include "app/qt_port_watch.h"
#include "app/qt_signals.h"
#include "ui/console_input.h"
#include "ui/headless_view.h"
#include "ui/web/qt_web_station.h"

namespace morvane {

namespace {

// The operator's "t" and Enter, from a terminal or a pipe. Anything else on stdin (a file,
// /dev/null under a service manager) is left alone: it would only ever say end of file.
void ListenForClicks(QCoreApplication& app, Machine& machine, Controller& controller,
                     HeadlessView& view, WebStation& web) {
  struct stat info {};
  if (fstat(STDIN_FILENO, &info) != 0 || !(isatty(STDIN_FILENO) || S_ISFIFO(info.st_mode))) {
    return;
  }
  auto input = std::make_shared<ConsoleInput>();
  auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
  QObject::connect(
      notifier, &QSocketNotifier::activated, &app, [=, &machine, &controller, &view, &web] {
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
            machine.Log(Severity::Notice, "type t and Enter to click the traffic button");
          } else if (!view.ButtonEnabled()) {
            machine.Log(Severity::Notice,
                        "the traffic button is disabled (\"" + view.ButtonCaption() + "\")");
          } else {
            DispatchClick(controller);
            web.Publish(controller);
            view.Flush();
          }
        }
      });
}

}  // namespace

int RunHeadless(int& argc, char** argv, const CommandLine& options) {
  QCoreApplication app(argc, argv);
  QuitOnStopSignals(app);
  // A reader of the status lines that goes away (a closed pipe) must not take the controller
  // with it: the lines are lost, the encoder is still served.
  std::signal(SIGPIPE, SIG_IGN);
  Machine machine;
  HeadlessView view(std::cout, machine.clock, options.verbose);
  WebStation web(machine, view);
  Controller controller(web.PlatformFor(machine));
  const auto after_each = [&controller, &view, &web] {
    web.Publish(controller);
    view.Flush();
  };
  if (!StartUp(
          controller, options,
          [&machine](const std::string& message) { machine.Log(Severity::Error, message); },
          [&](const Configuration& configuration) {
            web.Configured(controller, configuration, [&view] { view.Flush(); });
          })) {
    return 1;
  }
  after_each();
  ListenForClicks(app, machine, controller, view, web);
  machine.timers.Start([&controller, &after_each](Timer timer) {
    DispatchTick(controller, timer);
    after_each();
  });
  PortWatch port_watch(controller, machine.port, after_each);
  return RunUntilStopped(machine, controller);
}

}  // namespace morvane
