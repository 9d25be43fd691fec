#include "link/setup_commands.h"

#include "link/dialects.h"

namespace morvane {

namespace {

// Group types 0, 1 and 2 with RadioText in four of eleven slots, then the encoder's own letters.
constexpr std::string_view kGroupSequenceCommand = "GRPSEQ=022221AEXYR";
constexpr int kGroupSequenceWaitMs = 400;

}  // namespace

void SetGroupSequence(Controller& controller) {
  if (IsPira32(controller.state)) {
    (void)controller.ExchangeCommand(BuildAsciiCommand(kGroupSequenceCommand),
                                     kGroupSequenceWaitMs);
  }
}

}  // namespace morvane
