#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/controller.h"

namespace morvane::testing {

// Virtual time in microseconds: only the fake port's waits move it.
struct VirtualTime {
  int64_t now_us = 0;
};

// One thing that happened on the fake wire, in order.
struct WireEvent {
  enum class Kind { Read, Write, Sleep };
  Kind kind;
  int64_t at_us = 0;
  std::string bytes;  // written, or returned by a read
  int wait_ms = 0;    // for Sleep
};

// A written command and the wait that followed it before anything else was written.
struct SentCommand {
  std::string bytes;
  int wait_ms = 0;
  bool operator==(const SentCommand& o) const { return bytes == o.bytes && wait_ms == o.wait_ms; }
};
void PrintTo(const SentCommand& command, std::ostream* os);

// A scripted encoder behind a serial port. The responder sees each written command and returns
// the bytes the encoder sends back, which arrive answer_delay_us later. Time passes only while
// the controller waits for it.
class FakeEncoderPort : public SerialPort, public Sleeper {
 public:
  using Responder = std::function<std::string(const std::string& command)>;

  FakeEncoderPort(VirtualTime& time, std::vector<WireEvent>& log) : time_(time), log_(log) {}

  std::optional<std::string> Open(const PortAddress& address,
                                  const LineSettings& settings) override;
  void Close() override { open = false; }
  bool Write(std::string_view bytes) override;
  std::optional<std::string> ReadAll() override;
  void SleepMs(int milliseconds) override;

  // Bytes the encoder sends unasked, arriving after delay_us.
  void Inject(std::string bytes, int64_t delay_us = 0) {
    in_flight_.emplace_back(time_.now_us + delay_us, std::move(bytes));
  }

  Responder responder;
  int64_t answer_delay_us = 1000;
  std::optional<std::string> open_error;
  bool fail_writes = false;
  bool fail_reads = false;
  // A closed port fails at once, as the real one does; nothing reaches the wire then.
  bool fail_when_closed = false;
  int open_attempts = 0;

  bool open = false;
  std::optional<PortAddress> opened_address;
  std::optional<LineSettings> opened_settings;

 private:
  VirtualTime& time_;
  std::vector<WireEvent>& log_;
  std::deque<std::pair<int64_t, std::string>> in_flight_;
};

// The PIRA32 way of answering: the echoed command line, CR LF, the value, CR LF.
[[nodiscard]] std::string Pira32Answer(const std::string& command_line, const std::string& value);
// Answers the queries in values (keyed by command text without CR), everything else with "OK".
[[nodiscard]] FakeEncoderPort::Responder Pira32Responder(std::map<std::string, std::string> values);
// A PIRA32 that holds the RadioText of the last "RT1=" (64 characters at most) and the flag of
// the last "TA=", and answers "RT1" and "TA" with them; the rest as Pira32Responder(values).
[[nodiscard]] FakeEncoderPort::Responder HoldingPira32Responder(
    std::map<std::string, std::string> values = {});
// PIRA micro read answers keyed by address: two leading bytes, the data, FF.
[[nodiscard]] FakeEncoderPort::Responder FrameResponder(std::map<uint8_t, std::string> data);

// Local time that starts at a set moment and moves with virtual time.
class FakeClock : public LocalClock {
 public:
  explicit FakeClock(VirtualTime& time) : time_(time) {}
  LocalTime Now() override;
  int64_t SteadyMs() override { return time_.now_us / 1000; }
  void Set(const LocalTime& at) { base_ = at, base_us_ = time_.now_us; }

 private:
  VirtualTime& time_;
  LocalTime base_{2026, 3, 5, 14, 0, 0};
  int64_t base_us_ = 0;
};

// A missing file fails with "No such file or directory", an unreadable one "Permission denied";
// every serial device is usable unless device_problems names it.
class FakeFiles : public FileReader {
 public:
  FileRead ReadPrefix(const std::string& path, std::size_t max_bytes) override;
  std::vector<std::string> ListDirectory(const std::string& path) override;
  std::optional<std::string> SerialDeviceProblem(const std::string& path) override {
    const auto it = device_problems.find(path);
    return it == device_problems.end() ? std::nullopt : std::optional<std::string>(it->second);
  }

  std::map<std::string, std::string> files;  // full path -> content
  std::set<std::string> unreadable;
  std::map<std::string, std::string> device_problems;
  std::vector<std::string> reads;  // every path asked for, in order
};

class FakeView : public StatusView {
 public:
  FakeView();
  void SetLabel(Label label, std::string_view text) override {
    labels[label] = std::string(text), label_history.emplace_back(label, std::string(text));
  }
  void SetButtonCaption(std::string_view text) override { caption = std::string(text); }
  void SetButtonEnabled(bool on) override { enabled = on; }
  void SetButtonColour(ButtonColour c) override { colour = c; }

  [[nodiscard]] const std::string& Text(Label label) const { return labels.at(label); }
  // Every text a label was set to, in order.
  [[nodiscard]] std::vector<std::string> History(Label label) const;

  std::map<Label, std::string> labels;
  std::vector<std::pair<Label, std::string>> label_history;
  std::string caption{kTrafficUnavailable};
  bool enabled = false;
  ButtonColour colour = ButtonColour::ButtonFace;
};

class FakeTimers : public TimerSwitch {
 public:
  void SetEnabled(Timer timer, bool on) override {
    enabled[timer] = on, history.emplace_back(timer, on);
  }
  [[nodiscard]] bool IsOn(Timer timer) const { return enabled.at(timer); }

  // As the window creates them: all but the in-house timer run from the start.
  std::map<Timer, bool> enabled = {{Timer::tmrTextCheck, true},
                                   {Timer::tmrTAtimeout, true},
                                   {Timer::tmrClockCheck, true},
                                   {Timer::tmrInHouse, false}};
  std::vector<std::pair<Timer, bool>> history;
};

// Every event reported, in order.
class FakeEvents : public EventSink {
 public:
  void Report(const Event& event) override { events.push_back(event); }
  // What the station engineer was told: every event's text but the ordinary course of the day.
  [[nodiscard]] std::vector<std::string> Told() const;
  std::vector<Event> events;
};

// Everything a controller needs, faked, with the controller itself.
struct Rig {
  Rig() : controller(Platform{port, sleeper, clock, files, view, timers, events}) {}

  // Written commands with the wait that followed each.
  [[nodiscard]] std::vector<SentCommand> Sent() const;
  // Only the bytes written, in order.
  [[nodiscard]] std::vector<std::string> Writes() const;
  // Sum of every wait since the log began.
  [[nodiscard]] int TotalWaitMs() const;
  void ClearLog() { log.clear(); }

  VirtualTime time;
  std::vector<WireEvent> log;
  FakeEncoderPort port{time, log};
  Sleeper& sleeper = port;
  FakeClock clock{time};
  FakeFiles files;
  FakeView view;
  FakeTimers timers;
  FakeEvents events;
  Controller controller;
  ControllerState& state = controller.state;
};

}  // namespace morvane::testing
