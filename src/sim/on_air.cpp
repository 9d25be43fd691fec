#include "sim/on_air.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "sim/group_encoder.h"
#include "text/rds_charset.h"
#include "text/text_helpers.h"

namespace morvane::sim {

namespace {

// Block B bits 15..11, group type and version, as 3A names the group it announces.
enum GroupCode : unsigned { kCode2A = 0x04, kCode3A = 0x06, kCode4A = 0x08 };

// What a radio makes of the groups that carry RadioText, RT+ and clock time.
struct Reception {
  std::string radiotext;                           // up to the end code
  std::optional<std::array<RtPlusTag, 2>> rtplus;  // while the item-running bit is set
  std::optional<int> offset_half_hours;
};

Reception Receive(const std::vector<RdsGroup>& groups) {
  Reception air;
  std::string text;
  std::optional<unsigned> rtplus_code;
  for (const RdsGroup& g : groups) {
    const unsigned code = g.b >> 11;
    if (code == kCode2A) {
      const std::size_t at = (g.b & 0x0Fu) * kRadioTextSegmentChars;
      text.resize(std::max(text.size(), at + kRadioTextSegmentChars), ' ');
      text[at] = static_cast<char>(g.c >> 8);
      text[at + 1] = static_cast<char>(g.c & 0xFF);
      text[at + 2] = static_cast<char>(g.d >> 8);
      text[at + 3] = static_cast<char>(g.d & 0xFF);
    } else if (code == kCode3A && g.d == kRtPlusApplicationId) {
      rtplus_code = g.b & 0x1Fu;
    } else if (rtplus_code && code == *rtplus_code) {
      air.rtplus.reset();
      if ((g.b >> 3 & 1) != 0) {
        air.rtplus = {RtPlusTag{(g.b & 0x07) << 3 | g.c >> 13, g.c >> 7 & 0x3F, g.c >> 1 & 0x3F},
                      RtPlusTag{(g.c & 1) << 5 | g.d >> 11, g.d >> 5 & 0x3F, g.d & 0x1F}};
      }
    } else if (code == kCode4A) {
      const int half_hours = g.d & 0x1F;
      air.offset_half_hours = (g.d >> 5 & 1) != 0 ? -half_hours : half_hours;
    }
  }
  air.radiotext = text.substr(0, text.find(kEndOfRadioText));
  return air;
}

// One round of the groups that carry RadioText, RT+ and, at the minute's edge just passed,
// clock time.
std::vector<RdsGroup> OneRound(const EncoderState& s, int64_t now_ms) {
  std::vector<RdsGroup> groups;
  const std::size_t segments = RadioTextOnAir(s).size() / kRadioTextSegmentChars;
  for (std::size_t segment = 0; segment < segments; ++segment) {
    groups.push_back(Group2A(s, static_cast<int>(segment)));
  }
  if (s.rtplus_announced) {
    groups.push_back(Group3A(s));
    groups.push_back(Group11A(s));
  }
  if (s.ct) {
    CivilTime minute = s.clock.Now(now_ms);
    minute.second = 0;
    groups.push_back(Group4A(s, minute));
  }
  return groups;
}

std::string FormatOffset(int half_hours) {
  const int magnitude = std::abs(half_hours);
  return std::string("UTC") + (half_hours < 0 ? "-" : "+") + TwoDigits(magnitude / 2) + ":" +
         TwoDigits(magnitude % 2 * 30);
}

std::string_view ContentTypeName(int content_type) {
  switch (content_type) {
    case 1:
      return "TITLE";
    case 2:
      return "ALBUM";
    case 3:
      return "TRACKNUMBER";
    case 4:
      return "ARTIST";
    default:
      return {};
  }
}

std::string OnOff(bool on) {
  return on ? "on" : "off";
}

std::string FormatClock(const CivilTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d:%02d", t.day, t.month, t.year % 100,
                t.hour, t.minute, t.second);
  return text;
}

std::string DescribeInHouse(const InHouseAssembler& inhouse, ReceivedCharset charset) {
  if (inhouse.message()) {
    const InHouseMessage& m = *inhouse.message();
    return "seq " + std::to_string(m.sequence) + " id " + m.identifier + " " +
           Quoted(ShowReceived(m.text, charset));
  }
  if (inhouse.version()) {
    return "version " + *inhouse.version();
  }
  return {};
}

std::string RtPlusLine(const OnAirView& view) {
  return view.rtplus_items.empty() ? "RT+ off" : "RT+ " + view.rtplus_items;
}

std::string ClockLine(const OnAirView& view) {
  return view.clock_offset.empty() ? view.clock : view.clock + " " + view.clock_offset;
}

}  // namespace

std::string ShowReceived(std::string_view bytes, ReceivedCharset charset) {
  return charset == ReceivedCharset::Latin1 ? Latin1ToUtf8(bytes) : RdsToUtf8(bytes);
}

std::string DescribeRtPlusItems(const std::string& radiotext, const std::array<RtPlusTag, 2>& tags,
                                ReceivedCharset charset) {
  std::array<RtPlusTag, 2> in_text = tags;
  std::stable_sort(in_text.begin(), in_text.end(),
                   [](const RtPlusTag& a, const RtPlusTag& b) { return a.start < b.start; });
  std::string items;
  for (const RtPlusTag& tag : in_text) {
    if (tag.content_type == 0) {
      continue;  // a dummy tag marks nothing
    }
    const std::string_view name = ContentTypeName(tag.content_type);
    const std::string label =
        name.empty() ? "TYPE" + std::to_string(tag.content_type) : std::string(name);
    const std::size_t start = static_cast<std::size_t>(tag.start);
    const std::string text =
        start < radiotext.size()
            ? radiotext.substr(start, static_cast<std::size_t>(tag.length_marker) + 1)
            : std::string();
    items += (items.empty() ? "" : " ") + label + "=" + Quoted(ShowReceived(text, charset));
  }
  return items;
}

OnAirView ViewOnAir(const Encoder& encoder, int64_t now_ms, ReceivedCharset charset) {
  const EncoderState& s = encoder.state();
  OnAirView view;
  view.ps = ShowReceived(s.ps, charset);
  view.pi = HexWord(s.pi);
  view.pty = s.pty;
  view.tp = s.tp;
  view.ta = s.ta;
  view.ct = s.ct;
  view.pilot = s.pilot;
  const Reception air = Receive(OneRound(s, now_ms));
  view.radiotext = ShowReceived(air.radiotext, charset);
  view.rtplus_items = air.rtplus ? DescribeRtPlusItems(air.radiotext, *air.rtplus, charset) : "";
  view.clock_sets = s.clock_sets;
  view.clock = FormatClock(s.clock.Now(now_ms));
  view.clock_offset = air.offset_half_hours ? FormatOffset(*air.offset_half_hours) : "";
  view.inhouse = DescribeInHouse(encoder.inhouse(), charset);
  return view;
}

std::vector<std::string> DescribeOnAirChanges(const OnAirView& before, const OnAirView& after) {
  std::vector<std::string> lines;
  if (after.ps != before.ps)
    lines.push_back("PS " + Quoted(after.ps));
  if (after.pi != before.pi)
    lines.push_back("PI " + after.pi);
  if (after.pty != before.pty)
    lines.push_back("PTY " + std::to_string(after.pty));
  if (after.tp != before.tp)
    lines.push_back("TP " + OnOff(after.tp));
  if (after.ta != before.ta)
    lines.push_back("TA " + OnOff(after.ta));
  if (after.ct != before.ct)
    lines.push_back("CT " + OnOff(after.ct));
  if (after.pilot != before.pilot)
    lines.push_back("Pilot " + OnOff(after.pilot));
  if (after.radiotext != before.radiotext)
    lines.push_back("RT " + Quoted(after.radiotext));
  // Judged by what a radio shows: tags left over from the text before mark the new one too.
  if (after.rtplus_items != before.rtplus_items)
    lines.push_back(RtPlusLine(after));
  if (after.clock_sets != before.clock_sets) {
    lines.push_back("Clock set " + ClockLine(after));
  } else if (after.clock_offset != before.clock_offset) {
    lines.push_back("Clock " + ClockLine(after));  // summer time began or ended
  }
  if (after.inhouse != before.inhouse && !after.inhouse.empty()) {
    lines.push_back("In-house " + after.inhouse);
  }
  return lines;
}

std::vector<std::string> DescribeOnAir(const OnAirView& view) {
  std::vector<std::string> lines{"PS " + Quoted(view.ps),
                                 "PI " + view.pi,
                                 "PTY " + std::to_string(view.pty),
                                 "TP " + OnOff(view.tp),
                                 "TA " + OnOff(view.ta),
                                 "CT " + OnOff(view.ct),
                                 "Pilot " + OnOff(view.pilot),
                                 "RT " + Quoted(view.radiotext),
                                 RtPlusLine(view),
                                 "Clock " + ClockLine(view)};
  if (!view.inhouse.empty()) {
    lines.push_back("In-house " + view.inhouse);
  }
  return lines;
}

}  // namespace morvane::sim
