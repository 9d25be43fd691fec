// The metadata file as playout software and accidents leave it, read from the real file system.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/notice_board.h"
#include "app/posix_file_reader.h"
#include "radiotext/metadata_line.h"
#include "radiotext/metadata_watcher.h"
#include "support/fakes.h"
#include "support/temp_directory.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using testing::TempDirectory;

constexpr char kName[] = "metadata.txt";

// A PIRA32 controller reading the metadata file from a temporary directory.
struct DiskRig : testing::Rig {
  DiskRig() : disk(Platform{port, sleeper, clock, posix, view, timers, events}) {
    disk.state.EncoderType = "PIRA32";
    disk.state.MetadataFile = dir.PathOf(kName);
    disk.state.TrafficMeta = std::string(kMarkerSentinel);
    disk.state.RTPlusPrefix = std::string(kRtPlusSentinel);
    disk.state.RTPlusSplit = std::string(kRtPlusSentinel);
    port.responder = testing::Pira32Responder({{"RT1", "ON AIR"}});
  }
  // One tick; the RadioText it sent, or std::nullopt when it sent nothing.
  std::optional<std::string> Tick() {
    ClearLog();
    tmrTextCheck_Timer(disk);
    const std::vector<std::string> writes = Writes();
    if (writes.empty()) {
      return std::nullopt;
    }
    EXPECT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes.back(), "RT1\r");
    const std::string& command = writes.front();
    EXPECT_EQ(command.substr(0, 4), "RT1=");
    EXPECT_EQ(command.back(), '\r');
    return command.substr(4, command.size() - 5);
  }

  TempDirectory dir;
  PosixFileReader posix;
  Controller disk;
};

struct HostileCase {
  const char* what;
  std::function<void(const TempDirectory&)> put;
  std::string last_rt;              // the line of the tick before
  std::string line;                 // LastRT afterwards
  std::optional<std::string> sent;  // RadioText sent
  std::string problem;              // why it cannot be read, as said on stderr
};

TEST(HostileMetadataFile, EachHasADefinedOutcome) {
  const std::string long_line(100000, 'A');
  const std::vector<HostileCase> cases = {
      {"first line longer than the read: 64 KiB read, 256 bytes sent",
       [&](const TempDirectory& d) { d.Write(kName, long_line + "\rnext"); }, "",
       std::string(kMetadataReadLimitBytes, 'A'), std::string(256, 'A'), ""},
      {"huge file behind a short first line",
       [](const TempDirectory& d) {
         d.Write(kName, "Artist - Title\r\n" + std::string(3 << 20, 'x'));
       },
       "", "Artist - Title", "Artist - Title", ""},
      {"NUL bytes are dropped, other bytes kept",
       [](const TempDirectory& d) { d.Write(kName, "Art\0ist - Title\xE9\x01\r\n\0\0"s); }, "",
       "Artist - Title\xE9\x01", "Artist - Title\xE9\x01", ""},
      {"zeros of a file being rewritten read as an empty line",
       [](const TempDirectory& d) { d.Write(kName, std::string(4096, '\0')); }, "Song", "", "", ""},
      {"no line end: the whole file",
       [](const TempDirectory& d) { d.Write(kName, "Artist - Title"); }, "", "Artist - Title",
       "Artist - Title", ""},
      {"LF endings only: LFs stay in the line",
       [](const TempDirectory& d) { d.Write(kName, "Artist\nTitle\n"); }, "", "Artist\nTitle\n",
       "Artist\nTitle\n", ""},
      {"a directory reads as an empty line",
       [](const TempDirectory& d) {
         d.Remove(kName);
         std::filesystem::create_directory(d.PathOf(kName));
       },
       "Song", "", "", "Is a directory"},
      {"a named pipe without writer does not block and reads as an empty line",
       [](const TempDirectory& d) {
         d.Remove(kName);
         ASSERT_EQ(::mkfifo(d.PathOf(kName).c_str(), 0600), 0);
       },
       "Song", "", "", "Not a regular file"},
      {"missing file", [](const TempDirectory& d) { d.Remove(kName); }, "Song", "", "",
       "No such file or directory"},
      {"empty file", [](const TempDirectory& d) { d.Write(kName, ""); }, "Song", "", "", ""},
      {"empty file at start: nothing sent", [](const TempDirectory& d) { d.Write(kName, ""); }, "",
       "", std::nullopt, ""},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.what);
    DiskRig rig;
    c.put(rig.dir);
    rig.disk.state.LastRT = c.last_rt;
    EXPECT_EQ(rig.Tick(), c.sent);
    EXPECT_EQ(rig.disk.state.LastRT, c.line);
    EXPECT_NE(rig.view.Text(Label::lblLastTextCheck), "");
    const std::string said = "metadata file " + rig.dir.PathOf(kName) + " cannot be read: ";
    EXPECT_EQ(rig.events.Told(), c.problem.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{said + c.problem});
  }
}

TEST(HostileMetadataFile, UnreadableFileReadsAsAnEmptyLine) {
  DiskRig rig;
  rig.dir.Write(kName, "Artist - Title");
  rig.disk.state.LastRT = "Song";
  if (::geteuid() == 0) {
    // Permissions do not stop root; a path through a file fails to open just the same.
    rig.disk.state.MetadataFile = rig.dir.PathOf(kName) + "/inner";
  } else {
    std::filesystem::permissions(rig.dir.PathOf(kName), std::filesystem::perms::none);
  }
  EXPECT_EQ(rig.Tick(), "");
  EXPECT_EQ(rig.disk.state.LastRT, "");

  // Said once, with the system's reason, on stderr and in the notice line; and once when it is
  // back.
  EXPECT_EQ(rig.Tick(), std::nullopt);
  const std::string path = rig.disk.state.MetadataFile;
  const std::string reason = ::geteuid() == 0 ? "Not a directory" : "Permission denied";
  const std::string said = "metadata file " + path + " cannot be read: " + reason;
  EXPECT_EQ(rig.events.Told(), std::vector<std::string>{said});
  EXPECT_EQ(rig.view.Text(Label::lblNotice), said);
  rig.disk.state.MetadataFile = rig.dir.PathOf("other.txt");
  rig.dir.Write("other.txt", "Song");
  EXPECT_EQ(rig.Tick(), "Song");
  EXPECT_EQ(rig.events.Told().size(), 2u);
  EXPECT_EQ(rig.view.Text(Label::lblNotice), NoticeText());
}

}  // namespace
}  // namespace morvane
