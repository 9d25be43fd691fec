#include "app/configuration_report.h"

#include <iomanip>
#include <optional>
#include <ostream>
#include <string_view>

#include "app/configuration.h"
#include "app/controller_state.h"
#include "app/startup.h"
#include "app/startup_error.h"
#include "link/line_settings.h"
#include "radiotext/metadata_line.h"
#include "text/rds_charset.h"
#include "text/text_helpers.h"

namespace morvane {

namespace {

constexpr std::string_view kNotSet = "(not set)";
constexpr std::size_t kNameWidth = 18;

void AppendEscaped(std::string& shown, unsigned char byte) {
  shown += "\\x" + HexByte(byte);
}

// Between double quotes, with control characters (a stray CR or tab in the file) written as \xNN
// so the engineer sees them; every other byte is shown as it stands.
std::string ShownAsWritten(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      AppendEscaped(shown, byte);
    } else {
      shown += c;
    }
  }
  return shown + "\"";
}

// A text that goes on air is held in RDS character set bytes: bytes from 0x80 up are shown as
// the radio would show them, so a wrong TextEncoding is seen at once.
std::string QuotedOnAir(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const char32_t character = RdsCharacter(byte);
    if (byte < 0x20 || byte == 0x7f || character == kNoCharacter) {
      AppendEscaped(shown, byte);
    } else if (byte < 0x80) {
      shown += c;
    } else {
      AppendUtf8(shown, character);
    }
  }
  return shown + "\"";
}

std::string QuotedOrNotSet(const std::string& text, std::string_view sentinel) {
  return text == sentinel ? std::string(kNotSet) : QuotedOnAir(text);
}

// How the port set-up will take COMport, or what it will say about COMport and COMsettings.
struct PortCheck {
  std::string meaning;
  std::optional<std::string> error;
};

PortCheck CheckPort(FileReader& files, const PortConfiguration& port) {
  try {
    const PortAddress address = ResolvePort(port).address;
    if (address.network) {
      // An encoder on the network has no device here to check; the connection is start-up's.
      return {" (network: host " + address.network->host + ", port " +
                  std::to_string(address.network->port) + ")",
              std::nullopt};
    }
    std::string meaning = address.device_path.empty()
                              ? " (port number " + std::to_string(address.number) + ", device " +
                                    PortDeviceName(address) + ")"
                              : " (device " + address.device_path + ")";
    return {std::move(meaning), PortProblem(files, address)};
  } catch (const StartupError& error) {
    return {"", std::string(error.what())};
  }
}

// Read as the metadata watcher reads it, and named in the same words when it cannot be.
std::optional<std::string> CheckMetadataFile(FileReader& files, const std::string& path) {
  const FileRead read = files.ReadPrefix(path, kMetadataReadLimitBytes);
  if (read.content) {
    return std::nullopt;
  }
  return MetadataFileProblem(path, read.error);
}

std::string EncoderMeaning(const ControllerState& state) {
  if (IsPira32(state) || IsPiraMicro(state)) {
    return "";
  }
  return " (no encoder model: nothing is sent)";
}

std::string WebListenMeaning(const WebSettings& web) {
  if (!web.listen) {
    return "(not set: no web server)";
  }
  const WebListen& listen = *web.listen;
  const bool v6 = listen.host.find(':') != std::string::npos;
  return (v6 ? "[" + listen.host + "]" : listen.host) + ":" + std::to_string(listen.port) +
         (listen.loopback ? " (this computer only)" : " (reachable from other computers)");
}

void PrintLine(std::ostream& out, std::string_view name, const std::string& value) {
  // A name longer than the column still keeps a blank before its value.
  out << std::left << std::setw(static_cast<int>(kNameWidth)) << name
      << (name.size() < kNameWidth ? "" : " ") << value << '\n';
}

std::string StaleMeaning(int minutes) {
  if (minutes == 0) {
    return "0 (off)";
  }
  return std::to_string(minutes) + " (DefaultRadioText after " + std::to_string(minutes) +
         " minutes unchanged)";
}

void PrintValues(std::ostream& out, const Configuration& configuration, const PortCheck& port_check,
                 const ControllerState& state) {
  const bool network = IsNetworkPortText(configuration.COMport);
  PrintLine(out, "COMsettings",
            ShownAsWritten(configuration.COMsettings) +
                (network ? " (not used: a network port has the line settings of the encoder or "
                           "its device server)"
                         : ""));
  PrintLine(out, "COMport", ShownAsWritten(configuration.COMport) + port_check.meaning);
  PrintLine(out, "TextEncoding", std::string(TextEncodingName(configuration.text_encoding)));
  PrintLine(out, "EncoderType", ShownAsWritten(state.EncoderType) + EncoderMeaning(state));
  PrintLine(out, "DefaultRadioText", QuotedOnAir(state.DefaultRadioText));
  PrintLine(out, "TrafficRadioText", QuotedOnAir(state.TrafficRadioText));
  PrintLine(out, "TAmaxtime", std::to_string(state.TAmaxtime) + " s");
  PrintLine(out, "TrafficMeta", QuotedOrNotSet(state.TrafficMeta, kMarkerSentinel));
  PrintLine(out, "RTplus", std::to_string(state.RTplus) + (state.RTplus == 1 ? " (on)" : " (off)"));
  PrintLine(
      out, "RTplusSwap",
      ShownAsWritten(state.RTplusSwap) + (state.RTplusSwap == "1" ? " (swap)" : " (no swap)"));
  PrintLine(out, "MetadataFile", ShownAsWritten(state.MetadataFile));
  PrintLine(out, "StaleRadioTextMinutes", StaleMeaning(configuration.stale_radiotext_minutes));
  PrintLine(out, "RTplusPrefix", QuotedOrNotSet(state.RTPlusPrefix, kRtPlusSentinel));
  PrintLine(out, "RTplusSplit", QuotedOrNotSet(state.RTPlusSplit, kRtPlusSentinel));
  // The token itself is a secret and is never printed.
  PrintLine(out, "WebListen", WebListenMeaning(configuration.web));
  PrintLine(out, "WebToken", configuration.web.token.empty() ? "(not set)" : "(set)");
  PrintLine(out, "MetadataSource",
            configuration.web.metadata_source == MetadataSource::Push ? "push" : "file");
}

}  // namespace

int CheckConfiguration(FileReader& files, const std::string& working_directory, std::ostream& out,
                       std::ostream& err) {
  ControllerState state;
  Configuration configuration;
  try {
    configuration = LoadConfiguration(files, working_directory, state);
  } catch (const StartupError& error) {
    err << error.what() << '\n';
    return 1;
  }
  // Start-up checks the port's texts and its device before it opens it, and stops on them; the
  // values are still worth seeing beside the message.
  const PortCheck port_check = CheckPort(files, configuration);
  out << "Values from " << kIniFileName << " in " << working_directory << ":\n";
  PrintValues(out, configuration, port_check, state);
  // Start-up goes on without the metadata file, so it is said but does not fail the check.
  if (const std::optional<std::string> problem = CheckMetadataFile(files, state.MetadataFile)) {
    err << *problem << '\n';
  }
  if (port_check.error) {
    err << *port_check.error << '\n';
    return 1;
  }
  return 0;
}

}  // namespace morvane
