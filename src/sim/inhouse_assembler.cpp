#include "sim/inhouse_assembler.h"

#include "text/text_helpers.h"

namespace morvane::sim {

namespace {
constexpr char kFill = '|';
constexpr uint16_t kSegmentMask = 0x1F;

}  // namespace

void InHouseAssembler::Receive(const UserGroup& group) {
  const int segment = group.b & kSegmentMask;
  if (group.c == 0) {
    // Version groups: segment 00 all zero, segment 01 carries the four version digits.
    if (segment == 1) {
      version_ = HexWord(group.d);
      message_.reset();
    }
    return;
  }
  if (group.c != key_) {
    key_ = group.c;
    segments_.clear();
  }
  if (segment == 0 && segments_.count(0) != 0) {
    // The message starts over: everything before was one whole pass.
    Complete(segments_.size());
    segments_.clear();
  }
  const std::string pair{static_cast<char>(group.d >> 8), static_cast<char>(group.d & 0xFF)};
  segments_[segment] = pair;
  if (pair.find(kFill) != std::string::npos) {
    Complete(static_cast<std::size_t>(segment) + 1);
  }
}

void InHouseAssembler::Complete(std::size_t segments) {
  std::string text;
  for (std::size_t k = 0; k < segments; ++k) {
    const auto found = segments_.find(static_cast<int>(k));
    if (found == segments_.end()) {
      return;  // a gap: not a whole message yet
    }
    text += found->second;
  }
  text = text.substr(0, text.find(kFill));
  message_ = InHouseMessage{key_ >> 12, HexWord(key_).substr(1), text};
  version_.reset();
}

}  // namespace morvane::sim
