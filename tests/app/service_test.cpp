// What the program tells a service manager and its journal, where a display listens, the date.
#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "app/display_probe.h"
#include "app/event_log.h"
#include "app/posix_file_reader.h"
#include "app/service_status.h"
#include "app/system_clock.h"
#include "support/fakes.h"
#include "support/loopback.h"
#include "support/temp_directory.h"

namespace morvane {
namespace {

// Stderr is 64769:1234: the journal reads a priority prefix; any other stream gets the bare line.
TEST(EventLog, PriorityPrefixOnlyWhenStderrIsTheJournal) {
  const std::tuple<const char*, Severity, const char*> cases[] = {
      {"64769:1234", Severity::Error, "<3>rdsmorvane: x\n"},
      {"64769:1234", Severity::Warning, "<4>rdsmorvane: x\n"},
      {"64769:1234", Severity::Notice, "<6>rdsmorvane: x\n"},
      {"64769:1234", Severity::Info, ""},
      {nullptr, Severity::Error, "rdsmorvane: x\n"},
      {"64769:1235", Severity::Error, "rdsmorvane: x\n"},  // stdout's, not stderr's
  };
  for (const auto& [stream, severity, printed] : cases) {
    std::ostringstream out;
    EventLog(out, IsJournalStream(stream, 64769, 1234))
        .Report({EventKind::PortLost, severity, "x"});
    EXPECT_EQ(out.str(), printed) << (stream ? stream : "unset");
  }
}

// Where an X11 display listens ("+": the abstract socket too); odd forms are the toolkit's.
TEST(DisplayProbe, WhereEachX11DisplayTakesConnections) {
  std::string shown;
  for (const char* display : {":0", "unix:13.1", "studio:2", "studio::1", ":1x"}) {
    const std::optional<DisplayEndpoint> e = X11Endpoint(display);
    shown += e ? e->socket_path + (e->abstract_too ? "+" : "") + e->host + " " +
                     std::to_string(e->port) + "|"
               : "none|";
  }
  EXPECT_EQ(shown, "/tmp/.X11-unix/X0+ 0|/tmp/.X11-unix/X13+ 0|studio 6002|none|none|");
}

// A display counts only where something takes connections: X11 over TCP (6000 + N), Wayland's
// socket in the runtime directory.
TEST(DisplayProbe, ReachedOnlyWhereSomethingListens) {
  const testing::LoopbackPort listening(1), refusing(-1);
  const auto x11 = [](const testing::LoopbackPort& at) {
    return "127.0.0.1:" + std::to_string(at.port - 6000);
  };
  const testing::TempDirectory dir;
  const int wayland = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", dir.PathOf("wayland-9").c_str());
  ASSERT_EQ(bind(wayland, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(wayland, 1), 0);
  EXPECT_TRUE(DisplayReachable(x11(listening).c_str(), nullptr, nullptr));
  EXPECT_FALSE(DisplayReachable(x11(refusing).c_str(), nullptr, nullptr));
  EXPECT_TRUE(DisplayReachable(nullptr, "wayland-9", dir.path().c_str()));
  EXPECT_FALSE(DisplayReachable(nullptr, "wayland-8", dir.path().c_str()));
  close(wayland);
}

// The metadata, in-house and INI files: bytes as they are up to the limit, past the reader's own
// buffer; a named pipe is never waited on; what is no file says why.
TEST(PosixFileReader, ReadsUpToTheLimitAndNeverWaits) {
  const testing::TempDirectory dir;
  std::string big(100000, 'x');
  big.back() = 'y';
  dir.Write("big.txt", big);
  dir.Write("line.txt", std::string("A - T\r\n\0\xFF", 9));
  ASSERT_EQ(mkfifo(dir.PathOf("pipe").c_str(), 0600), 0);
  const struct {
    std::string name;
    std::size_t limit;
    std::optional<std::string> content;
    std::string error;
  } cases[] = {
      {"line.txt", 1000, std::string("A - T\r\n\0\xFF", 9), ""},
      {"line.txt", 3, "A -", ""},
      {"big.txt", 1 << 20, big, ""},
      {"pipe", 1000, std::nullopt, "Not a regular file"},
      {"", 1000, std::nullopt, "Is a directory"},
      {"missing", 1000, std::nullopt, "No such file or directory"},
  };
  PosixFileReader files;
  for (const auto& c : cases) {
    const FileRead read = files.ReadPrefix(dir.PathOf(c.name), c.limit);
    EXPECT_EQ(read.content, c.content) << c.name;
    EXPECT_EQ(read.error, c.error) << c.name;
  }
}

// What start-up and --check say of the port's device; a pseudo-terminal stands for the port.
TEST(PosixFileReader, SerialDeviceMustBeATerminalThisUserMayUse) {
  const testing::TempDirectory dir;
  dir.Write("file", "");
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
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
}

// The status line follows the link and the RadioText on air only ("": unchanged); events pass on.
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

// The encoder's date comes from the local calendar: the year in full, months from 1.
TEST(SystemClock, TodayAsTheCalendarShowsIt) {
  const std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y%m%d", std::localtime(&now));
  const LocalTime t = SystemClock().Now();
  EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, std::stoi(today));  // unless at midnight
}

}  // namespace
}  // namespace morvane
