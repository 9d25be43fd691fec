#include "link/encoder_link.h"

namespace morvane {

std::string EncoderLink::ExchangeCommand(std::string_view command, int waitMs) {
  return Perform(command, waitMs).answer;
}

bool EncoderLink::SendCommand(std::string_view command, int waitMs) {
  return Perform(command, waitMs).written;
}

EncoderLink::Outcome EncoderLink::Perform(std::string_view command, int waitMs) {
  // Late answers of earlier commands, and anything the encoder sent unasked, are not ours.
  const std::optional<std::string> drained = port_.ReadAll();
  const bool written = port_.Write(command);
  sleeper_.SleepMs(waitMs);
  const std::optional<std::string> answer = port_.ReadAll();
  const bool port_ok = drained && written && answer;
  Report(port_ok);
  ++counters_.exchanges;
  if (!answer || answer->empty()) {
    ++counters_.empty_answers;
  }
  if (port_ok) {
    const bool heard = !drained->empty() || !answer->empty();
    counters_.silent_in_a_row = heard ? 0 : counters_.silent_in_a_row + 1;
    if (hearing_) {
      hearing_(heard);
    }
  }
  ExchangeRecord record{std::string(command), waitMs, true, answer.value_or(std::string())};
  if (trace_) {
    trace_(record);
  }
  return Outcome{std::move(record.answer), written};
}

void EncoderLink::WriteAndWait(std::string_view command, int waitMs) {
  const bool written = port_.Write(command);
  sleeper_.SleepMs(waitMs);
  Report(written);
  ++counters_.exchanges;
  if (trace_) {
    trace_(ExchangeRecord{std::string(command), waitMs, false, {}});
  }
}

void EncoderLink::Report(bool ok) {
  if (health_) {
    health_(ok);
  }
}

}  // namespace morvane
