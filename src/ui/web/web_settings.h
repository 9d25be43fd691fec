#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// Where the web server listens: WebListen=HOST:PORT, an IPv6 address in brackets.
struct WebListen {
  std::string host;
  int port = 0;
  // Only programs on this computer can reach it: then changes may go without a token.
  bool loopback = false;
};

// std::nullopt for a value that names no host and port (1 to 65535).
[[nodiscard]] std::optional<WebListen> ParseWebListen(std::string_view text);

// Where the title now playing comes from: the metadata file, or the web (POST /api/nowplaying).
enum class MetadataSource { File, Push };
inline constexpr std::string_view kMetadataSourceValues = "\"file\" or \"push\"";
// "file" or "push" in any letter case; empty is "file".
[[nodiscard]] std::optional<MetadataSource> ParseMetadataSource(std::string_view text);

// The web's keys of the configuration; not part of the controller's record.
struct WebSettings {
  std::optional<WebListen> listen;  // none: no web server at all
  std::string token;                // empty: none set
  MetadataSource metadata_source = MetadataSource::File;
};

}  // namespace morvane
