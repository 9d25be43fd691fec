#include "sim/encoder_server.h"

#include <algorithm>

namespace morvane::sim {

namespace {
constexpr int kMaxPollMs = 50;
constexpr int kNoiseMinGapMs = 300;
constexpr int kNoiseMaxGapMs = 1500;
constexpr int kNoiseMaxBytes = 6;
}  // namespace

EncoderServer::EncoderServer(const SimOptions& options, ServerHooks hooks,
                             std::unique_ptr<Transport> transport)
    : options_(options),
      hooks_(std::move(hooks)),
      transport_(std::move(transport)),
      parser_(options.dialect),
      encoder_(options.dialect, options.initial),
      random_(std::random_device{}()) {
  start_ms_ = SteadyNowMs();
  shown_ = ViewOnAir(encoder_, start_ms_, options_.charset);
  next_noise_ms_ = start_ms_ + kNoiseMaxGapMs;
}

void EncoderServer::Serve(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    const Transport::Received received = transport_->Receive(PollTimeoutMs(SteadyNowMs()));
    const int64_t after_ms = SteadyNowMs();
    if (received.new_controller) {
      parser_ = CommandParser(options_.dialect);
      answers_.clear();
    }
    for (const Command& command : parser_.Feed(received.bytes)) {
      HandleCommand(command, after_ms);
    }
    encoder_.Tick(after_ms);
    Emit(after_ms);
    SendDue(after_ms);
    BroadcastDue(after_ms);
    SendNoise(after_ms);
  }
}

void EncoderServer::HandleCommand(const Command& command, int64_t now_ms) {
  if (hooks_.on_command) {
    hooks_.on_command(command, now_ms);
  }
  std::string answer = encoder_.Handle(command, now_ms);
  if (hooks_.on_refused && !encoder_.refusal().empty()) {
    hooks_.on_refused(command, encoder_.refusal());
  }
  Emit(now_ms);
  if (options_.silent || answer.empty()) {
    return;
  }
  if (options_.delay_ms == 0 && answers_.empty()) {
    transport_->Send(answer);
  } else {
    answers_.push_back({now_ms + options_.delay_ms, std::move(answer)});
  }
}

void EncoderServer::Emit(int64_t now_ms) {
  // Compared with what was shown last, so that changes that come with time (summer time, the
  // encoder's own TA timeout) are seen as well as those that commands make.
  OnAirView now = ViewOnAir(encoder_, now_ms, options_.charset);
  if (hooks_.on_air) {
    for (const std::string& line : DescribeOnAirChanges(shown_, now)) {
      hooks_.on_air(line);
    }
  }
  shown_ = std::move(now);
}

void EncoderServer::SendDue(int64_t now_ms) {
  while (!answers_.empty() && answers_.front().due_ms <= now_ms) {
    transport_->Send(answers_.front().bytes);
    answers_.pop_front();
  }
}

void EncoderServer::BroadcastDue(int64_t now_ms) {
  if (!hooks_.on_group) {
    return;
  }
  const auto due =
      static_cast<int64_t>(static_cast<double>(now_ms - start_ms_) * options_.groups_rate / 1000.0);
  while (groups_sent_ < due) {
    hooks_.on_group(groups_.Next(encoder_.state(), now_ms));
    ++groups_sent_;
  }
}

void EncoderServer::SendNoise(int64_t now_ms) {
  if (!options_.noise || now_ms < next_noise_ms_) {
    return;
  }
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(1, kNoiseMaxBytes);
  std::uniform_int_distribution<int> gap(kNoiseMinGapMs, kNoiseMaxGapMs);
  std::string noise;
  for (int i = length(random_); i > 0; --i) {
    noise += static_cast<char>(byte(random_));
  }
  transport_->Send(noise);
  next_noise_ms_ = now_ms + gap(random_);
}

int EncoderServer::PollTimeoutMs(int64_t now_ms) const {
  int64_t timeout = kMaxPollMs;
  if (!answers_.empty()) {
    timeout = std::min(timeout, answers_.front().due_ms - now_ms);
  }
  if (hooks_.on_group) {
    const double next_ms = static_cast<double>(groups_sent_ + 1) * 1000.0 / options_.groups_rate;
    timeout = std::min(timeout, start_ms_ + static_cast<int64_t>(next_ms) - now_ms);
  }
  if (options_.noise) {
    timeout = std::min(timeout, next_noise_ms_ - now_ms);
  }
  return static_cast<int>(std::max<int64_t>(timeout, 0));
}

}  // namespace morvane::sim
