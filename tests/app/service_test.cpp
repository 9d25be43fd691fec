// What the program tells a service manager and its journal, whether it can open a window, and
// the files and devices as the system shows them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/display_probe.h"
#include "app/event_log.h"
#include "app/posix_file_reader.h"
#include "app/service_status.h"
#include "support/fakes.h"
#include "support/loopback.h"
#include "support/temp_directory.h"

namespace morvane {
namespace {

// Stderr is 64769:1234. The journal reads a line's priority from its first characters; any other
// stream gets the line as it always did.
TEST(EventLog, PriorityPrefixOnlyWhenStderrIsTheJournal) {
  const struct {
    const char* journal_stream;
    Severity severity;
    const char* printed;
  } cases[] = {
      {"64769:1234", Severity::Error, "<3>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Warning, "<4>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Notice, "<6>rdsmorvane: lost\n"},
      {"64769:1234", Severity::Info, ""},
      {nullptr, Severity::Error, "rdsmorvane: lost\n"},
      {"64769:1235", Severity::Error, "rdsmorvane: lost\n"},  // stdout's, not stderr's
      {"64769:1234x", Severity::Error, "rdsmorvane: lost\n"},
      {"647691234", Severity::Error, "rdsmorvane: lost\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    EventLog(out, IsJournalStream(c.journal_stream, 64769, 1234))
        .Report({EventKind::PortLost, c.severity, "lost"});
    EXPECT_EQ(out.str(), c.printed) << (c.journal_stream ? c.journal_stream : "unset");
  }
  struct stat error_output {};
  ASSERT_EQ(fstat(STDERR_FILENO, &error_output), 0);
  setenv("JOURNAL_STREAM",
         (std::to_string(error_output.st_dev) + ":" + std::to_string(error_output.st_ino)).c_str(),
         1);
  EXPECT_TRUE(StderrIsJournal());
  unsetenv("JOURNAL_STREAM");
  EXPECT_FALSE(StderrIsJournal());
}

// The status line changes with the link and the RadioText on air, nothing else: one event after
// the other, and the line heard after each ("" when it stayed as it was). Every event passes on.
TEST(ServiceStatus, OneLineOfLinkAndRadioText) {
  testing::FakeEvents next;
  ServiceStatus status(next);
  std::string heard;
  status.SetListener([&](const std::string& line) { heard = line; });
  EXPECT_EQ(status.Line(), "Encoder link up, no RadioText sent yet");
  const std::string longest = "Caf\x82" + std::string(60, 'x');
  const std::string shown = ", RadioText \"Caf\xC3\xA9" + std::string(60, 'x') + "\"";
  const struct {
    EventKind kind;
    std::string text;
    std::string line;
  } steps[] = {
      {EventKind::TrafficOn, "TA on", ""},
      {EventKind::PortLost, "lost", "Encoder link down, no RadioText sent yet"},
      {EventKind::PortLost, "lost", ""},
      {EventKind::RadioTextSent, longest + "cut", "Encoder link down" + shown},
      {EventKind::PortBack, "back", "Encoder link up" + shown},
      {EventKind::EncoderSilent, "silent", "Encoder link up, encoder not answering" + shown},
      {EventKind::RadioTextSent, longest, ""},
      {EventKind::EncoderAnswering, "answering", "Encoder link up" + shown},
  };
  for (const auto& step : steps) {
    heard.clear();
    status.Report({step.kind, Severity::Info, step.text});
    EXPECT_EQ(heard, step.line) << step.text;
  }
  EXPECT_EQ(next.events.size(), std::size(steps));
}

TEST(ServiceStatus, PingAtHalfTheWatchdogInterval) {
  const std::pair<uint64_t, std::optional<int>> cases[] = {
      {0, std::nullopt}, {400000, 200}, {1000, 1}, {30000000, 15000}, {UINT64_MAX, 86400000}};
  for (const auto& [usec, ms] : cases) {
    EXPECT_EQ(WatchdogPingIntervalMs(usec), ms) << usec;
  }
}

std::string Described(const std::optional<DisplayEndpoint>& e) {
  if (!e) {
    return "none";
  }
  return e->socket_path.empty() ? e->host + " port " + std::to_string(e->port)
                                : e->socket_path + (e->abstract_too ? " and abstract" : "");
}

TEST(DisplayProbe, WhereEachDisplayTakesConnections) {
  const std::pair<const char*, const char*> x11[] = {
      {":0", "/tmp/.X11-unix/X0 and abstract"},
      {"unix:13.1", "/tmp/.X11-unix/X13 and abstract"},
      {"studio:2", "studio port 6002"},
      {"[::1]:1", "::1 port 6001"},
      // Forms that are not for us to judge.
      {"studio::1", "none"},
      {":-1", "none"},
  };
  for (const auto& [display, where] : x11) {
    EXPECT_EQ(Described(X11Endpoint(display)), where) << display;
  }
  EXPECT_EQ(Described(WaylandEndpoint("wayland-0", "/run/user/1000")), "/run/user/1000/wayland-0");
  EXPECT_EQ(Described(WaylandEndpoint("/run/w-1", nullptr)), "/run/w-1");
  EXPECT_EQ(Described(WaylandEndpoint("wayland-0", nullptr)), "none");
  EXPECT_EQ(Described(WaylandEndpoint("wayland-0", "")), "none");
}

// A listening local socket, at a path or (name starting with a NUL) an abstract one.
struct LocalListener {
  explicit LocalListener(const std::string& name) {
    sockaddr_un address{AF_UNIX, {}};
    std::memcpy(address.sun_path, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), length), 0) << name.substr(1);
    EXPECT_EQ(listen(fd, 4), 0);
  }
  ~LocalListener() { close(fd); }
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
};

TEST(DisplayProbe, ReachableOnlyWhereSomethingListens) {
  const testing::TempDirectory runtime;
  const LocalListener wayland(runtime.PathOf("wayland-0"));
  const std::string x11 = std::to_string(40000 + getpid() % 20000);
  const LocalListener x11_abstract(std::string(1, '\0') + "/tmp/.X11-unix/X" + x11);
  const testing::LoopbackPort tcp(1);
  const testing::LoopbackPort refusing(-1);
  const char* dir = runtime.path().c_str();
  const struct {
    std::string display, wayland;  // "-": not set
    const char* runtime_dir;
    bool reachable;
  } cases[] = {
      {"-", "wayland-0", dir, true},
      {"-", runtime.PathOf("wayland-0"), nullptr, true},
      {"-", "wayland-1", dir, false},
      {":" + x11, "wayland-1", dir, true},
      {":" + x11 + "9", "-", dir, false},
      {"127.0.0.1:" + std::to_string(tcp.port - 6000), "-", nullptr, true},
      {"127.0.0.1:" + std::to_string(refusing.port - 6000), "-", nullptr, false},
      {"studio::1", "-", nullptr, true},  // a form not known here: trusted
  };
  const auto set = [](const std::string& v) { return v == "-" ? nullptr : v.c_str(); };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayReachable(set(c.display), set(c.wayland), c.runtime_dir), c.reachable)
        << c.display << " " << c.wayland;
  }
}

using namespace std::string_literals;
using testing::TempDirectory;

// The metadata and in-house files as the station, or an accident, leaves them: the bytes as they
// are, or the reason in the system's words.
TEST(PosixFileReader, ReadsBytesAsTheyAreUpToTheLimitAndNothingThatIsNoFile) {
  const std::string content = "Artist - Title\r\n\0\xFF\xE9 second line\n"s;
  std::string big(100000, 'x');
  big.back() = 'y';
  const struct {
    std::function<void(const TempDirectory&)> put;
    std::size_t limit;
    std::optional<std::string> read;
    std::string error;
  } cases[] = {
      // Past the reader's own buffer, and a limit inside a later one.
      {[&](const TempDirectory& d) { d.Write("f", big); }, 1 << 20, big, ""},
      {[&](const TempDirectory& d) { d.Write("f", big); }, 9000, std::string(9000, 'x'), ""},
      {[](const TempDirectory& d) { std::filesystem::create_directory(d.PathOf("f")); }, 1000,
       std::nullopt, "Is a directory"},
      // A named pipe without writer does not block.
      {[](const TempDirectory& d) { ASSERT_EQ(::mkfifo(d.PathOf("f").c_str(), 0600), 0); }, 1000,
       std::nullopt, "Not a regular file"},
  };
  for (const auto& c : cases) {
    const TempDirectory dir;
    c.put(dir);
    const FileRead read = PosixFileReader().ReadPrefix(dir.PathOf("f"), c.limit);
    EXPECT_EQ(read.content, c.read) << c.error;
    EXPECT_EQ(read.error, c.error);
  }
  if (::geteuid() != 0) {  // permissions do not stop root
    const TempDirectory dir;
    dir.Write("f", content);
    std::filesystem::permissions(dir.PathOf("f"), std::filesystem::perms::none);
    EXPECT_EQ(PosixFileReader().ReadPrefix(dir.PathOf("f"), 1000).error, "Permission denied");
  }
}

// What start-up and --check say of the port's device; a pseudo-terminal stands for the port.
TEST(PosixFileReader, SerialDeviceMustBeATerminalAndTheDirectoryIsListed) {
  const TempDirectory dir;
  dir.Write("file", "");
  std::filesystem::create_directory(dir.PathOf("sub"));
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {::ptsname(master), std::nullopt},
      {dir.PathOf("missing"), "No such file or directory"},
      {dir.PathOf("file"), "Not a device"},
      {dir.path(), "Is a directory"},
      {"/dev/null", "Not a serial port (the device is no terminal)"},
  };
  PosixFileReader files;
  for (const auto& [path, problem] : cases) {
    EXPECT_EQ(files.SerialDeviceProblem(path), problem) << path;
  }
  ::close(master);
  // The directory that is searched for the configuration file.
  std::vector<std::string> names = files.ListDirectory(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"file", "sub"}));
  EXPECT_TRUE(files.ListDirectory(dir.PathOf("missing")).empty());
}

}  // namespace
}  // namespace morvane
