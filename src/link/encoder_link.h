#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/serial_port.h"
#include "link/sleeper.h"

namespace morvane {

// One exchange as it happened on the wire, for tracing.
struct ExchangeRecord {
  std::string written;
  int wait_ms = 0;
  bool answer_read = true;
  std::string answer;
};

// What the link has done since start-up, for monitoring.
struct LinkCounters {
  uint64_t exchanges = 0;
  // Exchanges whose answer was read and held nothing: a silent encoder, or a lost port.
  uint64_t empty_answers = 0;
  // The latest exchanges in a row, on a working port, that received no byte at all: nothing in
  // the drain before the command, nothing after it. An encoder that answers late is not silent.
  uint64_t silent_in_a_row = 0;
};

// Drain, write, wait, read: the only way anything reaches the encoder. A failing port yields the
// empty answer, so every display falls back to its no-answer value instead of the handler dying.
class EncoderLink {
 public:
  EncoderLink(SerialPort& port, Sleeper& sleeper) : port_(port), sleeper_(sleeper) {}

  [[nodiscard]] std::string ExchangeCommand(std::string_view command, int waitMs);
  // The same exchange for a set command, whose answer says nothing: true when the command was
  // written, so a display may claim only what really went out.
  [[nodiscard]] bool SendCommand(std::string_view command, int waitMs);
  // Write and wait only, no read before or after: the next exchange's drain takes the answer.
  void WriteAndWait(std::string_view command, int waitMs);

  [[nodiscard]] const LinkCounters& counters() const { return counters_; }

  void SetTrace(std::function<void(const ExchangeRecord&)> trace) { trace_ = std::move(trace); }
  // Called with false when a write or read fails.
  void SetPortHealthListener(std::function<void(bool ok)> listener) {
    health_ = std::move(listener);
  }
  // Called after every exchange on a working port, with whether any byte came in.
  void SetHearingListener(std::function<void(bool heard)> listener) {
    hearing_ = std::move(listener);
  }

 private:
  struct Outcome {
    std::string answer;
    bool written = false;
  };
  [[nodiscard]] Outcome Perform(std::string_view command, int waitMs);
  void Report(bool ok);

  SerialPort& port_;
  Sleeper& sleeper_;
  std::function<void(const ExchangeRecord&)> trace_;
  std::function<void(bool)> health_;
  std::function<void(bool)> hearing_;
  LinkCounters counters_;
};

}  // namespace morvane
