#pragma once

#include <QCoreApplication>

namespace morvane {

// SIGINT and SIGTERM end the event loop between two handlers, so the exchange in progress
// finishes and the port is closed cleanly.
void QuitOnStopSignals(QCoreApplication& app);

}  // namespace morvane
