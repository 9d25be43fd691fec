#include "station.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "sim/pty_transport.h"
#include "sim/tcp_transport.h"

namespace morvane::e2e {

namespace {

constexpr int kPollMs = 10;
constexpr int kStopGraceMs = 3000;

std::string StationIni(const StationConfig& config, const std::string& device) {
  std::string ini = "[RDSmorvane]\r\nCOMsettings=9600,N,8,1\r\nCOMport=" + device + "\r\n";
  for (const std::string& line :
       {"EncoderType=" + config.encoder_type, "DefaultRadioText=" + config.default_radiotext,
        std::string("TrafficRadioText=Traffic news"), std::string("TAMaxTimeout=2"),
        std::string("TrafficMeta=TRAFFIC"), std::string("RTplus=1"),
        std::string("MetadataFile=metadata.txt"), std::string("RTplusPrefix="),
        std::string("RTplusSplit= - ")}) {
    ini += line + "\r\n";
  }
  return ini + config.extra_lines;
}

}  // namespace

bool Eventually(const std::function<bool()>& done, int timeout_ms) {
  for (const int64_t deadline = SteadyNowMs() + timeout_ms; !done();) {
    if (SteadyNowMs() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return true;
}

std::size_t IndexOf(const std::vector<Received>& commands, const std::string& text,
                    std::size_t from) {
  for (std::size_t i = from; i < commands.size(); ++i) {
    if (commands[i].text == text) {
      return i;
    }
  }
  return commands.size();
}

EmulatedEncoder::EmulatedEncoder(sim::Dialect dialect, std::unique_ptr<sim::Transport> transport) {
  sim::SimOptions options;
  options.dialect = dialect;
  sim::ServerHooks hooks;
  hooks.on_command = [this](const sim::Command& command, int64_t at_ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.push_back({sim::DescribeCommand(command), at_ms});
  };
  hooks.on_air = [this](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    on_air_.push_back(line);
  };
  server_ = std::make_unique<sim::EncoderServer>(options, hooks, std::move(transport));
  thread_ = std::thread([this] { server_->Serve(stop_); });
}

EmulatedEncoder::~EmulatedEncoder() {
  stop_.store(true);
  thread_.join();
}

std::vector<Received> EmulatedEncoder::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

std::vector<std::string> EmulatedEncoder::OnAir() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return on_air_;
}

bool EmulatedEncoder::WaitForCommand(const std::string& text, int timeout_ms,
                                     std::size_t from) const {
  return Eventually(
      [&] {
        const std::vector<Received> commands = Commands();
        return IndexOf(commands, text, from) < commands.size();
      },
      timeout_ms);
}

bool EmulatedEncoder::WaitForOnAir(const std::string& line, int timeout_ms,
                                   std::size_t skip) const {
  return Eventually(
      [&] {
        const std::vector<std::string> lines = OnAir();
        return std::find(lines.begin() + static_cast<std::ptrdiff_t>(std::min(skip, lines.size())),
                         lines.end(), line) != lines.end();
      },
      timeout_ms);
}

ControllerProcess::ControllerProcess(const std::string& dir)
    : output_path_(dir + "/controller.out") {
  signal(SIGPIPE, SIG_IGN);  // a controller that died must fail the test, not end it
  int input[2];
  if (pipe(input) != 0 || (pid_ = fork()) < 0) {
    throw std::runtime_error("cannot start the program");
  }
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int out = open(output_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(dir.c_str()) != 0) {
      _exit(127);
    }
    dup2(input[0], STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    close(input[1]);
    char program[] = RDSMORVANE_PROGRAM;
    char headless[] = "--headless";
    char verbose[] = "--verbose";
    char* argv[] = {program, headless, verbose, nullptr};
    execv(program, argv);
    _exit(127);
  }
  close(input[0]);
  stdin_fd_ = input[1];
}

ControllerProcess::~ControllerProcess() {
  if (Running()) {
    kill(pid_, SIGTERM);
    if (!Eventually([this] { return !Running(); }, kStopGraceMs)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  close(stdin_fd_);
}

bool ControllerProcess::Running() {
  int status = 0;
  if (pid_ >= 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
    exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
  }
  return pid_ >= 0;
}

int ControllerProcess::WaitForExit(int timeout_ms) {
  return Eventually([this] { return !Running(); }, timeout_ms) ? exit_status_ : -1;
}

void ControllerProcess::Type(const std::string& text) {
  (void)!write(stdin_fd_, text.data(), text.size());
}

std::string ControllerProcess::Output() const {
  std::ifstream in(output_path_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ControllerProcess::WaitForOutput(const std::string& text, int timeout_ms,
                                      const std::string& after) const {
  return Eventually(
      [&] {
        const std::string output = Output();
        const std::size_t start = output.find(after);
        return start != std::string::npos &&
               output.find(text, start + after.size()) != std::string::npos;
      },
      timeout_ms);
}

StationTest::StationTest() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rdsmorvane-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary directory");
  }
  dir_ = pattern;
}

StationTest::~StationTest() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void StationTest::Write(const std::string& name, const std::string& content) const {
  const std::string target = dir_ + "/" + name;
  std::ofstream(target + ".new", std::ios::binary) << content;
  std::filesystem::rename(target + ".new", target);
}

void StationTest::Start(sim::Dialect dialect, const StationConfig& config) {
  encoder_ = NewEncoder(dialect);
  StartController(config, PortName());
}

void StationTest::StartController(const StationConfig& config, const std::string& com_port) {
  Write("RDSmorvane.ini", StationIni(config, com_port));
  controller_ = std::make_unique<ControllerProcess>(dir_);
}

std::unique_ptr<EmulatedEncoder> StationTest::NewEncoder(sim::Dialect dialect) {
  if (line_ == Line::Pty) {
    return std::make_unique<EmulatedEncoder>(
        dialect, std::make_unique<sim::PtyTransport>(dir_ + "/encoder"));
  }
  auto tcp = std::make_unique<sim::TcpTransport>("127.0.0.1", tcp_port_);
  tcp_port_ = tcp->port();
  return std::make_unique<EmulatedEncoder>(dialect, std::move(tcp));
}

std::string StationTest::PortName() const {
  return line_ == Line::Pty ? dir_ + "/encoder" : "tcp://127.0.0.1:" + std::to_string(tcp_port_);
}

int64_t StationTest::NewTitle(const std::string& line) {
  Write("metadata.txt", line + "\r\n");
  return SteadyNowMs();
}

void StationTest::TearDown() {
  if (HasFailure()) {
    std::fprintf(stderr, "controller output:\n%s\n",
                 controller_ ? controller_->Output().c_str() : "");
    const std::vector<Received> commands =
        encoder_ ? encoder_->Commands() : std::vector<Received>{};
    for (const Received& r : commands) {
      std::fprintf(stderr, "  %s @%lld\n", r.text.c_str(),
                   static_cast<long long>(r.at_ms - commands.front().at_ms));
    }
  }
  controller_.reset();
  encoder_.reset();
}

}  // namespace morvane::e2e
