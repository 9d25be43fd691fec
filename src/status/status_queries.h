#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/controller.h"

namespace morvane {

// The pilot as shown when the encoder reports none, or does not answer.
inline constexpr std::string_view kPilotAbsent = "NONE/FREE RUN";

// Each reads one setting back from the encoder into its label.
void QueryPS(Controller& controller);
void QueryRT(Controller& controller);
// QueryRT that also gives the RadioText read: std::nullopt when the encoder gave no reading (no
// answer, a failed exchange, or the answer to another command).
std::optional<std::string> ReadRadioTextBack(Controller& controller);
void QueryPI(Controller& controller);
void QueryPilot(Controller& controller);
void QueryCT(Controller& controller);

}  // namespace morvane
