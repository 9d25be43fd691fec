#include "ui/web/status_documents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/version.h"
#include "ui/shown_text.h"

namespace morvane {

namespace {

constexpr int kArtist = 4;
constexpr int kTitle = 1;

[[nodiscard]] std::string_view KindName(EventKind kind) {
  switch (kind) {
    case EventKind::RadioTextSent:
      return "radiotext_sent";
    case EventKind::TrafficOn:
      return "traffic_on";
    case EventKind::TrafficOff:
      return "traffic_off";
    case EventKind::ClockSet:
      return "clock_set";
    case EventKind::InHouseStarted:
      return "inhouse_started";
    case EventKind::PortLost:
      return "port_lost";
    case EventKind::PortBack:
      return "port_back";
    case EventKind::EncoderSilent:
      return "encoder_silent";
    case EventKind::EncoderAnswering:
      return "encoder_answering";
    case EventKind::RadioTextMissed:
      return "radiotext_missed";
    case EventKind::RadioTextHeld:
      return "radiotext_held";
    case EventKind::MetadataFileFailed:
      return "metadata_file_failed";
    case EventKind::MetadataFileBack:
      return "metadata_file_back";
    case EventKind::Problem:
      return "problem";
  }
  return "";
}

[[nodiscard]] std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Notice:
      return "notice";
    case Severity::Info:
      return "info";
  }
  return "";
}

[[nodiscard]] std::string_view ItemName(int content_type) {
  switch (content_type) {
    case kArtist:
      return "artist";
    case kTitle:
      return "title";
    default:
      return "other";
  }
}

[[nodiscard]] std::string Bool(bool value) {
  return value ? "true" : "false";
}

// The RadioText in pieces, each marked with the RT+ item it belongs to. Tags that reach past the
// text are cut at its end; one that overlaps an earlier item marks nothing.
[[nodiscard]] std::string RadioTextParts(const StatusSnapshot& snapshot) {
  const std::string& text = snapshot.Text(Label::lblRT);
  std::vector<RtPlusItem> items = snapshot.rtplus;
  std::sort(items.begin(), items.end(),
            [](const RtPlusItem& a, const RtPlusItem& b) { return a.start < b.start; });
  std::string parts;
  std::size_t done = 0;
  auto add = [&](std::size_t from, std::size_t to, const RtPlusItem* item) {
    if (to <= from) {
      return;
    }
    const std::string shown = ShownText(
        Label::lblRT, std::string_view(text).substr(from, to - from), snapshot.rds_characters);
    parts += std::string(parts.empty() ? "" : ",") + "{\"text\":" + JsonString(shown);
    if (item != nullptr) {
      parts += ",\"item\":" + JsonString(ItemName(item->content_type));
    }
    parts += "}";
  };
  for (const RtPlusItem& item : items) {
    const auto start = static_cast<std::size_t>(item.start);
    if (start < done || start >= text.size() || item.length <= 0) {
      continue;
    }
    const std::size_t end = std::min(text.size(), start + static_cast<std::size_t>(item.length));
    add(done, start, nullptr);
    add(start, end, &item);
    done = end;
  }
  add(done, text.size(), nullptr);
  return "[" + parts + "]";
}

// One metric with its help and type lines; labels in braces, or empty.
void Metric(std::string& out, std::string_view name, std::string_view type, std::string_view help,
            const std::string& value, std::string_view labels = {}) {
  const std::string metric(name);
  out += "# HELP " + metric + " " + std::string(help) + "\n";
  out += "# TYPE " + metric + " " + std::string(type) + "\n";
  out += metric + std::string(labels) + " " + value + "\n";
}

}  // namespace

std::string JsonString(std::string_view utf8) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string IsoUtcTime(double seconds) {
  const auto whole = static_cast<std::time_t>(std::floor(seconds));
  std::tm utc{};
  gmtime_r(&whole, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string StatusJson(const StatusSnapshot& snapshot) {
  std::string labels;
  for (const Label label : kAllLabels) {
    labels += std::string(labels.empty() ? "" : ",") + JsonString(LabelName(label)) + ":" +
              JsonString(ShownText(label, snapshot.Text(label), snapshot.rds_characters));
  }
  const TrafficButtonState& button = snapshot.button;
  const LinkState& link = snapshot.link;
  return "{\"version\":" + JsonString(kVersionText) + ",\"labels\":{" + labels +
         "},\"traffic_button\":{\"caption\":" +
         JsonString(ShownText(Label::lblNotice, button.caption, false)) +
         ",\"enabled\":" + Bool(button.enabled) +
         ",\"colour\":" + JsonString(ButtonColourName(button.colour)) +
         "},\"link\":{\"port\":" + JsonString(ShownText(Label::lblNotice, link.port, false)) +
         ",\"up\":" + Bool(link.up) +
         ",\"since\":" + (link.since == 0 ? "null" : JsonString(IsoUtcTime(link.since))) +
         "},\"radio\":{\"ps\":" +
         JsonString(ShownText(Label::lblPS, snapshot.Text(Label::lblPS), snapshot.rds_characters)) +
         ",\"radiotext\":" + RadioTextParts(snapshot) + "}}";
}

std::string EventsJson(const std::vector<LoggedEvent>& events, bool rds_characters) {
  std::string list;
  for (const LoggedEvent& event : events) {
    list += std::string(list.empty() ? "" : ",") + "{\"id\":" + std::to_string(event.id) +
            ",\"time\":" + JsonString(IsoUtcTime(event.at)) +
            ",\"kind\":" + JsonString(KindName(event.kind)) +
            ",\"severity\":" + JsonString(SeverityName(event.severity)) +
            ",\"text\":" + JsonString(ShownText(Label::lblRT, event.text, rds_characters)) + "}";
  }
  return "{\"events\":[" + list + "]}";
}

std::string MetricsText(const StatusSnapshot& snapshot) {
  std::string out;
  Metric(out, "rdsmorvane_link_up", "gauge", "1 while the encoder's port is open.",
         snapshot.link.up ? "1" : "0");
  Metric(out, "rdsmorvane_port_losses_total", "counter", "Times the encoder's port was lost.",
         std::to_string(snapshot.port_losses));
  Metric(out, "rdsmorvane_exchanges_total", "counter", "Commands exchanged with the encoder.",
         std::to_string(snapshot.exchanges));
  Metric(out, "rdsmorvane_empty_answers_total", "counter", "Exchanges the encoder did not answer.",
         std::to_string(snapshot.empty_answers));
  Metric(out, "rdsmorvane_radiotext_changes_total", "counter", "RadioTexts put on air.",
         std::to_string(snapshot.radiotext_changes));
  Metric(out, "rdsmorvane_traffic_active", "gauge",
         "1 while the encoder reports a traffic announcement.",
         snapshot.button.colour == ButtonColour::Red ? "1" : "0");
  char check[32];
  std::snprintf(check, sizeof check, "%.3f", snapshot.last_metadata_check);
  Metric(out, "rdsmorvane_last_metadata_check_timestamp_seconds", "gauge",
         "When the metadata line was last checked, 0 before the first check.", check);
  Metric(out, "rdsmorvane_build_info", "gauge", "The program's version, as a label.", "1",
         "{version=\"" + std::string(kVersionText) + "\"}");
  return out;
}

}  // namespace morvane
