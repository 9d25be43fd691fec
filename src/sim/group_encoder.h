#pragma once

#include <cstdint>
#include <string>

#include "sim/encoder_state.h"
#include "sim/rds_group.h"

namespace morvane::sim {

// What a radio needs to know to read the groups back: RadioText comes four characters a 2A
// group and ends at CR; 3A names the group of the application with this identifier, RT+.
inline constexpr std::size_t kRadioTextSegmentChars = 4;
inline constexpr char kEndOfRadioText = '\x0D';
inline constexpr uint16_t kRtPlusApplicationId = 0x4BD7;

// Group builders: block A is the PI, block B carries group type, TP and PTY as in every group.
[[nodiscard]] RdsGroup Group0A(const EncoderState& state, int segment);
[[nodiscard]] RdsGroup Group2A(const EncoderState& state, int segment);
[[nodiscard]] RdsGroup Group3A(const EncoderState& state);
[[nodiscard]] RdsGroup Group4A(const EncoderState& state, const CivilTime& local_time);
[[nodiscard]] RdsGroup Group6A(const EncoderState& state, const UserGroup& user_group);
[[nodiscard]] RdsGroup Group11A(const EncoderState& state);

// The characters that go out in 2A groups: the text ended by CR when it is shorter than 64 and
// the short RadioText mode is on, filled with blanks to whole segments (to 64 otherwise).
[[nodiscard]] std::string RadioTextOnAir(const EncoderState& state);

// Chooses the group to broadcast next, in the encoder's group sequence: '0' PS (0A), '2'
// RadioText (2A), 'X' the user-defined in-house groups (6A), 'R' RT+ (3A now and then, else 11A).
// Letters with nothing to send are passed over. A clock-time group (4A) goes out at every
// minute's edge of the encoder's clock while CT is on.
class GroupEncoder {
 public:
  [[nodiscard]] RdsGroup Next(const EncoderState& state, int64_t now_ms);

 private:
  [[nodiscard]] bool FromSlot(char slot, const EncoderState& state, RdsGroup& group);

  std::size_t slot_ = 0;
  int ps_segment_ = 0;
  int rt_segment_ = 0;
  std::string rt_sent_;
  bool rt_ab_sent_ = false;
  std::size_t user_group_ = 0;
  int rtplus_count_ = 0;
  int64_t clock_minute_ = -1;
};

}  // namespace morvane::sim
