#include "app/qt_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace morvane {

namespace {

// The signal handler only writes a byte here; the event loop reads it between two handlers.
int g_signal_pipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  (void)!write(g_signal_pipe[1], &byte, 1);
}

}  // namespace

void QuitOnStopSignals(QCoreApplication& app) {
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_pipe) != 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char byte = 0;
    (void)!read(g_signal_pipe[0], &byte, 1);
    // exit, not quit: quit does nothing before the main loop runs, and a start-up error's
    // message box runs a loop of its own, which exit ends as well.
    QCoreApplication::exit(0);
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  // A hang-up, a quit from the keyboard or a stray user signal must not kill the program in the
  // middle of a handler (RT+ tags cleared, a lock file left behind); all of them stop it cleanly.
  for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2}) {
    sigaction(number, &action, nullptr);
  }
}

}  // namespace morvane
