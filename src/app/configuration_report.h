#pragma once

#include <iosfwd>
#include <string>

#include "app/file_reader.h"

namespace morvane {

// `rdsmorvane --check`: loads RDSmorvane.ini from working_directory exactly as start-up does and
// prints every value start-up would use to out, texts quoted so blanks show. Opens no port and
// shows no window. Returns 0, or 1 after writing the message start-up would show to err.
[[nodiscard]] int CheckConfiguration(FileReader& files, const std::string& working_directory,
                                     std::ostream& out, std::ostream& err);

}  // namespace morvane
