#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../support/temp_directory.h"
#include "sim/encoder_server.h"
#include "sim/pty_transport.h"
#include "sim/tcp_transport.h"

namespace morvane::e2e {

// Polls done until it holds or timeout_ms have passed; true when it held.
inline bool Eventually(const std::function<bool()>& done, int timeout_ms) {
  for (const int64_t deadline = SteadyNowMs() + timeout_ms; !done();) {
    if (SteadyNowMs() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A command as the emulated encoder received it (a frame in hex), or an on-air line, and when.
struct Received {
  std::string text;
  int64_t at_ms = 0;
};

// Index of the first command whose text is text, at or after from; commands.size() if none.
inline std::size_t IndexOf(const std::vector<Received>& commands, const std::string& text,
                           std::size_t from = 0) {
  return std::find_if(
             commands.begin() + static_cast<std::ptrdiff_t>(std::min(from, commands.size())),
             commands.end(), [&](const Received& r) { return r.text == text; }) -
         commands.begin();
}

inline bool Has(const std::vector<Received>& list, const std::string& text, std::size_t from) {
  return IndexOf(list, text, from) < list.size();
}

// The encoder emulator serving its line on a thread of this process.
class EmulatedEncoder {
 public:
  EmulatedEncoder(sim::Dialect dialect, std::unique_ptr<sim::Transport> transport) {
    sim::SimOptions options;
    options.dialect = dialect;
    sim::ServerHooks hooks;
    hooks.on_command = [this](const sim::Command& command, int64_t at_ms) {
      const std::lock_guard<std::mutex> lock(mutex_);
      commands_.push_back({sim::DescribeCommand(command), at_ms});
    };
    hooks.on_air = [this](const std::string& line) {
      const std::lock_guard<std::mutex> lock(mutex_);
      on_air_.push_back({line, SteadyNowMs()});
    };
    server_ = std::make_unique<sim::EncoderServer>(options, hooks, std::move(transport));
    thread_ = std::thread([this] { server_->Serve(stop_); });
  }
  ~EmulatedEncoder() {
    stop_.store(true);
    thread_.join();
  }
  [[nodiscard]] std::vector<Received> Commands() const { return Copy(commands_); }
  // What radios show, a line for each change a listener notices, and when.
  [[nodiscard]] std::vector<Received> OnAir() const { return Copy(on_air_); }
  // Waits for a command whose text is text, at or after index from; true when it came.
  bool WaitForCommand(const std::string& text, int timeout_ms, std::size_t from = 0) const {
    return Eventually([&] { return Has(Commands(), text, from); }, timeout_ms);
  }
  // Waits for an on-air line equal to line, at or after index from.
  bool WaitForOnAir(const std::string& line, int timeout_ms, std::size_t from = 0) const {
    return Eventually([&] { return Has(OnAir(), line, from); }, timeout_ms);
  }

 private:
  [[nodiscard]] std::vector<Received> Copy(const std::vector<Received>& list) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return list;
  }

  mutable std::mutex mutex_;
  std::vector<Received> commands_;
  std::vector<Received> on_air_;
  std::unique_ptr<sim::EncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// `sh -c "exec command"` in a working directory and a process group of its own (its helpers end
// with it), its output in a file there; SIGTERM when it goes out of scope.
class Process {
 public:
  Process(const std::string& dir, const std::string& command, const std::string& output)
      : output_path_(dir + "/" + output) {
    signal(SIGPIPE, SIG_IGN);  // a program that died must fail the test, not end it
    const std::string line = "exec " + command + " >" + output + " 2>&1";
    int input[2];
    if (pipe(input) != 0 || (pid_ = fork()) < 0) {
      throw std::runtime_error("cannot start " + command);
    }
    if (pid_ == 0) {  // only async-signal-safe calls between fork and exec
      setpgid(0, 0);
      dup2(input[0], STDIN_FILENO);
      close(input[1]);
      if (chdir(dir.c_str()) == 0) {
        execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
      }
      _exit(127);
    }
    close(input[0]);
    stdin_fd_ = input[1];
  }
  ~Process() {
    if (Running()) {
      kill(-pid_, SIGTERM);
      if (!Eventually([this] { return !Running(); }, 3000)) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
    }
    close(stdin_fd_);
  }
  [[nodiscard]] bool Running() {
    int status = 0;
    if (pid_ >= 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pid_ = -1;
    }
    return pid_ >= 0;
  }
  // Its exit status once it has ended by itself, -1 while it runs on after timeout_ms.
  int WaitForExit(int timeout_ms) {
    return Eventually([this] { return !Running(); }, timeout_ms) ? exit_status_ : -1;
  }
  // What the operator types on its standard input ("t\n" clicks the controller's traffic button).
  void Type(const std::string& text) const { (void)!write(stdin_fd_, text.data(), text.size()); }
  [[nodiscard]] std::string Output() const {
    std::ostringstream text;
    text << std::ifstream(output_path_, std::ios::binary).rdbuf();
    return text.str();
  }
  // Waits for text in the output, after the first `after` when that is given.
  bool WaitForOutput(const std::string& text, int timeout_ms, const std::string& after = {}) const {
    return Eventually(
        [&] {
          const std::string output = Output();
          const std::size_t start = output.find(after);
          return start != std::string::npos &&
                 output.find(text, start + after.size()) != std::string::npos;
        },
        timeout_ms);
  }

 private:
  std::string output_path_;
  pid_t pid_ = -1;
  int exit_status_ = -1;
  int stdin_fd_ = -1;
};

// How the program reaches the emulated encoder: a pseudo-terminal, or TCP over loopback.
enum class Line { Pty, Tcp };

// One station in a temporary working directory: the emulated encoder on line_, behind a symlink
// there or on a loopback TCP port (so that it can go away and come back at the same address), and
// the program; its output is shown when the test fails.
class StationTest : public ::testing::Test {
 protected:
  static constexpr int kStartupTimeoutMs = 15000;

  // Writes the file at once, as a whole (written aside, then renamed into place).
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_.PathOf(name) + ".new", std::ios::binary) << content;
    std::filesystem::rename(dir_.PathOf(name) + ".new", dir_.PathOf(name));
  }
  // The encoder, then the program with the station's own keys (each ended by CR LF) before a
  // PIRA32 setup with RT+ on, no prefix, " - " between artist and title, the marker "TRAFFIC".
  void Start(sim::Dialect dialect, const std::string& keys = {}) {
    encoder_ = NewEncoder(dialect);
    StartController(PortName(), keys);
  }
  // The program alone, with COMport=com_port.
  void StartController(const std::string& com_port, const std::string& keys = {}) {
    Write(
        "RDSmorvane.ini",
        "[RDSmorvane]\r\n" + keys + "COMport=" + com_port +
            "\r\nCOMsettings=9600,N,8,1\r\nEncoderType=PIRA32\r\nDefaultRadioText=Radio Morvane\r\n"
            "TrafficRadioText=Traffic news\r\nTAMaxTimeout=2\r\nTrafficMeta=TRAFFIC\r\nRTplus=1\r\n"
            "MetadataFile=metadata.txt\r\nRTplusPrefix=\r\nRTplusSplit= - \r\n");
    controller_ = std::make_unique<Process>(
        dir_.path(), std::string("\"") + RDSMORVANE_PROGRAM + "\" --headless --verbose",
        "controller.out");
  }
  // An encoder at the station's address, the same every time.
  [[nodiscard]] std::unique_ptr<EmulatedEncoder> NewEncoder(sim::Dialect dialect) {
    if (line_ == Line::Pty) {
      return std::make_unique<EmulatedEncoder>(
          dialect, std::make_unique<sim::PtyTransport>(dir_.PathOf("encoder")));
    }
    auto tcp = std::make_unique<sim::TcpTransport>("127.0.0.1", tcp_port_);
    tcp_port_ = tcp->port();
    return std::make_unique<EmulatedEncoder>(dialect, std::move(tcp));
  }
  // The encoder's address as COMport gives it.
  [[nodiscard]] std::string PortName() const {
    return line_ == Line::Pty ? dir_.PathOf("encoder")
                              : "tcp://127.0.0.1:" + std::to_string(tcp_port_);
  }
  // Puts a new first line into the metadata file; returns when it was written.
  int64_t NewTitle(const std::string& line) {
    Write("metadata.txt", line + "\r\n");
    return SteadyNowMs();
  }
  void TearDown() override {
    if (HasFailure() && controller_) {
      std::fprintf(stderr, "controller output:\n%s\n", controller_->Output().c_str());
    }
    controller_.reset();
    encoder_.reset();
  }

  testing::TempDirectory dir_;
  Line line_ = Line::Pty;
  uint16_t tcp_port_ = 0;  // 0 until the first encoder has taken a free port
  std::unique_ptr<EmulatedEncoder> encoder_;
  std::unique_ptr<Process> controller_;  // rdsmorvane --headless --verbose
};

}  // namespace morvane::e2e
