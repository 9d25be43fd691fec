#include "sim/encoder.h"

#include <cctype>
#include "link/protocol.h"
#include "text/text_helpers.h"

namespace morvane::sim {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
using protocol::kFrameEnd;
using protocol::kFrameStart;
constexpr std::size_t kUserGroupDigits = 12;
constexpr int64_t kMsPerMinute = 60000;
// A DATE= within this long of a TIME= completes the same clock setting; the controller sends it
// 400 ms after.
constexpr int64_t kDateFollowsTimeMs = 1000;
constexpr int kLargestNumber = 99999;

// Each field of an "RTP=" value with the largest value its bits in the 11A group hold: six bits
// each, but only five for the second tag's length marker.
struct RtPlusField {
  std::string_view name;
  int most;
};
constexpr std::array<RtPlusField, 6> kRtPlusFields{{{"first content type", 63},
                                                    {"first start", 63},
                                                    {"first length", 63},
                                                    {"second content type", 63},
                                                    {"second start", 63},
                                                    {"second length", 31}}};

std::optional<int> ParseNumber(std::string_view text, int max) {
  if (text.empty() || text.size() > 5) {
    return std::nullopt;
  }
  int value = 0;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  return value <= max ? std::optional<int>(value) : std::nullopt;
}

std::optional<unsigned> ParseHex(std::string_view text) {
  if (text.empty() || text.size() > 4) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isxdigit(u) == 0) {
      return std::nullopt;
    }
    value = value * 16 +
            static_cast<unsigned>(std::isdigit(u) != 0 ? c - '0' : std::toupper(u) - 'A' + 10);
  }
  return value;
}

std::optional<bool> ParseFlag(std::string_view text) {
  if (text == "0" || text == "1") {
    return text == "1";
  }
  return std::nullopt;
}

// Three two-digit numbers joined by sep, each in [0, max].
std::optional<std::array<int, 3>> ParseTriple(std::string_view text, char sep,
                                              std::array<int, 3> max) {
  if (text.size() != 8 || text[2] != sep || text[5] != sep) {
    return std::nullopt;
  }
  std::array<int, 3> parts{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<int> part = ParseNumber(text.substr(i * 3, 2), max[i]);
    if (!part) {
      return std::nullopt;
    }
    parts[i] = *part;
  }
  return parts;
}

std::string FitPs(std::string_view text) {
  std::string ps(text.substr(0, kPsLength));
  ps.resize(kPsLength, ' ');
  return ps;
}

std::string FormatUserGroups(const std::vector<UserGroup>& groups) {
  std::string text;
  for (const UserGroup& group : groups) {
    text += HexWord(group.b) + HexWord(group.c) + HexWord(group.d) + ",";
  }
  return text;
}

}  // namespace

std::variant<std::array<RtPlusTag, 2>, std::string> ParseRtPlusFields(std::string_view value) {
  const std::string malformed = "six numbers separated by commas expected";
  std::array<int, kRtPlusFields.size()> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t comma = value.find(',');
    const bool last = i + 1 == fields.size();
    const std::optional<int> field = ParseNumber(value.substr(0, comma), kLargestNumber);
    if ((comma == std::string_view::npos) != last || !field) {
      return malformed;
    }
    if (*field > kRtPlusFields[i].most) {
      return std::string(kRtPlusFields[i].name) + " " + std::to_string(*field) +
             " does not fit the 11A group (0 to " + std::to_string(kRtPlusFields[i].most) + ")";
    }
    fields[i] = *field;
    value.remove_prefix(last ? value.size() : comma + 1);
  }
  return std::array<RtPlusTag, 2>{RtPlusTag{fields[0], fields[1], fields[2]},
                                  RtPlusTag{fields[3], fields[4], fields[5]}};
}

std::optional<std::vector<UserGroup>> ParseUserGroups(std::string_view value) {
  std::vector<UserGroup> groups;
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    const std::string_view digits = value.substr(0, comma);
    if (digits.size() != kUserGroupDigits) {
      return std::nullopt;
    }
    const auto b = ParseHex(digits.substr(0, 4));
    const auto c = ParseHex(digits.substr(4, 4));
    const auto d = ParseHex(digits.substr(8, 4));
    if (!b || !c || !d) {
      return std::nullopt;
    }
    groups.push_back(
        UserGroup{static_cast<uint16_t>(*b), static_cast<uint16_t>(*c), static_cast<uint16_t>(*d)});
    value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
  }
  return groups;
}

std::string Encoder::Handle(const Command& command, int64_t now_ms) {
  Tick(now_ms);
  refusal_.clear();
  switch (command.kind) {
    case Command::Kind::Line:
      return HandleLine(command.text, now_ms);
    case Command::Kind::ReadFrame:
      return HandleReadFrame(command.address, command.count);
    case Command::Kind::WriteFrame:
      HandleWriteFrame(command.address, command.text, now_ms);
      return {kFrameStart, static_cast<char>(command.address), kFrameEnd};
    case Command::Kind::BadFrame:
      return {};
  }
  return {};
}

void Encoder::Tick(int64_t now_ms) {
  if (state_.ta && state_.ta_timeout_minutes > 0 &&
      now_ms - ta_since_ms_ >= state_.ta_timeout_minutes * kMsPerMinute) {
    state_.ta = false;
  }
  if (time_set_ms_ && now_ms - *time_set_ms_ >= kDateFollowsTimeMs) {
    ++state_.clock_sets;
    time_set_ms_.reset();
  }
}

std::string Encoder::HandleLine(std::string_view line, int64_t now_ms) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    const std::optional<std::string> value = Query(line, now_ms);
    if (!value) {
      return std::string(kAckUnknown);
    }
    return std::string(line) + std::string(kLineEnd) + *value + std::string(kLineEnd);
  }
  return std::string(Set(line.substr(0, equals), line.substr(equals + 1), now_ms));
}

std::optional<std::string> Encoder::Query(std::string_view name, int64_t now_ms) const {
  const EncoderState& s = state_;
  const CivilTime clock = s.clock.Now(now_ms);
  if (name == "PS")
    return s.ps;
  if (name == "PI")
    return HexWord(s.pi);
  if (name == "PTY")
    return std::to_string(s.pty);
  if (name == "RT1")
    return s.radiotext;
  if (name == "TP")
    return s.tp ? "1" : "0";
  if (name == "TA")
    return s.ta ? "1" : "0";
  if (name == "TATMOUT")
    return std::to_string(s.ta_timeout_minutes);
  if (name == "CT")
    return s.ct ? "1" : "0";
  if (name == "PILOT")
    return s.pilot ? "1" : "0";
  if (name == "SHORTRT")
    return s.short_rt ? "1" : "0";
  if (name == "GRPSEQ")
    return s.group_sequence;
  if (name == "UDG1")
    return FormatUserGroups(s.inhouse_groups);
  if (name == "TIME") {
    return TwoDigits(clock.hour) + ":" + TwoDigits(clock.minute) + ":" + TwoDigits(clock.second);
  }
  if (name == "DATE") {
    return TwoDigits(clock.day) + "." + TwoDigits(clock.month) + "." + TwoDigits(clock.year);
  }
  if (name == "RTP") {
    const auto& t = s.rtplus;
    return TwoDigits(t[0].content_type) + "," + TwoDigits(t[0].start) + "," +
           TwoDigits(t[0].length_marker) + "," + TwoDigits(t[1].content_type) + "," +
           TwoDigits(t[1].start) + "," + TwoDigits(t[1].length_marker);
  }
  return std::nullopt;
}

std::string_view Encoder::Set(std::string_view name, std::string_view value, int64_t now_ms) {
  EncoderState& s = state_;
  if (name == "RT1") {
    SetRadioText(std::string(value.substr(0, kRadioTextLength)));
    return kAckDone;
  }
  if (name == "PS") {
    s.ps = FitPs(value);
    return kAckDone;
  }
  if (name == "PI") {
    const auto pi = value.size() == 4 ? ParseHex(value) : std::nullopt;
    if (!pi)
      return Refuse("four hexadecimal digits expected");
    s.pi = static_cast<uint16_t>(*pi);
    return kAckDone;
  }
  if (name == "PTY") {
    const auto pty = ParseNumber(value, 31);
    if (!pty)
      return Refuse("a number of 0 to 31 expected");
    s.pty = *pty;
    return kAckDone;
  }
  if (name == "TATMOUT") {
    const auto minutes = ParseNumber(value, 255);
    if (!minutes)
      return Refuse("a number of 0 to 255 expected");
    s.ta_timeout_minutes = *minutes;
    return kAckDone;
  }
  if (name == "TA" || name == "TP" || name == "CT" || name == "SHORTRT") {
    const auto flag = ParseFlag(value);
    if (!flag)
      return Refuse("0 or 1 expected");
    if (name == "TA")
      SetTa(*flag, now_ms);
    if (name == "TP")
      s.tp = *flag;
    if (name == "CT")
      s.ct = *flag;
    if (name == "SHORTRT")
      s.short_rt = *flag;
    return kAckDone;
  }
  if (name == "TIME") {
    const auto t = ParseTriple(value, ':', {23, 59, 59});
    if (!t)
      return Refuse("a time hh:mm:ss expected");
    if (time_set_ms_) {
      ++s.clock_sets;  // the TIME= before this one stood alone
    }
    s.clock.SetTimeOfDay((*t)[0], (*t)[1], (*t)[2], now_ms);
    time_set_ms_ = now_ms;
    return kAckDone;
  }
  if (name == "DATE") {
    const auto d = ParseTriple(value, '.', {31, 12, 99});
    if (!d || (*d)[0] == 0 || (*d)[1] == 0)
      return Refuse("a date dd.mm.yy expected");
    s.clock.SetDate(2000 + (*d)[2], (*d)[1], (*d)[0], now_ms);
    ++s.clock_sets;
    time_set_ms_.reset();
    return kAckDone;
  }
  if (name == "GRPSEQ") {
    if (value.empty())
      return Refuse("letters and digits expected");
    for (char c : value) {
      if (std::isalnum(static_cast<unsigned char>(c)) == 0)
        return Refuse("letters and digits expected");
    }
    s.group_sequence = std::string(value);
    return kAckDone;
  }
  if (name == "RTP") {
    auto parsed = ParseRtPlusFields(value);
    if (auto* why = std::get_if<std::string>(&parsed))
      return Refuse(std::move(*why));
    const auto& tags = std::get<std::array<RtPlusTag, 2>>(parsed);
    const bool running = tags[0].content_type != 0 || tags[1].content_type != 0;
    if (running) {
      s.rtplus_toggle = !s.rtplus_toggle;  // a new item for the receivers
    }
    s.rtplus = tags;
    s.rtplus_running = running;
    s.rtplus_announced = true;
    return kAckDone;
  }
  if (name == "UDG1") {
    auto groups = ParseUserGroups(value);
    if (!groups)
      return Refuse("groups of twelve hexadecimal digits separated by commas expected");
    for (const UserGroup& group : *groups) {
      inhouse_.Receive(group);
    }
    s.inhouse_groups = std::move(*groups);
    return kAckDone;
  }
  return kAckUnknown;
}

std::string Encoder::HandleReadFrame(uint8_t address, uint8_t count) const {
  std::string data;
  switch (address) {
    case protocol::kAddressPS:
      data = state_.ps;
      break;
    case protocol::kAddressPTY:
      data = std::string(1, static_cast<char>(state_.pty));
      break;
    case protocol::kAddressTraffic:
      data = std::string(1, state_.ta ? '\x01' : '\x00');
      break;
    case protocol::kAddressRadioText:
      data = state_.radiotext;
      break;
    case protocol::kAddressPilot:
      data = std::string(1, state_.pilot ? kPilotPresentByte : kPilotAbsentByte);
      break;
    default:
      break;
  }
  data.resize(count, address == protocol::kAddressRadioText || address == protocol::kAddressPS
                         ? ' '
                         : '\x00');
  return std::string{kFrameStart, static_cast<char>(address)} + data + kFrameEnd;
}

void Encoder::HandleWriteFrame(uint8_t address, std::string_view data, int64_t now_ms) {
  if (data.empty()) {
    return;
  }
  switch (address) {
    case protocol::kAddressPS:
      state_.ps = FitPs(data);
      break;
    case protocol::kAddressPTY:
      state_.pty = static_cast<unsigned char>(data[0]) & 0x1F;
      break;
    case protocol::kAddressTraffic:
      SetTa((static_cast<unsigned char>(data[0]) & 0x01) != 0, now_ms);
      break;
    case protocol::kAddressRadioText:
      SetRadioText(std::string(data));
      break;
    default:
      break;
  }
}

void Encoder::SetRadioText(std::string text) {
  if (text != state_.radiotext) {
    state_.radiotext_ab = !state_.radiotext_ab;
  }
  state_.radiotext = std::move(text);
}

std::string_view Encoder::Refuse(std::string why) {
  refusal_ = std::move(why);
  return kAckInvalid;
}

void Encoder::SetTa(bool on, int64_t now_ms) {
  if (on && !state_.ta) {
    ta_since_ms_ = now_ms;
  }
  state_.ta = on;
}

}  // namespace morvane::sim
