#include "link/exchange_trace.h"

#include <cstdio>

#include "text/console_text.h"

namespace morvane {

std::string FormatExchangeTrace(const ExchangeRecord& record, const TraceTime& at) {
  char stamp[24];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", at.hour, at.minute, at.second,
                at.millisecond);
  std::string line = std::string(stamp) + " wrote \"" + EscapeForConsole(record.written) +
                     "\" waited " + std::to_string(record.wait_ms) + " ms ";
  if (record.answer_read) {
    line += "read \"" + EscapeForConsole(record.answer) + "\"";
  } else {
    // The clock date command leaves its answer for the next exchange's drain.
    line += "no read";
  }
  return line;
}

}  // namespace morvane
