#include "sim/rds_group.h"

#include "text/text_helpers.h"

namespace morvane::sim {

std::string FormatGroup(const RdsGroup& group) {
  return HexWord(group.a) + " " + HexWord(group.b) + " " + HexWord(group.c) + " " +
         HexWord(group.d);
}

}  // namespace morvane::sim
