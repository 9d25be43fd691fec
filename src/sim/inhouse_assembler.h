#pragma once

#include <map>
#include <optional>
#include <string>

#include "sim/rds_group.h"

namespace morvane::sim {

// A message as a receiver puts it together from type 6A in-house groups.
struct InHouseMessage {
  int sequence = 0;        // block C bits 15..12
  std::string identifier;  // block C bits 11..0, three hexadecimal digits
  std::string text;        // the characters of blocks D in segment order, fill removed

  bool operator==(const InHouseMessage& other) const {
    return sequence == other.sequence && identifier == other.identifier && text == other.text;
  }
};

// Reassembles the in-house message that the controller spells out, eight characters at a time,
// in 6A groups: segment address in block B, sequence and identifier in block C, two characters in
// block D. A message is complete when its fill character shows up or its segments start again.
// The pair of groups with an all-zero block C carries the controller's version instead.
class InHouseAssembler {
 public:
  void Receive(const UserGroup& group);

  // The last complete message, or the version, whichever came last.
  [[nodiscard]] const std::optional<InHouseMessage>& message() const { return message_; }
  [[nodiscard]] const std::optional<std::string>& version() const { return version_; }

 private:
  void Complete(std::size_t segments);

  uint16_t key_ = 0;
  std::map<int, std::string> segments_;
  std::optional<InHouseMessage> message_;
  std::optional<std::string> version_;
};

}  // namespace morvane::sim
