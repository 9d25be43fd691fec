#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/pty_server.h"

namespace morvane::e2e {

// A command as the emulated encoder received it, and when (steady clock, ms).
struct Received {
  sim::Command command;
  int64_t at_ms = 0;
};

// The encoder emulator serving a pseudo-terminal on a thread of this process.
class EmulatedEncoder {
 public:
  // link_path, when given, is a symlink to the pseudo-terminal, removed with the emulator.
  explicit EmulatedEncoder(sim::Dialect dialect, std::string link_path = {});
  ~EmulatedEncoder();

  [[nodiscard]] const std::string& device() const { return server_->device_path(); }
  [[nodiscard]] std::vector<Received> Commands() const;
  [[nodiscard]] std::vector<std::string> OnAir() const;
  // Waits up to timeout_ms for the predicate over the received commands; true when it held.
  bool WaitForCommands(const std::function<bool(const std::vector<Received>&)>& done,
                       int timeout_ms) const;
  // Waits for an on-air line equal to line, seen after the first `skip` lines.
  bool WaitForOnAir(const std::string& line, int timeout_ms, std::size_t skip = 0) const;

 private:
  mutable std::mutex mutex_;
  std::vector<Received> commands_;
  std::vector<std::string> on_air_;
  std::unique_ptr<sim::PtyEncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A temporary working directory for one run of the program, removed at the end.
class WorkDir {
 public:
  WorkDir();
  ~WorkDir();
  [[nodiscard]] const std::string& path() const { return path_; }
  // Writes the file at once, as a whole (written aside, then renamed into place).
  void Write(const std::string& name, const std::string& content) const;
  [[nodiscard]] std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

// The configuration keys of a station; COMport is the emulator's device.
struct StationConfig {
  std::string encoder_type = "PIRA32";
  std::string default_radiotext = "Radio Morvane";
  std::string traffic_radiotext = "Traffic news";
  std::string traffic_meta = "TRAFFIC";
  std::string ta_max_timeout = "2";  // minutes
  std::string rtplus = "1";
  std::string rtplus_prefix_line = "RTplusPrefix=";
  std::string rtplus_split_line = "RTplusSplit= - ";
};
[[nodiscard]] std::string StationIni(const StationConfig& config, const std::string& device);

// rdsmorvane --headless running in a working directory; SIGTERM when it goes out of scope.
class ControllerProcess {
 public:
  explicit ControllerProcess(const WorkDir& dir);
  ~ControllerProcess();

  [[nodiscard]] bool Running();
  // What the operator types on its standard input ("t\n" clicks the traffic button).
  void Type(const std::string& text);
  [[nodiscard]] std::string Output() const;
  bool WaitForOutput(const std::string& text, int timeout_ms) const;

 private:
  const WorkDir& dir_;
  pid_t pid_ = -1;
  int stdin_fd_ = -1;
};

[[nodiscard]] int64_t NowMs();
void SleepMs(int ms);

}  // namespace morvane::e2e
