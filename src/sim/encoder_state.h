#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "sim/encoder_clock.h"
#include "sim/rds_group.h"

namespace morvane::sim {

inline constexpr std::size_t kPsLength = 8;
inline constexpr std::size_t kRadioTextLength = 64;

// One RT+ tag as the "RTP=" command gives it: content type, start, length marker (length - 1).
struct RtPlusTag {
  int content_type = 0;
  int start = 0;
  int length_marker = 0;

  bool operator==(const RtPlusTag& other) const {
    return content_type == other.content_type && start == other.start &&
           length_marker == other.length_marker;
  }
};

// Everything the encoder broadcasts or reports. Initial values are a plausible station; the
// command line can change them.
struct EncoderState {
  std::string ps = "MORVANE ";
  uint16_t pi = 0xC201;
  int pty = 10;
  bool tp = true;
  bool ta = false;
  int ta_timeout_minutes = 0;  // the encoder drops TA by itself after this long; 0 = never
  bool ct = true;
  bool pilot = true;
  bool short_rt = false;
  std::string group_sequence = "02";

  std::string radiotext;
  bool radiotext_ab = false;  // flipped for every new text so receivers clear their display
  std::array<RtPlusTag, 2> rtplus{};
  bool rtplus_announced = false;  // true once tags were ever given: 3A and 11A are on air
  bool rtplus_running = false;
  bool rtplus_toggle = false;

  std::vector<UserGroup> inhouse_groups;

  EncoderClock clock;
  int clock_sets = 0;  // completed settings: TIME= with the DATE= that follows it counts once
  // Local time minus UTC in half hours, asked afresh for every clock-time group: the host's
  // offset now, as a station's clock changes it for summer time.
  std::function<int()> local_offset = [] { return HostOffsetHalfHours(std::time(nullptr)); };
};

}  // namespace morvane::sim
