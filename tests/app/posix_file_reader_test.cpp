#include "app/posix_file_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace morvane {
namespace {

using namespace std::string_literals;

class PosixFileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(dir_ + "/locked.txt", std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::string dir_;
  PosixFileReader files_;
};

TEST_F(PosixFileReaderTest, ReadsBytesAsTheyAreUpToTheLimit) {
  const std::string content = "Artist - Title\r\n\0\xFF\xE9 second line\n"s;
  const std::string path = Write("metadata.txt", content);
  EXPECT_EQ(files_.ReadPrefix(path, 1000), content);
  EXPECT_EQ(files_.ReadPrefix(path, 6), "Artist");
  EXPECT_EQ(files_.ReadPrefix(Write("empty.txt", ""), 1000), "");
  // Past the reader's own buffer.
  std::string big(100000, 'x');
  big.back() = 'y';
  const std::string big_path = Write("big.txt", big);
  EXPECT_EQ(files_.ReadPrefix(big_path, 1 << 20), big);
  EXPECT_EQ(files_.ReadPrefix(big_path, 50000), big.substr(0, 50000));
}

TEST_F(PosixFileReaderTest, WhatCannotBeReadGivesNothing) {
  EXPECT_EQ(files_.ReadPrefix(dir_ + "/missing.txt", 100), std::nullopt);
  EXPECT_EQ(files_.ReadPrefix(dir_, 100), std::nullopt);
  const std::string fifo = dir_ + "/pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Must return at once, not wait for a writer.
  EXPECT_EQ(files_.ReadPrefix(fifo, 100), std::nullopt);
  if (::geteuid() != 0) {
    const std::string locked = Write("locked.txt", "secret");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(files_.ReadPrefix(locked, 100), std::nullopt);
  }
}

TEST_F(PosixFileReaderTest, ListsTheEntriesOfADirectory) {
  Write("a.txt", "");
  Write("RDSmorvane.INI", "");
  std::filesystem::create_directory(dir_ + "/sub");
  std::vector<std::string> names = files_.ListDirectory(dir_);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"RDSmorvane.INI", "a.txt", "sub"}));
  EXPECT_TRUE(files_.ListDirectory(dir_ + "/missing").empty());
}

}  // namespace
}  // namespace morvane
