#include "ui/web/web_mailbox.h"

namespace morvane {

bool WebMailbox::Post(const WebAction& action) {
  std::lock_guard lock(mutex_);
  const bool was_empty = !pending_.line && pending_.clicks == 0;
  switch (action.kind) {
    case WebActionKind::PushLine:
      pending_.line = action.line;
      break;
    case WebActionKind::TrafficClick:
      ++pending_.clicks;
      break;
    case WebActionKind::None:
      return false;
  }
  return was_empty;
}

WebMailbox::Pending WebMailbox::Take() {
  std::lock_guard lock(mutex_);
  Pending taken = std::move(pending_);
  pending_ = Pending{};
  return taken;
}

}  // namespace morvane
