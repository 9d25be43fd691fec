#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "sim/command_parser.h"
#include "sim/encoder.h"
#include "sim/group_encoder.h"
#include "sim/on_air.h"
#include "sim/sim_options.h"
#include "sim/transport.h"
#include "text/steady_time.h"

namespace morvane::sim {

// What the server tells its owner, always from the thread that runs Serve().
struct ServerHooks {
  std::function<void(const Command& command, int64_t at_ms)> on_command;
  std::function<void(const std::string& line)> on_air;
  std::function<void(const RdsGroup& group)> on_group;
  // A command the encoder answered "-", and why.
  std::function<void(const Command& command, const std::string& why)> on_refused;
};

// The encoder on a line to the controller: cuts what arrives into commands, lets the encoder
// answer (late, or never, if so configured) and broadcasts groups at the configured rate.
class EncoderServer {
 public:
  EncoderServer(const SimOptions& options, ServerHooks hooks, std::unique_ptr<Transport> transport);
  EncoderServer(const EncoderServer&) = delete;
  EncoderServer& operator=(const EncoderServer&) = delete;

  [[nodiscard]] const Transport& transport() const { return *transport_; }
  // The state as it is now; only while Serve() is not running on another thread.
  [[nodiscard]] const Encoder& encoder() const { return encoder_; }
  // Serves until stop becomes true; looks at it at least every 50 ms.
  void Serve(const std::atomic<bool>& stop);

 private:
  struct PendingAnswer {
    int64_t due_ms;
    std::string bytes;
  };

  void HandleCommand(const Command& command, int64_t now_ms);
  void Emit(int64_t now_ms);
  void SendDue(int64_t now_ms);
  void BroadcastDue(int64_t now_ms);
  void SendNoise(int64_t now_ms);
  [[nodiscard]] int PollTimeoutMs(int64_t now_ms) const;

  SimOptions options_;
  ServerHooks hooks_;
  std::unique_ptr<Transport> transport_;
  CommandParser parser_;
  Encoder encoder_;
  GroupEncoder groups_;
  OnAirView shown_;  // the broadcast as the last on-air lines described it
  std::deque<PendingAnswer> answers_;
  int64_t start_ms_ = 0;
  int64_t groups_sent_ = 0;
  int64_t next_noise_ms_ = 0;
  std::mt19937 random_;
};

}  // namespace morvane::sim
