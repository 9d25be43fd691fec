#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/encoder_server.h"

namespace morvane::e2e {

// A command as the emulated encoder received it (a line as it came, bytes outside ASCII as
// \xNN; a frame in hex), and when (steady clock, ms).
struct Received {
  std::string text;
  int64_t at_ms = 0;
};

// Index of the first command whose text is text, at or after from; commands.size() if none.
[[nodiscard]] std::size_t IndexOf(const std::vector<Received>& commands, const std::string& text,
                                  std::size_t from = 0);
// Polls done until it holds or timeout_ms have passed; true when it held.
bool Eventually(const std::function<bool()>& done, int timeout_ms);

// How the program reaches the emulated encoder: a pseudo-terminal, or TCP over loopback.
enum class Line { Pty, Tcp };

// The encoder emulator serving its line on a thread of this process.
class EmulatedEncoder {
 public:
  EmulatedEncoder(sim::Dialect dialect, std::unique_ptr<sim::Transport> transport);
  ~EmulatedEncoder();

  [[nodiscard]] std::vector<Received> Commands() const;
  [[nodiscard]] std::vector<std::string> OnAir() const;
  // Waits for a command whose text is text, at or after index from; true when it came.
  bool WaitForCommand(const std::string& text, int timeout_ms, std::size_t from = 0) const;
  // Waits for an on-air line equal to line, seen after the first `skip` lines.
  bool WaitForOnAir(const std::string& line, int timeout_ms, std::size_t skip = 0) const;

 private:
  mutable std::mutex mutex_;
  std::vector<Received> commands_;
  std::vector<std::string> on_air_;
  std::unique_ptr<sim::EncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// rdsmorvane --headless --verbose (every metadata check shown) running in a working directory;
// SIGTERM when it goes out of scope.
class ControllerProcess {
 public:
  explicit ControllerProcess(const std::string& dir);
  ~ControllerProcess();

  [[nodiscard]] bool Running();
  // Its exit status once it has ended by itself, -1 while it runs on after timeout_ms.
  int WaitForExit(int timeout_ms);
  // What the operator types on its standard input ("t\n" clicks the traffic button).
  void Type(const std::string& text);
  // Standard output and error together.
  [[nodiscard]] std::string Output() const;
  // Waits for text in the output, after the first `after` when that is given.
  bool WaitForOutput(const std::string& text, int timeout_ms, const std::string& after = {}) const;

 private:
  std::string output_path_;
  pid_t pid_ = -1;
  int exit_status_ = -1;
  int stdin_fd_ = -1;
};

// The station's own keys; the rest is a PIRA32-style setup with RT+ on, no prefix, " - " between
// artist and title, and the traffic marker "TRAFFIC".
struct StationConfig {
  std::string encoder_type = "PIRA32";
  std::string default_radiotext = "Radio Morvane";
  std::string extra_lines;  // more keys, each ended by CR LF
};

// One station in a temporary working directory: the emulated encoder on line_, behind a symlink
// there or on a loopback TCP port (so that it can go away and come back at the same address), and
// the program; its output and the commands received are shown when the test fails.
class StationTest : public ::testing::Test {
 protected:
  static constexpr int kStartupTimeoutMs = 15000;

  StationTest();
  ~StationTest() override;
  // Writes the file at once, as a whole (written aside, then renamed into place).
  void Write(const std::string& name, const std::string& content) const;
  void Start(sim::Dialect dialect, const StationConfig& config);
  // The program alone, with COMport=com_port.
  void StartController(const StationConfig& config, const std::string& com_port);
  // An encoder at the station's address, the same every time.
  [[nodiscard]] std::unique_ptr<EmulatedEncoder> NewEncoder(sim::Dialect dialect);
  // The encoder's address as COMport gives it.
  [[nodiscard]] std::string PortName() const;
  // Puts a new first line into the metadata file; returns when it was written.
  int64_t NewTitle(const std::string& line);
  void TearDown() override;

  std::string dir_;
  Line line_ = Line::Pty;
  uint16_t tcp_port_ = 0;  // 0 until the first encoder has taken a free port
  std::unique_ptr<EmulatedEncoder> encoder_;
  std::unique_ptr<ControllerProcess> controller_;
};

}  // namespace morvane::e2e
