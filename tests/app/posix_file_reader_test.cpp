#include "app/posix_file_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_directory.h"

namespace morvane {
namespace {

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
      {[&](const TempDirectory& d) { d.Write("f", content); }, 1000, content, ""},
      {[&](const TempDirectory& d) { d.Write("f", content); }, 6, "Artist", ""},
      // Past the reader's own buffer, and a limit inside a later one.
      {[&](const TempDirectory& d) { d.Write("f", big); }, 1 << 20, big, ""},
      {[&](const TempDirectory& d) { d.Write("f", big); }, 9000, std::string(9000, 'x'), ""},
      {[](const TempDirectory& d) { d.Write("f", ""); }, 1000, "", ""},
      {[](const TempDirectory&) {}, 1000, std::nullopt, "No such file or directory"},
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
TEST(PosixFileReader, SerialDeviceMustBeATerminalThisUserMayUse) {
  const TempDirectory dir;
  dir.Write("file", "");
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
}

TEST(PosixFileReader, ListsTheEntriesOfADirectory) {
  const TempDirectory dir;
  PosixFileReader files;
  dir.Write("a.txt", "");
  dir.Write("RDSmorvane.INI", "");
  std::filesystem::create_directory(dir.PathOf("sub"));
  std::vector<std::string> names = files.ListDirectory(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"RDSmorvane.INI", "a.txt", "sub"}));
  EXPECT_TRUE(files.ListDirectory(dir.PathOf("missing")).empty());
}

}  // namespace
}  // namespace morvane
