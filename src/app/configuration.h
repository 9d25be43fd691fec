#pragma once

#include <string>
#include <string_view>

#include "app/controller_state.h"
#include "app/file_reader.h"
#include "text/text_encoding.h"
#include "ui/web/web_settings.h"

namespace morvane {

inline constexpr std::string_view kIniFileName = "RDSmorvane.ini";
inline constexpr std::string_view kIniSection = "RDSmorvane";
// The keyed lookup's buffer holds 30 characters with its terminating NUL.
inline constexpr std::size_t kKeyedValueMaxChars = 29;

// The two values only the port set-up uses, as they stand in the file.
struct PortConfiguration {
  std::string COMsettings;
  std::string COMport;
};

// What start-up takes from the file beside the record's fields: the port's texts, how the
// texts that come in later (metadata and in-house lines) are written, and the web server's keys.
struct Configuration : PortConfiguration {
  TextEncoding text_encoding = TextEncoding::Rds;
  WebSettings web;
  // Minutes after which an unchanged metadata line gives way to DefaultRadioText; 0: never.
  int stale_radiotext_minutes = 0;
};

inline constexpr int kStaleRadioTextMaxMinutes = 1440;

// The part of a text before its first NUL.
[[nodiscard]] std::string StripNulls(const std::string& text);

// Reads RDSmorvane.ini from working_directory into the configuration fields of state, the
// configured texts already in the RDS character set.
// Throws StartupError naming the problem when start-up cannot go on.
Configuration LoadConfiguration(FileReader& files, const std::string& working_directory,
                                ControllerState& state);

}  // namespace morvane
