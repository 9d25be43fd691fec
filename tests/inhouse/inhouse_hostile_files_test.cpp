// inhouse.txt as accidents leave it, read from the real file system in the working directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/posix_file_reader.h"
#include "inhouse/inhouse_rotator.h"
#include "support/fakes.h"
#include "support/temp_directory.h"

namespace morvane {
namespace {

using namespace std::string_literals;
using testing::TempDirectory;

constexpr char kName[] = "inhouse.txt";
constexpr char kVersionGroups[] = "UDG1=600000000000,600100000110\r";

// A PIRA32 controller whose working directory is a temporary one, as the rotator opens the file
// by its bare name.
struct DiskRig : testing::Rig {
  DiskRig()
      : previous(std::filesystem::current_path()),
        disk(Platform{port, sleeper, clock, posix, view, timers, events}) {
    std::filesystem::current_path(dir.path());
    disk.state.EncoderType = "PIRA32";
    disk.state.HexVersion = "0110";
    port.responder = testing::Pira32Responder({});
  }
  ~DiskRig() { std::filesystem::current_path(previous); }
  std::string Tick() {
    ClearLog();
    tmrInHouse_Timer(disk);
    const std::vector<std::string> writes = Writes();
    return writes.size() == 1 ? writes.front() : "(" + std::to_string(writes.size()) + " writes)";
  }

  std::filesystem::path previous;
  TempDirectory dir;
  PosixFileReader posix;
  Controller disk;
};

struct HostileCase {
  const char* what;
  std::function<void(const TempDirectory&)> put;
  std::string sent;
  std::string text;  // UDGcurrentText afterwards
};

TEST(HostileInHouseFile, EachHasADefinedOutcome) {
  const auto no_message = [](const char* what, std::function<void(const TempDirectory&)> put) {
    return HostileCase{what, std::move(put), kVersionGroups, ""};
  };
  const std::vector<HostileCase> cases = {
      {"huge line: the text is cut to 64 characters",
       [](const TempDirectory& d) { d.Write(kName, "M: 1A2 " + std::string(3 << 20, 'x')); },
       "UDG1=600011A27878,600111A27878,600211A27878,600311A27878,\r", std::string(64, 'x')},
      {"binary bytes, NUL included, go out as their two-digit codes",
       [](const TempDirectory& d) { d.Write(kName, "M: 1A2 A\0B\xFF\r\n\0\0"s); },
       "UDG1=600011A24100,600111A242FF,600211A27C7C,600311A27C7C,\r", "A\0B\xFF"s},
      {"no line end: the line runs to the end of the file",
       [](const TempDirectory& d) { d.Write(kName, "M: 1A2 Hi"); },
       "UDG1=600011A24869,600111A27C7C,600211A27C7C,600311A27C7C,\r", "Hi"},
      no_message("binary junk is no message",
                 [](const TempDirectory& d) { d.Write(kName, "\xFF\xFE\0M\0:\0"s); }),
      no_message("an identifier that is not hexadecimal is no message",
                 [](const TempDirectory& d) { d.Write(kName, "M: 1G2 Hello"); }),
      no_message(
          "a directory",
          [](const TempDirectory& d) { std::filesystem::create_directory(d.PathOf(kName)); }),
      no_message(
          "a named pipe without writer does not block",
          [](const TempDirectory& d) { ASSERT_EQ(::mkfifo(d.PathOf(kName).c_str(), 0600), 0); }),
      no_message("an empty file", [](const TempDirectory& d) { d.Write(kName, ""); }),
      no_message("no file", [](const TempDirectory&) {}),
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.what);
    DiskRig rig;
    c.put(rig.dir);
    EXPECT_EQ(rig.Tick(), c.sent);
    EXPECT_EQ(rig.disk.state.UDGcurrentText, c.text);
  }
}

TEST(HostileInHouseFile, UnreadableFileSendsTheVersionAndKeepsTheRotation) {
  DiskRig rig;
  rig.dir.Write(kName, "M: 1A2 0123456789ABCDEF");
  EXPECT_EQ(rig.Tick(), "UDG1=600011A23031,600111A23233,600211A23435,600311A23637,\r");
  if (::geteuid() == 0) {
    // Permissions do not stop root; a directory in the file's place fails to read just the same.
    rig.dir.Remove(kName);
    std::filesystem::create_directory(rig.dir.PathOf(kName));
  } else {
    std::filesystem::permissions(rig.dir.PathOf(kName), std::filesystem::perms::none);
  }
  EXPECT_EQ(rig.Tick(), kVersionGroups);
  rig.dir.Write(kName, "M: 1A2 0123456789ABCDEF");
  EXPECT_EQ(rig.Tick(), "UDG1=600411A23839,600511A24142,600611A24344,600711A24546,\r");
}

TEST(HostileInHouseFile, RewrittenFileResumesTheSameMessage) {
  DiskRig rig;
  rig.dir.Write(kName, "M: 1A2 0123456789ABCDEF\r\n");
  EXPECT_EQ(rig.Tick(), "UDG1=600011A23031,600111A23233,600211A23435,600311A23637,\r");
  // Truncated by whoever rewrites it, then written with the same line: no new sequence number.
  rig.dir.Write(kName, "");
  EXPECT_EQ(rig.Tick(), kVersionGroups);
  rig.dir.Write(kName, "M: 1A2 0123456789ABCDEF\r\n");
  EXPECT_EQ(rig.Tick(), "UDG1=600411A23839,600511A24142,600611A24344,600711A24546,\r");
  EXPECT_EQ(rig.disk.state.UDGsequence, 1);
}

}  // namespace
}  // namespace morvane
