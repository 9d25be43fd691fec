#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/controller.h"

namespace morvane {

// A lost port is tried again this often, no more: opening a port that is not there is cheap, but
// an adapter that comes back needs a moment before it takes commands.
inline constexpr int kPortRetryIntervalMs = 5000;

[[nodiscard]] std::string PortLostNotice(const std::string& port_name);

// Keeps the encoder on the line through an unplugged USB adapter or a failing port. A failed
// write or read marks the port lost: it is closed, so the handlers that follow fail at once
// (their waits stay as they are) and show their no-answer values, and the notice line says so.
// A timer then calls Tick, which opens the port again, as start-up did, at most every
// kPortRetryIntervalMs. Once it is back, LastRT is forgotten so that the current metadata line
// goes on air again at the next metadata check (the program runs one at once): the encoder may
// have lost it meanwhile.
class PortWatchdog {
 public:
  // now_ms: a monotonic clock in milliseconds. port_name: the port as the station knows it.
  PortWatchdog(Controller& controller, std::string port_name, std::function<int64_t()> now_ms);
  ~PortWatchdog();
  PortWatchdog(const PortWatchdog&) = delete;
  PortWatchdog& operator=(const PortWatchdog&) = delete;

  // The port failed: an exchange could not write or read, or the device went away by itself.
  void PortFailed();
  // Called by a timer, between handlers; tries to open a lost port when a try is due.
  void Tick();
  // The port says it can be opened now (a connection made in the background): the try is made
  // at once instead of at the next retry.
  void RetryNow();
  [[nodiscard]] bool Lost() const { return lost_; }

 private:
  void Reopen();

  Controller& controller_;
  std::string port_name_;
  std::function<int64_t()> now_ms_;
  bool lost_ = false;
  int64_t next_try_ms_ = 0;
};

}  // namespace morvane
