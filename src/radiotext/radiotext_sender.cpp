#include "radiotext/radiotext_sender.h"

namespace morvane {

void SendRadioText(Controller&, const std::string&) {}
void EnableShortRT(Controller&) {}

}  // namespace morvane
