#include "app/qt_machine.h"

#include <QCoreApplication>
#include <QTime>
#include <filesystem>

#include "app/startup.h"
#include "app/startup_error.h"
#include "link/exchange_trace.h"

namespace morvane {

namespace {

void TraceToStderr(const ExchangeRecord& record) {
  const QTime now = QTime::currentTime();
  std::cerr << FormatExchangeTrace(record, {now.hour(), now.minute(), now.second(), now.msec()})
            << std::endl;
}

}  // namespace

bool StartUp(Controller& controller, const CommandLine& options,
             const std::function<void(const std::string&)>& report_failure,
             const std::function<void(const Configuration&)>& configured) {
  if (options.trace) {
    controller.link.SetTrace(TraceToStderr);
  }
  try {
    const Configuration configuration =
        ConfigureController(controller, std::filesystem::current_path().string());
    if (configured) {
      configured(configuration);
    }
    OpenPortAndSynchronise(controller, configuration);
    return true;
  } catch (const StartupError& error) {
    report_failure(std::string(error.what()));
  } catch (const std::exception& error) {
    report_failure(std::string("Start-up failed: ") + error.what());
  }
  Form_Unload(controller);
  return false;
}

int RunUntilStopped(Machine& machine, Controller& controller) {
  machine.notifier.Ready();
  const int status = QCoreApplication::exec();
  machine.notifier.Stopping();
  Form_Unload(controller);
  return status;
}

}  // namespace morvane
