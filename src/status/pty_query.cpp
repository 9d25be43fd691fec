#include "status/pty_query.h"

namespace morvane {

void QueryPTY(Controller&) {}

}  // namespace morvane
