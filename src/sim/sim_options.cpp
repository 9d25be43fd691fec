#include "sim/sim_options.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>

namespace morvane::sim {

namespace {

std::optional<long> ToLong(const std::string& text, int base, long min, long max) {
  if (text.empty()) {
    return std::nullopt;
  }
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, base);
  if (*end != '\0' || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

std::optional<bool> ToFlag(const std::string& text) {
  if (text == "0" || text == "off")
    return false;
  if (text == "1" || text == "on")
    return true;
  return std::nullopt;
}

// HOST:PORT, an IPv6 HOST in brackets; PORT 0 to 65535.
std::optional<ListenAddress> ToListenAddress(const std::string& text) {
  const bool bracketed = !text.empty() && text.front() == '[';
  const std::size_t colon = bracketed ? text.find("]:") + 1 : text.find(':');
  if (colon == 0 || colon == std::string::npos || text.find(':', colon + 1) != std::string::npos) {
    return std::nullopt;
  }
  const std::string host = bracketed ? text.substr(1, colon - 2) : text.substr(0, colon);
  const std::string digits = text.substr(colon + 1);
  const auto port = digits.find_first_not_of("0123456789") == std::string::npos
                        ? ToLong(digits, 10, 0, 65535)
                        : std::nullopt;
  if (host.empty() || !port) {
    return std::nullopt;
  }
  return ListenAddress{host, static_cast<uint16_t>(*port)};
}

}  // namespace

std::string SimUsage() {
  return "Usage: rds-encoder-sim --dialect ascii|frame [options]\n"
         "Plays an RDS encoder on a pseudo-terminal: PIRA32 command lines (ascii) or PIRA micro\n"
         "frames (frame). Prints the device path, then a line for every change on air.\n"
         "  --link PATH        also make a symlink to the device at PATH\n"
         "  --listen HOST:PORT serve one controller at a time over TCP instead (port 0: any\n"
         "                     free port); the first line is then \"listening on HOST:PORT\"\n"
         "  --ps TEXT          programme service name (8 characters)\n"
         "  --pi HEX           programme identification, e.g. C201\n"
         "  --pty N            programme type 0..31\n"
         "  --tp 0|1 --ta 0|1 --pilot 0|1 --ct 0|1   initial flags\n"
         "  --delay MS         answer MS milliseconds late\n"
         "  --silent           never answer\n"
         "  --noise            send stray bytes now and then\n"
         "  --log              print every received command with a timestamp (to stderr)\n"
         "  --groups FILE|-    write the broadcast group stream, one PPPP BBBB CCCC DDDD a line\n"
         "  --groups-rate N    groups a second (default 11.4, the real rate)\n"
         "  --charset rds|latin1  read received texts as RDS character codes, as a radio does\n"
         "                     (default), or as Windows-1252\n"
         "  --version          print the version\n";
}

std::variant<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args) {
  SimOptions options;
  bool dialect_given = false;
  using Setter = std::function<bool(const std::string&)>;
  EncoderState& s = options.initial;
  auto flag = [](bool& target) {
    return [&target](const std::string& v) {
      const auto f = ToFlag(v);
      if (f)
        target = *f;
      return f.has_value();
    };
  };
  const std::map<std::string, Setter> with_value{
      {"--dialect",
       [&](const std::string& v) {
         dialect_given = v == "ascii" || v == "frame";
         options.dialect = v == "frame" ? Dialect::Frame : Dialect::Ascii;
         return dialect_given;
       }},
      {"--link",
       [&](const std::string& v) {
         options.link_path = v;
         return !v.empty();
       }},
      {"--listen",
       [&](const std::string& v) {
         options.listen = ToListenAddress(v);
         return options.listen.has_value();
       }},
      {"--ps",
       [&](const std::string& v) {
         s.ps = v.substr(0, kPsLength);
         s.ps.resize(kPsLength, ' ');
         return true;
       }},
      {"--pi",
       [&](const std::string& v) {
         const auto pi = v.size() == 4 ? ToLong(v, 16, 0, 0xFFFF) : std::nullopt;
         if (pi)
           s.pi = static_cast<uint16_t>(*pi);
         return pi.has_value();
       }},
      {"--pty",
       [&](const std::string& v) {
         const auto pty = ToLong(v, 10, 0, 31);
         if (pty)
           s.pty = static_cast<int>(*pty);
         return pty.has_value();
       }},
      {"--tp", flag(s.tp)},
      {"--ta", flag(s.ta)},
      {"--pilot", flag(s.pilot)},
      {"--ct", flag(s.ct)},
      {"--delay",
       [&](const std::string& v) {
         const auto ms = ToLong(v, 10, 0, 60000);
         if (ms)
           options.delay_ms = static_cast<int>(*ms);
         return ms.has_value();
       }},
      {"--groups",
       [&](const std::string& v) {
         options.groups_path = v;
         return !v.empty();
       }},
      {"--groups-rate",
       [&](const std::string& v) {
         char* end = nullptr;
         const double rate = std::strtod(v.c_str(), &end);
         options.groups_rate = rate;
         return !v.empty() && *end == '\0' && rate > 0 && rate <= 100000;
       }},
      {"--charset",
       [&](const std::string& v) {
         options.charset = v == "latin1" ? ReceivedCharset::Latin1 : ReceivedCharset::Rds;
         return v == "rds" || v == "latin1";
       }},
  };
  const std::map<std::string, bool*> switches{{"--silent", &options.silent},
                                              {"--noise", &options.noise},
                                              {"--log", &options.log},
                                              {"--help", &options.help},
                                              {"--version", &options.version}};

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (const auto sw = switches.find(arg); sw != switches.end()) {
      *sw->second = true;
      continue;
    }
    const auto setter = with_value.find(arg);
    if (setter == with_value.end()) {
      return "unknown option " + arg;
    }
    if (i + 1 >= args.size()) {
      return arg + " needs a value";
    }
    if (!setter->second(args[++i])) {
      return "bad value for " + arg + ": " + args[i];
    }
  }
  if (options.listen && !options.link_path.empty()) {
    return "--link names a pseudo-terminal; it cannot go with --listen";
  }
  if (!dialect_given && !options.help && !options.version) {
    return "--dialect ascii|frame is required";
  }
  return options;
}

}  // namespace morvane::sim
