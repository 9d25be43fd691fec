#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/dispatch.h"
#include "app/qt_machine.h"
#include "app/qt_port_watch.h"
#include "app/qt_signals.h"
#include "ui/qt_status_window.h"
#include "ui/web/qt_web_station.h"

namespace morvane {

namespace {

constexpr const char* kTitle = "RDS Morvane";
// Long enough after the window is shown for the first metadata check and countdown ticks.
constexpr int kScreenshotDelayMs = 3500;

// The window as the station sees it, saved as PNG; then the program ends as on a close.
void SaveScreenshotAndQuit(QApplication& app, Machine& machine, QWidget& window,
                           const std::string& path) {
  QTimer::singleShot(kScreenshotDelayMs, &window, [&app, &machine, &window, path] {
    if (!window.grab().save(QString::fromStdString(path), "PNG")) {
      machine.Log(Severity::Error, "cannot save the screenshot to " + path);
      app.exit(1);
      return;
    }
    app.quit();
  });
}

}  // namespace

int RunWindowed(int& argc, char** argv, const CommandLine& options) {
  QApplication app(argc, argv);
  QuitOnStopSignals(app);
  Machine machine;
  frmMain window;
  WebStation web(machine, window);
  Controller controller(web.PlatformFor(machine));
  window.SetRdsCharactersInUse(
      [&controller] { return controller.text_encoding != TextEncoding::Rds; });
  if (!StartUp(
          controller, options,
          [&machine](const std::string& message) {
            // Also on the error output: whoever started the program from a terminal or a script
            // sees why it ended, and a stop signal ends the box as it would end the window.
            machine.Log(Severity::Error, message);
            QMessageBox::critical(nullptr, QString::fromLatin1(kTitle),
                                  QString::fromLocal8Bit(message.c_str()));
          },
          [&](const Configuration& configuration) {
            web.Configured(controller, configuration, [] {});
          })) {
    return 1;
  }
  web.Publish(controller);
  window.SetClickHandler([&controller, &web] {
    DispatchClick(controller);
    web.Publish(controller);
  });
  machine.timers.Start([&controller, &web](Timer timer) {
    DispatchTick(controller, timer);
    web.Publish(controller);
  });
  PortWatch port_watch(controller, machine.port, [&controller, &web] { web.Publish(controller); });
  window.show();
  if (!options.screenshot.empty()) {
    SaveScreenshotAndQuit(app, machine, window, options.screenshot);
  }
  return RunUntilStopped(machine, controller);
}

}  // namespace morvane
