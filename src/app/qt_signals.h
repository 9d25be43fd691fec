#pragma once

#include <QCoreApplication>

namespace morvane {

// SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1 and SIGUSR2 end the event loop between two
// handlers, so the exchange in progress finishes and the port is closed cleanly.
void QuitOnStopSignals(QCoreApplication& app);

}  // namespace morvane
