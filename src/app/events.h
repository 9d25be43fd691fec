#pragma once

#include <string>

namespace morvane {

// How much a station engineer needs to know of an event: errors leave the air wrong until
// mended (a lost port), warnings may (a metadata file that cannot be read), notices say that
// something came right again; the rest is the ordinary course of the day.
enum class Severity { Error, Warning, Notice, Info };

enum class EventKind {
  RadioTextSent,
  TrafficOn,
  TrafficOff,
  ClockSet,
  InHouseStarted,
  PortLost,
  PortBack,
  EncoderSilent,
  EncoderAnswering,
  RadioTextMissed,
  RadioTextHeld,
  MetadataFileFailed,
  MetadataFileBack,
  Problem,
};

struct Event {
  EventKind kind;
  Severity severity;
  std::string text;
};

// Where the controller tells what it did and what went wrong: the service's log, and whoever
// else watches (the web status page).
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void Report(const Event& event) = 0;
};

}  // namespace morvane
