#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace morvane::sim {

namespace {
constexpr int kMaxPollMs = 50;
constexpr std::size_t kReadChunk = 4096;
constexpr int kNoiseMinGapMs = 300;
constexpr int kNoiseMaxGapMs = 1500;
constexpr int kNoiseMaxBytes = 6;

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) {
    throw SystemError("tcgetattr");
  }
  cfmakeraw(&settings);
  if (tcsetattr(fd, TCSANOW, &settings) != 0) {
    throw SystemError("tcsetattr");
  }
}
}  // namespace

PtyEncoderServer::PtyEncoderServer(const SimOptions& options, ServerHooks hooks)
    : options_(options),
      hooks_(std::move(hooks)),
      parser_(options.dialect),
      encoder_(options.dialect, options.initial),
      random_(std::random_device{}()) {
  master_fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_fd_ < 0) {
    throw SystemError("posix_openpt");
  }
  if (grantpt(master_fd_) != 0 || unlockpt(master_fd_) != 0) {
    close(master_fd_);
    throw SystemError("grantpt/unlockpt");
  }
  const char* name = ptsname(master_fd_);
  if (name == nullptr) {
    close(master_fd_);
    throw SystemError("ptsname");
  }
  device_path_ = name;
  slave_fd_ = open(device_path_.c_str(), O_RDWR | O_NOCTTY);
  if (slave_fd_ < 0) {
    close(master_fd_);
    throw SystemError("open " + device_path_);
  }
  // Bytes must pass unchanged in both directions: no echo, no CR/LF translation.
  MakeRaw(slave_fd_);
  MakeRaw(master_fd_);
  fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_fd_, F_SETFD, FD_CLOEXEC);

  if (!options_.link_path.empty()) {
    struct stat existing {};
    if (lstat(options_.link_path.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
      unlink(options_.link_path.c_str());
    }
    if (symlink(device_path_.c_str(), options_.link_path.c_str()) != 0) {
      const std::runtime_error error = SystemError("symlink " + options_.link_path);
      close(slave_fd_);
      close(master_fd_);
      throw error;
    }
  }
  start_ms_ = SteadyNowMs();
  shown_ = ViewOnAir(encoder_, start_ms_, options_.charset);
  next_noise_ms_ = start_ms_ + kNoiseMaxGapMs;
}

PtyEncoderServer::~PtyEncoderServer() {
  if (!options_.link_path.empty()) {
    unlink(options_.link_path.c_str());
  }
  close(slave_fd_);
  close(master_fd_);
}

void PtyEncoderServer::Serve(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    const int64_t now_ms = SteadyNowMs();
    pollfd fd{master_fd_, POLLIN, 0};
    const int ready = poll(&fd, 1, PollTimeoutMs(now_ms));
    if (ready < 0 && errno != EINTR) {
      throw SystemError("poll");
    }
    const int64_t after_ms = SteadyNowMs();
    if (ready > 0 && (fd.revents & POLLIN) != 0) {
      Receive(after_ms);
    }
    encoder_.Tick(after_ms);
    Emit(after_ms);
    SendDue(after_ms);
    BroadcastDue(after_ms);
    SendNoise(after_ms);
  }
}

void PtyEncoderServer::Receive(int64_t now_ms) {
  char buffer[kReadChunk];
  const ssize_t count = read(master_fd_, buffer, sizeof buffer);
  if (count <= 0) {
    return;
  }
  for (const Command& command :
       parser_.Feed(std::string_view(buffer, static_cast<std::size_t>(count)))) {
    HandleCommand(command, now_ms);
  }
}

void PtyEncoderServer::HandleCommand(const Command& command, int64_t now_ms) {
  if (hooks_.on_command) {
    hooks_.on_command(command, now_ms);
  }
  std::string answer = encoder_.Handle(command, now_ms);
  if (hooks_.on_refused && !encoder_.refusal().empty()) {
    hooks_.on_refused(command, encoder_.refusal());
  }
  Emit(now_ms);
  if (options_.silent || answer.empty()) {
    return;
  }
  if (options_.delay_ms == 0 && answers_.empty()) {
    WriteAll(answer);
  } else {
    answers_.push_back({now_ms + options_.delay_ms, std::move(answer)});
  }
}

void PtyEncoderServer::Emit(int64_t now_ms) {
  // Compared with what was shown last, so that changes that come with time (summer time, the
  // encoder's own TA timeout) are seen as well as those that commands make.
  OnAirView now = ViewOnAir(encoder_, now_ms, options_.charset);
  if (hooks_.on_air) {
    for (const std::string& line : DescribeOnAirChanges(shown_, now)) {
      hooks_.on_air(line);
    }
  }
  shown_ = std::move(now);
}

void PtyEncoderServer::SendDue(int64_t now_ms) {
  while (!answers_.empty() && answers_.front().due_ms <= now_ms) {
    WriteAll(answers_.front().bytes);
    answers_.pop_front();
  }
}

void PtyEncoderServer::BroadcastDue(int64_t now_ms) {
  if (!hooks_.on_group) {
    return;
  }
  const auto due =
      static_cast<int64_t>(static_cast<double>(now_ms - start_ms_) * options_.groups_rate / 1000.0);
  while (groups_sent_ < due) {
    hooks_.on_group(groups_.Next(encoder_.state(), now_ms));
    ++groups_sent_;
  }
}

void PtyEncoderServer::SendNoise(int64_t now_ms) {
  if (!options_.noise || now_ms < next_noise_ms_) {
    return;
  }
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(1, kNoiseMaxBytes);
  std::uniform_int_distribution<int> gap(kNoiseMinGapMs, kNoiseMaxGapMs);
  std::string noise;
  for (int i = length(random_); i > 0; --i) {
    noise += static_cast<char>(byte(random_));
  }
  WriteAll(noise);
  next_noise_ms_ = now_ms + gap(random_);
}

void PtyEncoderServer::WriteAll(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(master_fd_, bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;  // the line is gone; the controller will see no answer
    }
    written += static_cast<std::size_t>(count);
  }
}

int PtyEncoderServer::PollTimeoutMs(int64_t now_ms) const {
  int64_t timeout = kMaxPollMs;
  if (!answers_.empty()) {
    timeout = std::min(timeout, answers_.front().due_ms - now_ms);
  }
  if (hooks_.on_group) {
    const double next_ms = static_cast<double>(groups_sent_ + 1) * 1000.0 / options_.groups_rate;
    timeout = std::min(timeout, start_ms_ + static_cast<int64_t>(next_ms) - now_ms);
  }
  if (options_.noise) {
    timeout = std::min(timeout, next_noise_ms_ - now_ms);
  }
  return static_cast<int>(std::max<int64_t>(timeout, 0));
}

}  // namespace morvane::sim
