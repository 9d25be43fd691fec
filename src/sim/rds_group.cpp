#include "sim/rds_group.h"

#include <cstdio>

namespace morvane::sim {

std::string FormatGroup(const RdsGroup& group) {
  char text[24];
  std::snprintf(text, sizeof text, "%04X %04X %04X %04X", group.a, group.b, group.c, group.d);
  return text;
}

}  // namespace morvane::sim
