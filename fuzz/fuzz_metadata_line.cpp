// The first line of any metadata file: the bytes before the first CR, no more, no fewer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "radiotext/metadata_line.h"
#include "support/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::string line = morvane::FirstMetadataLine(content);
  FUZZ_CHECK(line.find('\r') == std::string::npos);
  FUZZ_CHECK(content.compare(0, line.size(), line) == 0);
  FUZZ_CHECK(line.size() == content.size() || content[line.size()] == '\r');

  morvane::testing::FakeFiles files;
  files.files["metadata.txt"] = content;
  const std::string read =
      morvane::ReadMetadataLine(files, "metadata.txt", morvane::TextEncoding::Rds).line;
  FUZZ_CHECK(read.size() <= morvane::kMetadataReadLimitBytes);
  FUZZ_CHECK(read.find('\r') == std::string::npos);
  FUZZ_CHECK(read.find('\0') == std::string::npos);
  return 0;
}
