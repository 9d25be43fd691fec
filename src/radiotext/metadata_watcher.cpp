#include "radiotext/metadata_watcher.h"

namespace morvane {

void tmrTextCheck_Timer(Controller&) {}

}  // namespace morvane
