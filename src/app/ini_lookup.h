#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_helpers.h"

namespace morvane {

// The lines of a text; CR LF, LF and a lone CR each end a line. A last line without a line end
// counts, an empty text has no lines.
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

// The keyed lookup of one value from an INI text, by these rules:
// - "[name]" starts a section; a line whose first non-blank character is "[" always does, the
//   name being what stands before "]" (or the line's end), blanks dropped;
// - "key=value": the key before the first "=", the value after it, blanks around both dropped;
//   a line without "=" or with an empty key is ignored, as are lines before the first section;
// - lines whose first non-blank character is ";" or "#" are comments; there are no comments at
//   the end of a line, a ";" inside a value is part of it; quotes are part of the value too;
// - section and key names match regardless of letter case;
// - the first occurrence of the key wins; a section that appears twice is one section, read in
//   the order of the file;
// - a UTF-8 byte order mark before the first line is skipped;
// - every other byte, NUL included, is an ordinary character.
// std::nullopt when the section has no such key.
[[nodiscard]] std::optional<std::string> LookupIniValue(std::string_view ini_text,
                                                        std::string_view section,
                                                        std::string_view key);

}  // namespace morvane
