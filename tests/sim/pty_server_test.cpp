#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace morvane::sim {
namespace {

// The server on a thread, and the controller's end of the line opened like a serial port.
class Line {
 public:
  explicit Line(SimOptions options) {
    ServerHooks hooks;
    hooks.on_command = [this](const Command& command, int64_t) {
      std::lock_guard<std::mutex> lock(mutex_);
      commands_.push_back(command.text);
    };
    server_ = std::make_unique<PtyEncoderServer>(options, hooks);
    thread_ = std::thread([this] { server_->Serve(stop_); });
    fd_ = open(server_->device_path().c_str(), O_RDWR | O_NOCTTY);
  }
  ~Line() {
    stop_.store(true);
    thread_.join();
    close(fd_);
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Everything that arrives within window_ms.
  std::string ReadFor(int window_ms) {
    std::string got;
    const int64_t end = SteadyNowMs() + window_ms;
    for (int64_t now = SteadyNowMs(); now < end; now = SteadyNowMs()) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(end - now)) > 0) {
        char buffer[256];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
          got.append(buffer, static_cast<std::size_t>(n));
        }
      }
    }
    return got;
  }

  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }
  const PtyEncoderServer& server() const { return *server_; }

 private:
  std::mutex mutex_;
  std::vector<std::string> commands_;
  std::unique_ptr<PtyEncoderServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  int fd_ = -1;
};

SimOptions Ascii() {
  SimOptions options;
  options.dialect = Dialect::Ascii;
  options.initial.ps = "RADIO 1 ";
  return options;
}

TEST(PtyEncoderServer, AnswersOverTheLineWhateverTheWritesAreCut) {
  Line line(Ascii());
  line.Write("P");
  line.Write("S\rT");
  line.Write("P\r");
  EXPECT_EQ(line.ReadFor(300), "PS\r\nRADIO 1 \r\nTP\r\n1\r\n");
  EXPECT_EQ(line.Commands(), (std::vector<std::string>{"PS", "TP"}));
}

TEST(PtyEncoderServer, SilentEncoderHearsButNeverAnswers) {
  SimOptions options = Ascii();
  options.silent = true;
  Line line(options);
  line.Write("TA=1\rPS\r");
  EXPECT_EQ(line.ReadFor(300), "");
  EXPECT_EQ(line.Commands(), (std::vector<std::string>{"TA=1", "PS"}));
}

TEST(PtyEncoderServer, LateEncoderAnswersAfterTheDelay) {
  SimOptions options = Ascii();
  options.delay_ms = 400;
  Line line(options);
  line.Write("PS\r");
  // A controller waiting 200 ms gets nothing; the answer is left for its next drain.
  EXPECT_EQ(line.ReadFor(200), "");
  EXPECT_EQ(line.ReadFor(1000), "PS\r\nRADIO 1 \r\n");
}

TEST(PtyEncoderServer, LinkPointsAtTheDeviceWhileServing) {
  const std::string link = ::testing::TempDir() + "/encoder-link-" + std::to_string(getpid());
  {
    SimOptions options = Ascii();
    options.link_path = link;
    Line line(options);
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), line.server().device_path());
  }
  struct stat gone {};
  EXPECT_NE(lstat(link.c_str(), &gone), 0);
}

}  // namespace
}  // namespace morvane::sim
