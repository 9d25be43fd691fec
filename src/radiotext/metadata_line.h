#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/file_reader.h"

namespace morvane {

// A runaway metadata file must not eat memory; no real first line comes near this.
inline constexpr std::size_t kMetadataReadLimitBytes = std::size_t{64} * 1024;

// The first line of the metadata file's content: every byte up to the first CR, so a CR LF
// ending goes with the CR and a lone LF stays in the text. No trimming, no decoding.
[[nodiscard]] std::string FirstMetadataLine(std::string_view content);

// Reads the first line of the file at path; a file that cannot be read gives the empty line.
// NUL bytes are dropped: no radio shows them, an encoder's command line may end at one, and the
// files that hold them are UTF-16 text or a file padded with zeros while it is rewritten, both of
// which read right without them.
[[nodiscard]] std::string ReadMetadataLine(FileReader& files, const std::string& path);

}  // namespace morvane
