#include "app/configuration.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "app/ini_lookup.h"
#include "app/startup_error.h"
#include "link/line_settings.h"
#include "text/leading_number.h"
#include "text/text_helpers.h"

namespace morvane {

namespace {

// Far beyond any real configuration; a larger file is surely not the one meant.
constexpr std::size_t kIniMaxBytes = std::size_t{1} << 20;

// What a key missing from the file stands for.
constexpr std::string_view kDefaultCOMsettings = "9600,N,8,1";
constexpr std::string_view kDefaultTAMaxTimeoutMinutes = "2";
constexpr std::string_view kDefaultMetadataFile = "metadata.txt";

constexpr std::string_view kMetadataFileLineKey = "MetadataFile=";
constexpr std::string_view kRTplusPrefixLineKey = "RTplusPrefix=";
constexpr std::string_view kRTplusSplitLineKey = "RTplusSplit=";

constexpr int kSecondsPerMinute = 60;
constexpr int kTAmaxtimeMinSeconds = 60;
constexpr int kTAmaxtimeMaxSeconds = 599;
constexpr int16_t kTAmaxtimeFallbackSeconds = 120;

struct IniFile {
  std::string path;
  std::string text;
};

std::string JoinPath(const std::string& directory, std::string_view name) {
  if (directory.empty()) {
    return std::string(name);
  }
  return directory + (directory.back() == '/' ? "" : "/") + std::string(name);
}

std::string CannotBeRead(const std::string& path, const std::string& reason) {
  return "The configuration file " + path + " cannot be read: " + reason + ".";
}

// The path of the one file in the working directory whose name differs from "RDSmorvane.ini"
// only in letter case, as a file copied from another system may be named. reason: why the file
// of the exact name could not be read.
std::string CaseVariantPath(FileReader& files, const std::string& working_directory,
                            const std::string& reason) {
  std::vector<std::string> matches;
  for (const std::string& name : files.ListDirectory(working_directory)) {
    if (name == kIniFileName) {
      // There but not readable (no access, or a directory): another name must not stand in.
      throw StartupError(CannotBeRead(JoinPath(working_directory, kIniFileName), reason));
    }
    if (EqualsIgnoringCase(name, kIniFileName)) {
      matches.push_back(name);
    }
  }
  if (matches.empty()) {
    throw StartupError("The configuration file " + std::string(kIniFileName) +
                       " was not found in the working directory " + working_directory + ".");
  }
  if (matches.size() > 1) {
    std::sort(matches.begin(), matches.end());
    std::string names;
    for (const std::string& name : matches) {
      names += (names.empty() ? "" : ", ") + name;
    }
    throw StartupError("Several files in " + working_directory +
                       " could be the configuration file " + std::string(kIniFileName) + ": " +
                       names + ". Keep only one.");
  }
  return JoinPath(working_directory, matches.front());
}

// Read once: both passes work on this one text, so they cannot see two different files.
IniFile ReadIniFile(FileReader& files, const std::string& working_directory) {
  std::string path = JoinPath(working_directory, kIniFileName);
  FileRead read = files.ReadPrefix(path, kIniMaxBytes + 1);
  if (!read.content) {
    path = CaseVariantPath(files, working_directory, read.error);
    read = files.ReadPrefix(path, kIniMaxBytes + 1);
  }
  if (!read.content) {
    throw StartupError(CannotBeRead(path, read.error));
  }
  if (read.content->size() > kIniMaxBytes) {
    throw StartupError("The configuration file " + path +
                       " is larger than 1 MiB; it cannot be the configuration.");
  }
  return {path, std::move(*read.content)};
}

// Notepad's "Unicode": a UTF-16 byte order mark, or the NUL bytes that UTF-16 puts between ASCII
// letters. No key can be found in such a file.
bool LooksLikeUtf16(std::string_view text) {
  if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
    return true;
  }
  const auto is_letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\0' && is_letter(text[i - 1]) && is_letter(text[i + 1])) {
      return true;
    }
  }
  return false;
}

// What the keyed lookup gives back: at most 29 characters, cut at a NUL.
std::optional<std::string> KeyedValue(const IniFile& ini, std::string_view key) {
  std::optional<std::string> value = LookupIniValue(ini.text, kIniSection, key);
  if (value) {
    *value = StripNulls(value->substr(0, kKeyedValueMaxChars));
  }
  return value;
}

std::string KeyedValueOr(const IniFile& ini, std::string_view key, std::string_view fallback) {
  return KeyedValue(ini, key).value_or(std::string(fallback));
}

// A device path or a network address is the port's own name and is kept whole: the stable names
// of USB adapters (/dev/serial/by-id/...) and many host names are far longer than 29 characters,
// and a cut one names no device, or the wrong one.
std::string COMportValue(const IniFile& ini) {
  std::optional<std::string> value = LookupIniValue(ini.text, kIniSection, "COMport");
  if (!value && LooksLikeUtf16(ini.text)) {
    throw StartupError("The configuration file " + ini.path +
                       " looks like UTF-16; save it as UTF-8 or ANSI.");
  }
  if (!value) {
    throw StartupError("The key COMport is missing from section [" + std::string(kIniSection) +
                       "] of " + ini.path +
                       ". Give the serial port's number (1 for the first), its device path or "
                       "tcp://HOST:PORT for an encoder on the network.");
  }
  if ((!value->empty() && value->front() == '/') || IsNetworkPortText(*value)) {
    return StripNulls(*value);
  }
  return StripNulls(value->substr(0, kKeyedValueMaxChars));
}

TextEncoding TextEncodingValue(const IniFile& ini) {
  const std::string text = KeyedValueOr(ini, "TextEncoding", "");
  const std::optional<TextEncoding> encoding = ParseTextEncoding(text);
  if (!encoding) {
    throw StartupError("TextEncoding " + Quoted(text) + " in " + ini.path + " is not known; give " +
                       std::string(kTextEncodingValues) + ".");
  }
  return *encoding;
}

// The web's keys are names and a secret, kept whole: a token cut without notice would turn every
// request of the station's playout away.
std::string WholeValue(const IniFile& ini, std::string_view key) {
  return StripNulls(LookupIniValue(ini.text, kIniSection, key).value_or(""));
}

WebSettings WebSettingsValue(const IniFile& ini) {
  WebSettings web;
  const std::string listen = WholeValue(ini, "WebListen");
  web.token = WholeValue(ini, "WebToken");
  if (!listen.empty()) {
    web.listen = ParseWebListen(listen);
    if (!web.listen) {
      throw StartupError("WebListen " + Quoted(listen) + " in " + ini.path +
                         " names no address and port; give HOST:PORT, as in 127.0.0.1:8750 "
                         "([::1]:8750 for IPv6).");
    }
    // Nothing may be changed from the network without the token.
    if (!web.listen->loopback && web.token.empty()) {
      throw StartupError("WebListen " + Quoted(listen) + " in " + ini.path +
                         " can be reached from other computers; set WebToken too, or listen on "
                         "127.0.0.1 only.");
    }
  }
  const std::string source = KeyedValueOr(ini, "MetadataSource", "");
  const std::optional<MetadataSource> metadata_source = ParseMetadataSource(source);
  if (!metadata_source) {
    throw StartupError("MetadataSource " + Quoted(source) + " in " + ini.path +
                       " is not known; give " + std::string(kMetadataSourceValues) + ".");
  }
  web.metadata_source = *metadata_source;
  // A title that can only be pushed, with nowhere to push it to, would never change.
  if (web.metadata_source == MetadataSource::Push && !web.listen) {
    throw StartupError("MetadataSource push in " + ini.path +
                       " takes the title from the web; set WebListen too.");
  }
  return web;
}

int16_t RTplusValue(const IniFile& ini, const std::string& text) {
  const std::optional<LeadingNumber> number = ParseLeadingNumber(text);
  if (!number) {
    return 0;
  }
  const std::optional<int16_t> value = RoundToInt16(number->value);
  if (!value) {
    throw StartupError("RTplus " + Quoted(text) + " in " + ini.path +
                       " is out of range; give 1 to switch RT+ on, 0 to switch it off.");
  }
  return *value;
}

// The longest announcement allowed, in seconds. The whole text must be a number of minutes;
// a whole number of seconds outside 60..599 falls back to two minutes.
int16_t TAmaxtimeValue(const IniFile& ini, const std::string& text) {
  const std::optional<LeadingNumber> minutes = ParseLeadingNumber(text);
  const bool only_number =
      minutes && text.find_first_not_of(" \t", minutes->length) == std::string::npos;
  if (!only_number) {
    throw StartupError("TAMaxTimeout " + Quoted(text) + " in " + ini.path +
                       " is not a number of minutes.");
  }
  const std::optional<int16_t> seconds = RoundToInt16(minutes->value * kSecondsPerMinute);
  if (!seconds) {
    throw StartupError("TAMaxTimeout " + Quoted(text) + " in " + ini.path +
                       " is far too large; give the minutes a traffic announcement may last.");
  }
  if (*seconds < kTAmaxtimeMinSeconds || *seconds > kTAmaxtimeMaxSeconds) {
    return kTAmaxtimeFallbackSeconds;
  }
  return *seconds;
}

// Whole minutes up to a day; missing, empty or 0 keeps a line on air for as long as it stands.
int StaleRadioTextMinutesValue(const IniFile& ini) {
  const std::string text = KeyedValueOr(ini, "StaleRadioTextMinutes", "");
  if (text.empty()) {
    return 0;
  }
  int minutes = -1;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, minutes);
  if (error != std::errc() || stop != end || minutes < 0 || minutes > kStaleRadioTextMaxMinutes) {
    throw StartupError("StaleRadioTextMinutes " + Quoted(text) + " in " + ini.path +
                       " is not usable; give the minutes (1 to " +
                       std::to_string(kStaleRadioTextMaxMinutes) +
                       ") after which an unchanged metadata line gives way to DefaultRadioText, "
                       "or 0 to keep it on air.");
  }
  return minutes;
}

bool StartsWith(std::string_view line, std::string_view key) {
  return line.substr(0, key.size()) == key;
}

// Three values that may be long or begin or end with blanks: exact, case-sensitive keys at the
// very start of a line, in any section, the last line for a key winning.
void ScanLines(const IniFile& ini, ControllerState& state) {
  for (std::string_view line : SplitLines(ini.text)) {
    if (StartsWith(line, kMetadataFileLineKey)) {
      state.MetadataFile = std::string(line.substr(kMetadataFileLineKey.size()));
    } else if (StartsWith(line, kRTplusPrefixLineKey)) {
      state.RTPlusPrefix = std::string(line.substr(kRTplusPrefixLineKey.size()));
    } else if (StartsWith(line, kRTplusSplitLineKey)) {
      state.RTPlusSplit = std::string(line.substr(kRTplusSplitLineKey.size()));
    }
  }
}

}  // namespace

std::string StripNulls(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

Configuration LoadConfiguration(FileReader& files, const std::string& working_directory,
                                ControllerState& state) {
  // Read first, so that a missing file is reported as such and not as a missing key.
  const IniFile ini = ReadIniFile(files, working_directory);

  Configuration configuration;
  configuration.COMsettings = KeyedValueOr(ini, "COMsettings", kDefaultCOMsettings);
  configuration.COMport = COMportValue(ini);
  // Known before any text is taken, so each is converted right after its 29-character cut.
  const TextEncoding encoding = TextEncodingValue(ini);
  configuration.text_encoding = encoding;
  configuration.web = WebSettingsValue(ini);
  state.EncoderType = KeyedValueOr(ini, "EncoderType", "");
  state.DefaultRadioText = ToRds(KeyedValueOr(ini, "DefaultRadioText", ""), encoding);
  state.TrafficRadioText = ToRds(KeyedValueOr(ini, "TrafficRadioText", ""), encoding);
  const std::string ta_max_timeout = KeyedValueOr(ini, "TAMaxTimeout", kDefaultTAMaxTimeoutMinutes);
  state.TrafficMeta = ToRds(KeyedValueOr(ini, "TrafficMeta", ""), encoding);
  if (state.TrafficMeta.empty()) {
    state.TrafficMeta = std::string(kMarkerSentinel);
  }
  state.RTplus = RTplusValue(ini, KeyedValueOr(ini, "RTplus", ""));
  state.RTplusSwap = KeyedValueOr(ini, "RTplusSwap", "");

  state.MetadataFile.clear();
  state.RTPlusSplit = std::string(kRtPlusSentinel);
  state.RTPlusPrefix = std::string(kRtPlusSentinel);
  ScanLines(ini, state);
  // The sentinels stand for "not configured" and must stay as they are.
  if (state.RTPlusPrefix != kRtPlusSentinel) {
    state.RTPlusPrefix = ToRds(state.RTPlusPrefix, encoding);
  }
  if (state.RTPlusSplit != kRtPlusSentinel) {
    state.RTPlusSplit = ToRds(state.RTPlusSplit, encoding);
  }
  if (state.MetadataFile.empty()) {
    state.MetadataFile = std::string(kDefaultMetadataFile);
  }

  state.TAmaxtime = TAmaxtimeValue(ini, ta_max_timeout);
  configuration.stale_radiotext_minutes = StaleRadioTextMinutesValue(ini);
  return configuration;
}

}  // namespace morvane
