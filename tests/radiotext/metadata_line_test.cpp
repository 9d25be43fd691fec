#include "radiotext/metadata_line.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

// Reading itself (the 64 KiB bound, unreadable and missing files, a lone LF) is tested on real
// files beside the metadata watcher.
TEST(FirstMetadataLine, EndsAtTheFirstCarriageReturnOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"Artist - Title\r\nNext - Song\r\n", "Artist - Title"},
      {"Artist\nTitle\rNext", "Artist\nTitle"},
      {"  padded  \t\r\n", "  padded  \t"},
      {"\r\nSecond line", ""},
  };
  for (const auto& [content, line] : cases) {
    EXPECT_EQ(FirstMetadataLine(content), line) << content;
  }
}

}  // namespace
}  // namespace morvane
