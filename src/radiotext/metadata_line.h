#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_reader.h"
#include "text/text_encoding.h"

namespace morvane {

// A runaway metadata file must not eat memory; no real first line comes near this.
inline constexpr std::size_t kMetadataReadLimitBytes = std::size_t{64} * 1024;

// The first line of the metadata file's content: every byte up to the first CR, so a CR LF
// ending goes with the CR and a lone LF stays in the text. No trimming, no decoding.
[[nodiscard]] std::string FirstMetadataLine(std::string_view content);

// What is said when the metadata file cannot be read, by the watcher and by --check alike.
[[nodiscard]] std::string MetadataFileProblem(const std::string& path, const std::string& reason);

struct MetadataRead {
  // In RDS character set bytes; empty when the file could not be read.
  std::string line;
  // Why the file could not be read, in the system's words.
  std::optional<std::string> problem;
};

// Reads the first line of the file at path and converts it from encoding into the RDS character
// set. A file that begins with a UTF-16 byte order mark is read as UTF-16 whatever encoding
// says: byte by byte it would be every other letter and a NUL. NUL bytes are dropped: no radio
// shows them, an encoder's command line may end at one, and a file padded with zeros while it is
// rewritten reads right without them.
[[nodiscard]] MetadataRead ReadMetadataLine(FileReader& files, const std::string& path,
                                            TextEncoding encoding);

}  // namespace morvane
