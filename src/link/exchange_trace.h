#pragma once

#include <string>

#include "link/encoder_link.h"

namespace morvane {

// Wall-clock time to the millisecond: the waits on the wire are tens to hundreds of ms.
struct TraceTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// One line for --trace, taken when the exchange has ended: what was written, the wait, and
// what was read, byte for byte (see EscapeForConsole).
[[nodiscard]] std::string FormatExchangeTrace(const ExchangeRecord& record, const TraceTime& at);

}  // namespace morvane
