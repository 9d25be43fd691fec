#include "link/setup_commands.h"

#include "link/commands.h"

namespace morvane {

void SetGroupSequence(Controller& controller) {
  if (IsPira32(controller.state)) {
    Exchange(controller.link, pira32::kGroupSequence);
  }
}

}  // namespace morvane
