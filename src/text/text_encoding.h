#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// How the texts that come into the program are written. Rds sends every byte as it is; Utf8 and
// Latin1 (Windows-1252) convert the text into the RDS character set where it enters.
enum class TextEncoding { Rds, Utf8, Latin1 };

// The accepted values of the TextEncoding key, for the message that rejects any other.
inline constexpr std::string_view kTextEncodingValues = "\"RDS\", \"UTF-8\" or \"Latin-1\"";

// "RDS", "UTF-8" or "Latin-1" in any letter case; the empty value is Rds, like a missing key.
// Blanks are not trimmed here. std::nullopt for anything else.
[[nodiscard]] std::optional<TextEncoding> ParseTextEncoding(std::string_view value);
// The value's name as the configuration writes it: "RDS", "UTF-8" or "Latin-1".
[[nodiscard]] std::string_view TextEncodingName(TextEncoding encoding);

// The text in RDS character set bytes, as a radio should show it. Rds: unchanged, byte for byte.
// Otherwise each character becomes its RDS code; without one, a look-alike (curly quotes, dashes)
// or its base letter (ł -> l), else "?". Control bytes keep their code. Utf8: a byte order mark at
// the start and invisible format characters are dropped, each invalid byte or broken sequence
// becomes "?", and a character cut off at the end of the text is dropped.
[[nodiscard]] std::string ToRds(std::string_view text, TextEncoding from);

// The content of a file that begins with a UTF-16 byte order mark (FF FE little-endian, FE FF
// big-endian) as UTF-8 without the mark, ready for ToRds(..., Utf8); std::nullopt for any other
// content. A surrogate without its partner becomes U+FFFD; an odd last byte is dropped.
[[nodiscard]] std::optional<std::string> Utf16ToUtf8(std::string_view content);

}  // namespace morvane
