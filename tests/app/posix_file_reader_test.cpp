#include "app/posix_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_directory.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// Directories, named pipes, unreadable and huge files are read through this reader in the
// metadata and in-house tests on real files.
TEST(PosixFileReader, ReadsBytesAsTheyAreUpToTheLimit) {
  const testing::TempDirectory dir;
  PosixFileReader files;
  const std::string content = "Artist - Title\r\n\0\xFF\xE9 second line\n"s;
  dir.Write("metadata.txt", content);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("metadata.txt"), 1000), content);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("metadata.txt"), 6), "Artist");
  dir.Write("empty.txt", "");
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("empty.txt"), 1000), "");
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("missing.txt"), 100), std::nullopt);
  // Past the reader's own buffer.
  std::string big(100000, 'x');
  big.back() = 'y';
  dir.Write("big.txt", big);
  EXPECT_EQ(files.ReadPrefix(dir.PathOf("big.txt"), 1 << 20), big);
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
