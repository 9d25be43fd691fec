#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/controller_state.h"
#include "app/events.h"
#include "app/file_reader.h"
#include "app/local_clock.h"
#include "app/notice_board.h"
#include "app/timer_switch.h"
#include "link/encoder_link.h"
#include "link/serial_port.h"
#include "link/sleeper.h"
#include "radiotext/radiotext_check.h"
#include "text/steady_time.h"
#include "text/text_encoding.h"
#include "ui/status_view.h"

namespace morvane {

// The outside world as the controller sees it.
struct Platform {
  SerialPort& port;
  Sleeper& sleeper;
  LocalClock& clock;
  FileReader& files;
  StatusView& view;
  TimerSwitch& timers;
  EventSink& events;
};

// Falling back to DefaultRadioText when the playout stops updating the metadata file: the
// setting, and what the metadata watcher keeps for it.
struct StaleRadioText {
  int minutes = 0;  // 0: off
  // When the metadata line last changed, on the monotonic clock.
  int64_t line_since_ms = 0;
  // DefaultRadioText is already on air for the current line (start-up sent it, or the line holds
  // the system marker, or the fallback came): nothing left to fall back to.
  bool default_on_air = true;
};

// What the main window owns for the life of the process: the record, the port and the controls.
// Operations and handlers are free functions that take it, named as the station knows them.
struct Controller {
  explicit Controller(const Platform& platform)
      : io(platform), link(platform.port, platform.sleeper), notices(platform.view) {}

  [[nodiscard]] std::string ExchangeCommand(std::string_view command, int waitMs) {
    return link.ExchangeCommand(command, waitMs);
  }
  void SetLabel(Label label, std::string_view text) { io.view.SetLabel(label, text); }
  void Report(EventKind kind, Severity severity, std::string text) {
    io.events.Report(Event{kind, severity, std::move(text)});
  }

  ControllerState state;
  // How the metadata and in-house lines are written; fixed by the configuration at start-up.
  TextEncoding text_encoding = TextEncoding::Rds;
  // Where start-up opened the port: a port that was lost is opened again the same way.
  PortAddress port_address;
  LineSettings line_settings;
  StaleRadioText stale;
  // Milliseconds on a clock that a change of the wall clock (summer time) does not move.
  std::function<int64_t()> steady_now_ms = SteadyNowMs;
  Platform io;
  EncoderLink link;
  // The one-line notice: what most needs the station's attention.
  NoticeBoard notices;
  // Beyond the record: what keeps the air right after a fault.
  RadioTextCheck radiotext_check;
  // Why the metadata file could not be read at the last check, while it cannot.
  std::optional<std::string> metadata_file_problem;
};

}  // namespace morvane
