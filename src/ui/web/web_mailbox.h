#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "ui/web/web_router.h"

namespace morvane {

// What the web has asked of the controller and the controller has not yet done. The web's
// threads post, the controller's thread takes, between two handlers. Lines pushed while the
// controller is busy (start-up takes seconds) are not queued up: only the latest goes on air,
// as a file rewritten twice between two reads.
class WebMailbox {
 public:
  struct Pending {
    std::optional<std::string> line;
    int clicks = 0;
  };

  // True when the controller has to be woken: nothing was waiting before.
  [[nodiscard]] bool Post(const WebAction& action);
  [[nodiscard]] Pending Take();

 private:
  std::mutex mutex_;
  Pending pending_;
};

}  // namespace morvane
