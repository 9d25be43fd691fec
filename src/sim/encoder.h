#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/command_parser.h"
#include "sim/encoder_state.h"
#include "sim/inhouse_assembler.h"

namespace morvane::sim {

// Answer lines of the PIRA32 dialect to a set command.
inline constexpr std::string_view kAckDone = "+\r\n";
inline constexpr std::string_view kAckUnknown = "!\r\n";
inline constexpr std::string_view kAckInvalid = "-\r\n";

// The status byte that a PIRA micro reports at address 70: its lowest bit is clear while the
// stereo pilot is present.
inline constexpr char kPilotPresentByte = '\x00';
inline constexpr char kPilotAbsentByte = '\x01';

// Plays one encoder: applies each command to the state and gives the answer the encoder sends.
class Encoder {
 public:
  Encoder(Dialect dialect, EncoderState initial) : dialect_(dialect), state_(std::move(initial)) {}

  // The answer bytes, possibly none. now_ms is the steady clock, for the encoder's own clock.
  [[nodiscard]] std::string Handle(const Command& command, int64_t now_ms);
  // Time-driven behaviour: the encoder's own TA timeout; a clock setting that no DATE= followed.
  void Tick(int64_t now_ms);
  // Why the last command was answered "-", for the operator; empty when it was not.
  [[nodiscard]] const std::string& refusal() const { return refusal_; }

  [[nodiscard]] Dialect dialect() const { return dialect_; }
  [[nodiscard]] const EncoderState& state() const { return state_; }
  [[nodiscard]] const InHouseAssembler& inhouse() const { return inhouse_; }

 private:
  [[nodiscard]] std::string HandleLine(std::string_view line, int64_t now_ms);
  [[nodiscard]] std::optional<std::string> Query(std::string_view name, int64_t now_ms) const;
  [[nodiscard]] std::string_view Set(std::string_view name, std::string_view value, int64_t now_ms);
  [[nodiscard]] std::string HandleReadFrame(uint8_t address, uint8_t count) const;
  void HandleWriteFrame(uint8_t address, std::string_view data, int64_t now_ms);
  void SetRadioText(std::string text);
  void SetTa(bool on, int64_t now_ms);
  [[nodiscard]] std::string_view Refuse(std::string why);

  Dialect dialect_;
  EncoderState state_;
  InHouseAssembler inhouse_;
  int64_t ta_since_ms_ = 0;
  std::optional<int64_t> time_set_ms_;  // a TIME= whose DATE= may still come
  std::string refusal_;
};

// The two tags of an "RTP=" value, or why an encoder that checks its input refuses it: a
// malformed value, or a field that the 11A group has no bits for.
[[nodiscard]] std::variant<std::array<RtPlusTag, 2>, std::string> ParseRtPlusFields(
    std::string_view value);
// Parser of the in-house groups' value; std::nullopt when malformed.
[[nodiscard]] std::optional<std::vector<UserGroup>> ParseUserGroups(std::string_view value);

}  // namespace morvane::sim
