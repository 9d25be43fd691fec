#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/events.h"
#include "ui/status_view.h"

namespace morvane {

// Wall-clock time in seconds since 1970-01-01 UTC.
using WallClock = std::function<double()>;

struct TrafficButtonState {
  std::string caption{kTrafficUnavailable};
  bool enabled = false;
  ButtonColour colour = ButtonColour::ButtonFace;
};

struct LinkState {
  std::string port;
  bool up = false;
  double since = 0;  // when up last changed; 0 before the port was first opened
};

// One RT+ item as the encoder was last told to tag it: a content type (4 artist, 1 title) and the
// characters of the RadioText it marks.
struct RtPlusItem {
  int content_type = 0;
  int start = 0;
  int length = 0;
  bool operator==(const RtPlusItem& other) const {
    return content_type == other.content_type && start == other.start && length == other.length;
  }
};

// Everything the web shows of the controller at one moment.
struct StatusSnapshot {
  // Label texts as the controller set them, bytes of the encoder or of the metadata file.
  std::array<std::string, std::size(kAllLabels)> labels;
  // PS and RadioText are in the RDS character set (the titles are converted into it).
  bool rds_characters = false;
  TrafficButtonState button;
  LinkState link;
  std::vector<RtPlusItem> rtplus;
  double last_metadata_check = 0;  // 0: never
  uint64_t exchanges = 0;
  uint64_t empty_answers = 0;
  uint64_t port_losses = 0;
  uint64_t radiotext_changes = 0;

  [[nodiscard]] const std::string& Text(Label label) const {
    return labels[static_cast<std::size_t>(label)];
  }
};

struct LoggedEvent {
  uint64_t id = 0;
  double at = 0;
  EventKind kind = EventKind::Problem;
  Severity severity = Severity::Info;
  std::string text;
};

// The web answers from what is kept here, so it never waits for the controller, which may sleep
// seconds inside an exchange. The controller's thread writes, the web's threads copy out; every
// change is visible at once.
class StatusBoard : public EventSink {
 public:
  static constexpr std::size_t kEventsKept = 200;

  explicit StatusBoard(WallClock clock);

  void SetLabel(Label label, std::string_view text);
  void SetButtonCaption(std::string_view caption);
  void SetButtonEnabled(bool enabled);
  void SetButtonColour(ButtonColour colour);
  void SetRdsCharacters(bool rds_characters);
  void SetLink(std::string_view port, bool up);
  void SetLinkUp(bool up);
  void SetLinkCounters(uint64_t exchanges, uint64_t empty_answers);
  // Every command written to the encoder: its RT+ tag commands say what a radio marks.
  void NoteCommand(std::string_view written);
  // Kept in the list (the oldest dropped beyond kEventsKept) and counted.
  void Report(const Event& event) override;

  [[nodiscard]] StatusSnapshot Snapshot() const;
  // The kept events whose id is above after, oldest first.
  [[nodiscard]] std::vector<LoggedEvent> EventsAfter(uint64_t after) const;

 private:
  void SetLinkUpLocked(bool up);

  WallClock clock_;
  mutable std::mutex mutex_;
  StatusSnapshot snapshot_;
  std::deque<LoggedEvent> events_;
  uint64_t last_id_ = 0;
};

// The status view the controller writes to: the real window or console, and the board beside it.
class BoardView : public StatusView {
 public:
  BoardView(StatusView& shown, StatusBoard& board) : shown_(shown), board_(board) {}

  void SetLabel(Label label, std::string_view text) override;
  void SetButtonCaption(std::string_view caption) override;
  void SetButtonEnabled(bool enabled) override;
  void SetButtonColour(ButtonColour colour) override;

 private:
  StatusView& shown_;
  StatusBoard& board_;
};

}  // namespace morvane
