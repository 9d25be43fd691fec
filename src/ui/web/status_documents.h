#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/web/status_board.h"

namespace morvane {

// The documents of the web server, from a snapshot. Texts are UTF-8, as the window shows them.

// GET /api/status: labels by control name, the traffic button, the link, the version, and what a
// radio shows (PS, and the RadioText cut into its RT+ items).
[[nodiscard]] std::string StatusJson(const StatusSnapshot& snapshot);
// GET /api/events: the events after the asked id, oldest first.
[[nodiscard]] std::string EventsJson(const std::vector<LoggedEvent>& events, bool rds_characters);
// GET /metrics: the Prometheus text format.
[[nodiscard]] std::string MetricsText(const StatusSnapshot& snapshot);

// A JSON string literal of UTF-8 text.
[[nodiscard]] std::string JsonString(std::string_view utf8);
// "2026-03-05T14:02:31Z" for seconds since 1970 UTC.
[[nodiscard]] std::string IsoUtcTime(double seconds);

}  // namespace morvane
