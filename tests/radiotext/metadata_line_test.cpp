#include "radiotext/metadata_line.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace morvane {
namespace {

TEST(FirstMetadataLine, EndsAtTheFirstCarriageReturnOnly) {
  const struct {
    std::string content;
    std::string line;
  } cases[] = {
      {"Artist - Title\r\nNext - Song\r\n", "Artist - Title"},
      {"Artist - Title\rNext", "Artist - Title"},
      {"Artist\nTitle\nMore", "Artist\nTitle\nMore"},
      {"No ending at all", "No ending at all"},
      {"  padded  \t\r\n", "  padded  \t"},
      {"\r\nSecond line", ""},
      {"", ""},
      {std::string("nul\0byte\xFF\r", 10), std::string("nul\0byte\xFF", 9)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstMetadataLine(c.content), c.line) << c.content;
  }
}

TEST(ReadMetadataLine, UnreadableFileIsAnEmptyLineAndTheReadIsBounded) {
  testing::FakeFiles files;
  files.files["metadata.txt"] = std::string(kMetadataReadLimitBytes + 10, 'x');
  files.files["locked.txt"] = "Artist - Title";
  files.unreadable.insert("locked.txt");

  EXPECT_EQ(ReadMetadataLine(files, "metadata.txt").size(), kMetadataReadLimitBytes);
  EXPECT_EQ(ReadMetadataLine(files, "locked.txt"), "");
  EXPECT_EQ(ReadMetadataLine(files, "missing.txt"), "");
}

}  // namespace
}  // namespace morvane
