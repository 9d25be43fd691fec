#pragma once

#include <iosfwd>
#include <string>

#include "app/file_reader.h"

namespace morvane {

// `rdsmorvane --check`: loads RDSmorvane.ini from working_directory exactly as start-up does and
// prints every value start-up would use to out, texts quoted so blanks show. Checks the port's
// device as start-up does before opening it (there, a character device that is a terminal, which
// this user may read and write) and reads the metadata file as the metadata watcher does. Sends
// nothing and shows no window. Returns 0, or 1 after writing the message start-up would show to
// err; a metadata file that cannot be read is named on err, one line, without failing the check.
[[nodiscard]] int CheckConfiguration(FileReader& files, const std::string& working_directory,
                                     std::ostream& out, std::ostream& err);

}  // namespace morvane
