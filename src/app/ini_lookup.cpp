#include "app/ini_lookup.h"

#include "text/text_helpers.h"

namespace morvane {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
  }
  return lines;
}

std::optional<std::string> LookupIniValue(std::string_view ini_text, std::string_view section,
                                          std::string_view key) {
  if (ini_text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
    ini_text.remove_prefix(kUtf8ByteOrderMark.size());
  }
  bool in_section = false;
  for (std::string_view line : SplitLines(ini_text)) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      continue;
    }
    if (line.front() == '[') {
      const std::string_view name = line.substr(1, line.find(']') - 1);
      in_section = EqualsIgnoringCase(TrimBlanks(name), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_section || equals == std::string_view::npos) {
      continue;
    }
    const std::string_view line_key = TrimBlanks(line.substr(0, equals));
    if (EqualsIgnoringCase(line_key, key)) {
      return std::string(TrimBlanks(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

}  // namespace morvane
