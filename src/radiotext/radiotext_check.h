#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morvane {

struct Controller;

// A RadioText that did not arrive is sent again, but one text no more often than this: an encoder
// that keeps another text must not have the line hammered.
inline constexpr int64_t kRadioTextResendIntervalMs = 10000;
// Misses in a row after which the station is told; one miss is a glitch, three are a fault.
inline constexpr int kRadioTextMissesNoticed = 3;

inline constexpr char kOtherRadioTextNotice[] = "encoder holds another RadioText";

// Whether the encoder holds the RadioText that should be on air.
struct RadioTextCheck {
  // The text start-up or the metadata watcher last put on air; std::nullopt before any.
  std::optional<std::string> meant;
  int misses_in_a_row = 0;
  // When the metadata line is to be acted on again, after a miss.
  std::optional<int64_t> resend_at_ms;
};

// After SendRadioText(text) and the read-back of the RadioText (std::nullopt: no reading). A
// miss, or no reading, has the line acted on again kRadioTextResendIntervalMs after this send.
void CheckRadioTextHeld(Controller& controller, const std::string& text,
                        const std::optional<std::string>& read_back);
// True, once, when a re-send has fallen due: the metadata watcher then forgets LastRT.
[[nodiscard]] bool TakeRadioTextResend(Controller& controller);

}  // namespace morvane
