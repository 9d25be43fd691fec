#include "station.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace morvane::e2e {

namespace {
constexpr int kPollMs = 10;
constexpr int kStopGraceMs = 3000;
}  // namespace

int64_t NowMs() {
  return sim::SteadyNowMs();
}

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

EmulatedEncoder::EmulatedEncoder(sim::Dialect dialect, std::string link_path) {
  sim::SimOptions options;
  options.dialect = dialect;
  options.link_path = std::move(link_path);
  sim::ServerHooks hooks;
  hooks.on_command = [this](const sim::Command& command, int64_t at_ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.push_back({command, at_ms});
  };
  hooks.on_air = [this](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    on_air_.push_back(line);
  };
  server_ = std::make_unique<sim::PtyEncoderServer>(options, hooks);
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

bool EmulatedEncoder::WaitForCommands(const std::function<bool(const std::vector<Received>&)>& done,
                                      int timeout_ms) const {
  const int64_t deadline = NowMs() + timeout_ms;
  do {
    if (done(Commands())) {
      return true;
    }
    SleepMs(kPollMs);
  } while (NowMs() < deadline);
  return done(Commands());
}

bool EmulatedEncoder::WaitForOnAir(const std::string& line, int timeout_ms,
                                   std::size_t skip) const {
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    const std::vector<std::string> lines = OnAir();
    for (std::size_t i = skip; i < lines.size(); ++i) {
      if (lines[i] == line) {
        return true;
      }
    }
    if (NowMs() >= deadline) {
      return false;
    }
    SleepMs(kPollMs);
  }
}

WorkDir::WorkDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rdsmorvane-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary directory");
  }
  path_ = pattern;
}

WorkDir::~WorkDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WorkDir::Write(const std::string& name, const std::string& content) const {
  const std::string target = path_ + "/" + name;
  const std::string aside = target + ".new";
  {
    std::ofstream out(aside, std::ios::binary);
    out << content;
  }
  std::filesystem::rename(aside, target);
}

std::string WorkDir::Read(const std::string& name) const {
  std::ifstream in(path_ + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string StationIni(const StationConfig& config, const std::string& device) {
  const std::string end = "\r\n";
  return "[RDSmorvane]" + end + "COMsettings=9600,N,8,1" + end + "COMport=" + device + end +
         "EncoderType=" + config.encoder_type + end +
         "DefaultRadioText=" + config.default_radiotext + end +
         "TrafficRadioText=" + config.traffic_radiotext + end +
         "TAMaxTimeout=" + config.ta_max_timeout + end + "TrafficMeta=" + config.traffic_meta +
         end + "RTplus=" + config.rtplus + end + "RTplusSwap=0" + end +
         "MetadataFile=metadata.txt" + end + config.rtplus_prefix_line + end +
         config.rtplus_split_line + end;
}

ControllerProcess::ControllerProcess(const WorkDir& dir) : dir_(dir) {
  signal(SIGPIPE, SIG_IGN);  // a controller that died must fail the test, not end it
  int input[2];
  if (pipe(input) != 0) {
    throw std::runtime_error("pipe");
  }
  const std::string out_path = dir.path() + "/controller.out";
  const std::string err_path = dir.path() + "/controller.err";
  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error("fork");
  }
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(dir.path().c_str()) != 0) {
      _exit(127);
    }
    dup2(input[0], STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    close(input[1]);
    char program[] = RDSMORVANE_PROGRAM;
    char headless[] = "--headless";
    char* argv[] = {program, headless, nullptr};
    execv(program, argv);
    _exit(127);
  }
  close(input[0]);
  stdin_fd_ = input[1];
}

ControllerProcess::~ControllerProcess() {
  if (Running()) {
    kill(pid_, SIGTERM);
    const int64_t deadline = NowMs() + kStopGraceMs;
    while (Running() && NowMs() < deadline) {
      SleepMs(kPollMs);
    }
    if (Running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  close(stdin_fd_);
}

bool ControllerProcess::Running() {
  if (pid_ < 0) {
    return false;
  }
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

void ControllerProcess::Type(const std::string& text) {
  (void)!write(stdin_fd_, text.data(), text.size());
}

std::string ControllerProcess::Output() const {
  return dir_.Read("controller.out") + dir_.Read("controller.err");
}

bool ControllerProcess::WaitForOutput(const std::string& text, int timeout_ms) const {
  const int64_t deadline = NowMs() + timeout_ms;
  do {
    if (dir_.Read("controller.out").find(text) != std::string::npos) {
      return true;
    }
    SleepMs(kPollMs * 5);
  } while (NowMs() < deadline);
  return false;
}

}  // namespace morvane::e2e
