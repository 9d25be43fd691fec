#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/events.h"
#include "link/serial_port.h"
#include "ui/web/status_board.h"

namespace morvane {

// The controller's events go to the log as before and onto the board.
class EventTee : public EventSink {
 public:
  EventTee(EventSink& log, StatusBoard& board) : log_(log), board_(board) {}
  void Report(const Event& event) override {
    log_.Report(event);
    board_.Report(event);
  }

 private:
  EventSink& log_;
  StatusBoard& board_;
};

// The encoder's port, with whether it is open and every command written noted on the board: the
// RT+ tags a radio marks are the last ones the encoder was given. after_write runs on the
// controller's thread.
class NotingPort : public SerialPort {
 public:
  NotingPort(SerialPort& port, StatusBoard& board, std::function<void()> after_write)
      : port_(port), board_(board), after_write_(std::move(after_write)) {}

  [[nodiscard]] std::optional<std::string> Open(const PortAddress& address,
                                                const LineSettings& settings) override {
    std::optional<std::string> error = port_.Open(address, settings);
    board_.SetLinkUp(!error);
    return error;
  }
  void Close() override {
    port_.Close();
    board_.SetLinkUp(false);
  }
  [[nodiscard]] bool Write(std::string_view bytes) override {
    const bool written = port_.Write(bytes);
    if (written) {
      board_.NoteCommand(bytes);
    }
    after_write_();
    return written;
  }
  [[nodiscard]] std::optional<std::string> ReadAll() override { return port_.ReadAll(); }

 private:
  SerialPort& port_;
  StatusBoard& board_;
  std::function<void()> after_write_;
};

}  // namespace morvane
