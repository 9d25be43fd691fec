#include "ui/shown_text.h"

#include "text/rds_charset.h"

namespace morvane {

namespace {

[[nodiscard]] bool HoldsEncoderText(Label label) {
  return label == Label::lblPS || label == Label::lblRT;
}

}  // namespace

std::string ShownText(Label label, std::string_view bytes, bool rds_characters) {
  std::string one_line(bytes);
  for (char& c : one_line) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  if (rds_characters && HoldsEncoderText(label)) {
    return RdsToUtf8(one_line);
  }
  std::string utf8;
  utf8.reserve(one_line.size() * 2);
  for (const char c : one_line) {
    AppendUtf8(utf8, static_cast<unsigned char>(c));
  }
  return utf8;
}

}  // namespace morvane
