#include "sim/on_air.h"

#include <cstdio>

#include "text/rds_charset.h"
#include "text/text_helpers.h"

namespace morvane::sim {

namespace {

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

// A radio stops showing RadioText at the end code.
std::string UpToEndCode(const std::string& radiotext) {
  return radiotext.substr(0, radiotext.find('\x0D'));
}

}  // namespace

std::string ShowReceived(std::string_view bytes, ReceivedCharset charset) {
  return charset == ReceivedCharset::Latin1 ? Latin1ToUtf8(bytes) : RdsToUtf8(bytes);
}

std::string DescribeRtPlusItems(const std::string& radiotext, const std::array<RtPlusTag, 2>& tags,
                                ReceivedCharset charset) {
  std::string items;
  for (const RtPlusTag& tag : tags) {
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
  const std::string radiotext = UpToEndCode(s.radiotext);
  view.radiotext = ShowReceived(radiotext.substr(0, radiotext.find_last_not_of(' ') + 1), charset);
  view.rtplus = s.rtplus;
  view.rtplus_items = s.rtplus_running ? DescribeRtPlusItems(radiotext, s.rtplus, charset) : "";
  view.clock_sets = s.clock_sets;
  view.clock = FormatClock(s.clock.Now(now_ms));
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
  // Tags are judged when they change, not when the text under them does: the controller clears
  // and re-tags right after every new text.
  if (after.rtplus != before.rtplus)
    lines.push_back(RtPlusLine(after));
  if (after.clock_sets != before.clock_sets)
    lines.push_back("Clock set " + after.clock);
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
                                 "Clock " + view.clock};
  if (!view.inhouse.empty()) {
    lines.push_back("In-house " + view.inhouse);
  }
  return lines;
}

}  // namespace morvane::sim
