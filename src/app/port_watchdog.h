#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/controller.h"

namespace morvane {

// A lost port is tried again this often, no more: opening a port that is not there is cheap, but
// an adapter that comes back needs a moment before it takes commands.
inline constexpr int kPortRetryIntervalMs = 5000;
// Exchanges in a row without a byte after which the encoder counts as not answering. Every
// handler that talks to the encoder reads at least once, and a PIRA micro may leave a write
// frame unanswered; three in a row rule such single misses out, yet a dead encoder is found
// within one minute's refresh (four exchanges).
inline constexpr uint64_t kSilentExchanges = 3;

inline constexpr char kSilentNotice[] = "encoder not answering";

[[nodiscard]] std::string PortLostNotice(const std::string& port_name);

// Keeps the encoder on the line through an unplugged USB adapter, a failing port or an encoder
// that stops answering. A failed write or read marks the port lost: it is closed, so the
// handlers that follow fail at once (their waits stay as they are), the readings show their
// no-answer values, the traffic button is disabled, and the notice line says so. Tick, called
// between handlers, opens the port again, as start-up did, at most every kPortRetryIntervalMs.
// kSilentExchanges exchanges without a byte on a working port: "encoder not answering", and the
// readings at their no-answer values until bytes come again. Back (port reopened, or answering
// again), the encoder may have lost power: the next Tick brings it back into step.
class PortWatchdog {
 public:
  // now_ms: a monotonic clock in milliseconds. port_name: the port as the station knows it.
  PortWatchdog(Controller& controller, std::string port_name, std::function<int64_t()> now_ms);
  ~PortWatchdog();
  PortWatchdog(const PortWatchdog&) = delete;
  PortWatchdog& operator=(const PortWatchdog&) = delete;

  // The port failed: an exchange could not write or read, or the device went away by itself.
  void PortFailed();
  // Called by a timer, between handlers; tries to open a lost port when a try is due, and brings
  // an encoder that is back into step.
  void Tick();
  // The port says it can be opened now (a connection made in the background): the try is made
  // at once instead of at the next retry, and the encoder brought into step when it is back.
  void RetryNow();
  [[nodiscard]] bool Lost() const { return lost_; }
  [[nodiscard]] bool Silent() const { return silent_; }
  // Tick has work: a lost port to try, or an encoder back to bring into step.
  [[nodiscard]] bool TickDue() const { return lost_ || back_; }

 private:
  void Reopen();
  void Heard(bool heard);

  Controller& controller_;
  std::string port_name_;
  std::function<int64_t()> now_ms_;
  bool lost_ = false;
  bool silent_ = false;
  bool back_ = false;
  int64_t next_try_ms_ = 0;
};

}  // namespace morvane
