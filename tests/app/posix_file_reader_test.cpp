#include "app/posix_file_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_directory.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// Directories, named pipes, unreadable and huge files are read through this reader in the
// metadata and in-house tests on real files, with the reason for each.
TEST(PosixFileReader, ReadsBytesAsTheyAreUpToTheLimit) {
  const testing::TempDirectory dir;
  PosixFileReader files;
  const std::string content = "Artist - Title\r\n\0\xFF\xE9 second line\n"s;
  dir.Write("metadata.txt", content);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("metadata.txt"), 1000).content, content);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("metadata.txt"), 6).content, "Artist");
  dir.Write("empty.txt", "");
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("empty.txt"), 1000).content, "");
  // Past the reader's own buffer.
  std::string big(100000, 'x');
  big.back() = 'y';
  dir.Write("big.txt", big);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("big.txt"), 1 << 20).content, big);
}

// What start-up and --check say of the port's device; a pseudo-terminal stands for the port.
TEST(PosixFileReader, SerialDeviceMustBeATerminalThisUserMayUse) {
  const testing::TempDirectory dir;
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
  const testing::TempDirectory dir;
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
