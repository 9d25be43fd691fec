#include "sim/group_encoder.h"

#include <cstdlib>

namespace morvane::sim {

namespace {
constexpr int kPsSegments = 4;
constexpr uint16_t kNoAlternativeFrequencies = 0xE0E0;
constexpr uint16_t kRtPlusGroup11A = 0x16;  // group 11 (1011), version A, as 3A announces it
// One 3A announcement for every this many RT+ slots; the others carry the tags (11A).
constexpr int kRtPlusAnnounceEvery = 4;

uint16_t BlockB(const EncoderState& state, int type, uint16_t low_bits) {
  return static_cast<uint16_t>(type << 12 | (state.tp ? 1 : 0) << 10 | (state.pty & 0x1F) << 5 |
                               (low_bits & 0x1F));
}

uint16_t TwoChars(std::string_view text, std::size_t at) {
  const auto hi = static_cast<unsigned char>(at < text.size() ? text[at] : ' ');
  const auto lo = static_cast<unsigned char>(at + 1 < text.size() ? text[at + 1] : ' ');
  return static_cast<uint16_t>(hi << 8 | lo);
}
}  // namespace

RdsGroup Group0A(const EncoderState& state, int segment) {
  // Decoder identification: segment 3 carries the stereo bit.
  const bool di = segment == 3 && state.pilot;
  const uint16_t low = static_cast<uint16_t>((state.ta ? 1 : 0) << 4 | 1 << 3 | (di ? 1 : 0) << 2 |
                                             (segment & 0x03));
  return {state.pi, BlockB(state, 0, low), kNoAlternativeFrequencies,
          TwoChars(state.ps, static_cast<std::size_t>(segment) * 2)};
}

std::string RadioTextOnAir(const EncoderState& state) {
  std::string text = state.radiotext.substr(0, kRadioTextLength);
  if (state.short_rt && text.size() < kRadioTextLength) {
    text += kEndOfRadioText;
    const std::size_t segments =
        (text.size() + kRadioTextSegmentChars - 1) / kRadioTextSegmentChars;
    text.resize(segments * kRadioTextSegmentChars, ' ');
  } else {
    text.resize(kRadioTextLength, ' ');
  }
  return text;
}

RdsGroup Group2A(const EncoderState& state, int segment) {
  const std::string text = RadioTextOnAir(state);
  const std::size_t at = static_cast<std::size_t>(segment) * kRadioTextSegmentChars;
  const uint16_t low = static_cast<uint16_t>((state.radiotext_ab ? 1 : 0) << 4 | (segment & 0x0F));
  return {state.pi, BlockB(state, 2, low), TwoChars(text, at), TwoChars(text, at + 2)};
}

RdsGroup Group3A(const EncoderState& state) {
  return {state.pi, BlockB(state, 3, kRtPlusGroup11A), 0x0000, kRtPlusApplicationId};
}

RdsGroup Group11A(const EncoderState& state) {
  const RtPlusTag& one = state.rtplus[0];
  const RtPlusTag& two = state.rtplus[1];
  const unsigned type1 = static_cast<unsigned>(one.content_type) & 0x3F;
  const unsigned type2 = static_cast<unsigned>(two.content_type) & 0x3F;
  const uint16_t low = static_cast<uint16_t>((state.rtplus_toggle ? 1 : 0) << 4 |
                                             (state.rtplus_running ? 1 : 0) << 3 | type1 >> 3);
  const auto c =
      static_cast<uint16_t>((type1 & 0x07) << 13 | (static_cast<unsigned>(one.start) & 0x3F) << 7 |
                            (static_cast<unsigned>(one.length_marker) & 0x3F) << 1 | type2 >> 5);
  const auto d =
      static_cast<uint16_t>((type2 & 0x1F) << 11 | (static_cast<unsigned>(two.start) & 0x3F) << 5 |
                            (static_cast<unsigned>(two.length_marker) & 0x1F));
  return {state.pi, BlockB(state, 11, low), c, d};
}

RdsGroup Group4A(const EncoderState& state, const CivilTime& local_time) {
  // The group carries UTC and the local offset; the encoder's clock keeps local time.
  const int offset_half_hours = state.local_offset();
  const int64_t utc_seconds = SecondsFromCivil(local_time) - int64_t{offset_half_hours} * 1800;
  const CivilTime utc = CivilFromSeconds(utc_seconds);
  const auto mjd = static_cast<uint32_t>(ModifiedJulianDay(utc.year, utc.month, utc.day));
  const auto hour = static_cast<unsigned>(utc.hour);
  const unsigned offset = static_cast<unsigned>(std::abs(offset_half_hours)) & 0x1F;
  const unsigned sign = offset_half_hours < 0 ? 1 : 0;
  return {state.pi, BlockB(state, 4, static_cast<uint16_t>(mjd >> 15 & 0x03)),
          static_cast<uint16_t>((mjd & 0x7FFF) << 1 | hour >> 4),
          static_cast<uint16_t>((hour & 0x0F) << 12 | static_cast<unsigned>(utc.minute) << 6 |
                                sign << 5 | offset)};
}

RdsGroup Group6A(const EncoderState& state, const UserGroup& user_group) {
  // The encoder fills in TP and PTY itself; the rest of block B is the operator's.
  const auto b = static_cast<uint16_t>((user_group.b & ~0x07E0) | (state.tp ? 1 : 0) << 10 |
                                       (state.pty & 0x1F) << 5);
  return {state.pi, b, user_group.c, user_group.d};
}

RdsGroup GroupEncoder::Next(const EncoderState& state, int64_t now_ms) {
  const CivilTime now = state.clock.Now(now_ms);
  const int64_t minute = state.clock.SecondsNow(now_ms) / 60;
  if (state.ct && clock_minute_ >= 0 && minute != clock_minute_) {
    clock_minute_ = minute;
    return Group4A(state, now);
  }
  clock_minute_ = minute;

  const std::string& sequence = state.group_sequence;
  for (std::size_t tried = 0; tried < sequence.size(); ++tried) {
    const char slot = sequence[slot_ % sequence.size()];
    slot_ = (slot_ + 1) % sequence.size();
    RdsGroup group;
    if (FromSlot(slot, state, group)) {
      return group;
    }
  }
  // Nothing in the sequence has anything to say: PS is always there.
  RdsGroup group;
  (void)FromSlot('0', state, group);
  return group;
}

bool GroupEncoder::FromSlot(char slot, const EncoderState& state, RdsGroup& group) {
  switch (slot) {
    case '0':
      group = Group0A(state, ps_segment_);
      ps_segment_ = (ps_segment_ + 1) % kPsSegments;
      return true;
    case '2': {
      if (state.radiotext != rt_sent_ || state.radiotext_ab != rt_ab_sent_) {
        // A new text starts from its first segment.
        rt_sent_ = state.radiotext;
        rt_ab_sent_ = state.radiotext_ab;
        rt_segment_ = 0;
      }
      const int segments = static_cast<int>(RadioTextOnAir(state).size() / kRadioTextSegmentChars);
      if (rt_segment_ >= segments) {
        rt_segment_ = 0;  // the short mode was switched and the text got fewer segments
      }
      group = Group2A(state, rt_segment_);
      rt_segment_ = (rt_segment_ + 1) % segments;
      return true;
    }
    case 'X':
      if (state.inhouse_groups.empty()) {
        return false;
      }
      user_group_ %= state.inhouse_groups.size();
      group = Group6A(state, state.inhouse_groups[user_group_++]);
      return true;
    case 'R':
      if (!state.rtplus_announced) {
        return false;
      }
      group = rtplus_count_++ % kRtPlusAnnounceEvery == 0 ? Group3A(state) : Group11A(state);
      return true;
    default:
      return false;
  }
}

}  // namespace morvane::sim
