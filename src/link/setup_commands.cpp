#include "link/setup_commands.h"

namespace morvane {

void SetGroupSequence(Controller&) {}

}  // namespace morvane
