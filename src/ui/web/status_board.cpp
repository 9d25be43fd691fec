#include "ui/web/status_board.h"

#include <optional>

namespace morvane {

namespace {

constexpr std::string_view kTagCommand = "RTP=";
constexpr std::size_t kTagFields = 6;
constexpr std::size_t kTagFieldDigits = 2;

// The six two-digit fields of a tag command ("RTP=04,00,05,01,09,04", CR optional).
[[nodiscard]] std::optional<std::array<int, kTagFields>> TagFields(std::string_view command) {
  if (command.substr(0, kTagCommand.size()) != kTagCommand) {
    return std::nullopt;
  }
  command.remove_prefix(kTagCommand.size());
  if (!command.empty() && command.back() == '\r') {
    command.remove_suffix(1);
  }
  if (command.size() != kTagFields * (kTagFieldDigits + 1) - 1) {
    return std::nullopt;
  }
  std::array<int, kTagFields> fields{};
  for (std::size_t i = 0; i < kTagFields; ++i) {
    const std::string_view field = command.substr(i * (kTagFieldDigits + 1), kTagFieldDigits);
    const std::size_t comma = (i + 1) * (kTagFieldDigits + 1) - 1;
    const bool separated = i + 1 == kTagFields || command[comma] == ',';
    if (!separated || field[0] < '0' || field[0] > '9' || field[1] < '0' || field[1] > '9') {
      return std::nullopt;
    }
    fields[i] = (field[0] - '0') * 10 + (field[1] - '0');
  }
  return fields;
}

}  // namespace

StatusBoard::StatusBoard(WallClock clock) : clock_(std::move(clock)) {
  for (const Label label : kAllLabels) {
    snapshot_.labels[static_cast<std::size_t>(label)] = std::string(CreationText(label));
  }
}

void StatusBoard::SetLabel(Label label, std::string_view text) {
  const double now = clock_();
  std::lock_guard lock(mutex_);
  snapshot_.labels[static_cast<std::size_t>(label)] = std::string(text);
  if (label == Label::lblLastTextCheck) {
    snapshot_.last_metadata_check = now;
  }
}

void StatusBoard::SetButtonCaption(std::string_view caption) {
  std::lock_guard lock(mutex_);
  snapshot_.button.caption = std::string(caption);
}

void StatusBoard::SetButtonEnabled(bool enabled) {
  std::lock_guard lock(mutex_);
  snapshot_.button.enabled = enabled;
}

void StatusBoard::SetButtonColour(ButtonColour colour) {
  std::lock_guard lock(mutex_);
  snapshot_.button.colour = colour;
}

void StatusBoard::SetRdsCharacters(bool rds_characters) {
  std::lock_guard lock(mutex_);
  snapshot_.rds_characters = rds_characters;
}

void StatusBoard::SetLink(std::string_view port, bool up) {
  std::lock_guard lock(mutex_);
  snapshot_.link.port = std::string(port);
  SetLinkUpLocked(up);
}

void StatusBoard::SetLinkUp(bool up) {
  std::lock_guard lock(mutex_);
  SetLinkUpLocked(up);
}

void StatusBoard::SetLinkUpLocked(bool up) {
  if (snapshot_.link.up != up || snapshot_.link.since == 0) {
    snapshot_.link.since = clock_();
  }
  snapshot_.link.up = up;
}

void StatusBoard::SetLinkCounters(uint64_t exchanges, uint64_t empty_answers) {
  std::lock_guard lock(mutex_);
  snapshot_.exchanges = exchanges;
  snapshot_.empty_answers = empty_answers;
}

void StatusBoard::NoteCommand(std::string_view written) {
  const std::optional<std::array<int, kTagFields>> fields = TagFields(written);
  if (!fields) {
    return;
  }
  std::vector<RtPlusItem> items;
  // Two tags of content type, start and length marker (the length minus one); type 0 is unused.
  for (std::size_t tag = 0; tag < 2; ++tag) {
    const int* field = fields->data() + tag * 3;
    if (field[0] != 0) {
      items.push_back({field[0], field[1], field[2] + 1});
    }
  }
  std::lock_guard lock(mutex_);
  snapshot_.rtplus = std::move(items);
}

void StatusBoard::Report(const Event& event) {
  const double now = clock_();
  std::lock_guard lock(mutex_);
  events_.push_back({++last_id_, now, event.kind, event.severity, event.text});
  if (events_.size() > kEventsKept) {
    events_.pop_front();
  }
  switch (event.kind) {
    case EventKind::RadioTextSent:
      ++snapshot_.radiotext_changes;
      break;
    case EventKind::PortLost:
      ++snapshot_.port_losses;
      break;
    default:
      break;
  }
}

StatusSnapshot StatusBoard::Snapshot() const {
  std::lock_guard lock(mutex_);
  return snapshot_;
}

std::vector<LoggedEvent> StatusBoard::EventsAfter(uint64_t after) const {
  std::lock_guard lock(mutex_);
  std::vector<LoggedEvent> newer;
  for (const LoggedEvent& event : events_) {
    if (event.id > after) {
      newer.push_back(event);
    }
  }
  return newer;
}

void BoardView::SetLabel(Label label, std::string_view text) {
  shown_.SetLabel(label, text);
  board_.SetLabel(label, text);
}

void BoardView::SetButtonCaption(std::string_view caption) {
  shown_.SetButtonCaption(caption);
  board_.SetButtonCaption(caption);
}

void BoardView::SetButtonEnabled(bool enabled) {
  shown_.SetButtonEnabled(enabled);
  board_.SetButtonEnabled(enabled);
}

void BoardView::SetButtonColour(ButtonColour colour) {
  shown_.SetButtonColour(colour);
  board_.SetButtonColour(colour);
}

}  // namespace morvane
