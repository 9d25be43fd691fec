#include "support/fakes.h"

#include <ctime>
#include <memory>
#include <numeric>
#include <ostream>

#include "link/dialects.h"
#include "text/text_helpers.h"

namespace morvane::testing {

void PrintTo(const SentCommand& command, std::ostream* os) {
  *os << "{\"";
  for (unsigned char c : command.bytes) {
    *os << (c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "\\x" + HexByte(c));
  }
  *os << "\", " << command.wait_ms << " ms}";
}

void FakeEncoderPort::SleepMs(int milliseconds) {
  log_.push_back({WireEvent::Kind::Sleep, time_.now_us, {}, milliseconds});
  time_.now_us += int64_t{milliseconds} * 1000;
}

std::optional<std::string> FakeEncoderPort::Open(const PortAddress& address,
                                                 const LineSettings& settings) {
  ++open_attempts;
  if (!open_error) {
    open = true, opened_address = address, opened_settings = settings;
  }
  return open_error;
}

bool FakeEncoderPort::Write(std::string_view bytes) {
  if (fail_when_closed && !open) {
    return false;
  }
  log_.push_back({WireEvent::Kind::Write, time_.now_us, std::string(bytes), 0});
  if (!fail_writes && responder) {
    Inject(responder(std::string(bytes)), answer_delay_us);
  }
  return !fail_writes;
}

std::optional<std::string> FakeEncoderPort::ReadAll() {
  if (fail_when_closed && !open) {
    return std::nullopt;
  }
  std::string received;
  while (!fail_reads && !in_flight_.empty() && in_flight_.front().first <= time_.now_us) {
    received += in_flight_.front().second;
    in_flight_.pop_front();
  }
  log_.push_back({WireEvent::Kind::Read, time_.now_us, received, 0});
  return fail_reads ? std::nullopt : std::optional<std::string>(received);
}

std::string WithoutCR(const std::string& line) {
  return line.substr(0, line.size() - (!line.empty() && line.back() == kCR ? 1 : 0));
}

std::string Pira32Answer(const std::string& command_line, const std::string& value) {
  return WithoutCR(command_line) + "\r\n" + value + "\r\n";
}

FakeEncoderPort::Responder Pira32Responder(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const std::string& command) {
    const auto it = values.find(WithoutCR(command));
    return Pira32Answer(command, it != values.end() ? it->second : "OK");
  };
}

FakeEncoderPort::Responder HoldingPira32Responder(std::map<std::string, std::string> values) {
  auto held = std::make_shared<std::map<std::string, std::string>>(std::move(values));
  held->emplace("TA", "0");
  return [held](const std::string& command) {
    const std::string text = command.substr(0, command.size() - 1);
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos && (text.rfind("RT1=", 0) == 0 || text.rfind("TA=", 0) == 0)) {
      (*held)[text.substr(0, equals)] = text.substr(equals + 1, 64);
    }
    return Pira32Responder(*held)(command);
  };
}

FakeEncoderPort::Responder FrameResponder(std::map<uint8_t, std::string> data) {
  return [data = std::move(data)](const std::string& command) -> std::string {
    const bool read = command.size() == 5 && command[1] == '\xD0';
    const auto it = read ? data.find(static_cast<uint8_t>(command[2])) : data.end();
    return it == data.end() ? std::string() : std::string("\xFE\xD0", 2) + it->second + "\xFF";
  };
}

// Civil time with no zone, so the sum is the same whatever the machine's time zone.
LocalTime FakeClock::Now() {
  std::tm civil{};
  civil.tm_year = base_.year - 1900, civil.tm_mon = base_.month - 1, civil.tm_mday = base_.day;
  civil.tm_hour = base_.hour, civil.tm_min = base_.minute, civil.tm_sec = base_.second;
  const std::time_t at = timegm(&civil) + (time_.now_us - base_us_) / 1000000;
  gmtime_r(&at, &civil);
  return {civil.tm_year + 1900, civil.tm_mon + 1, civil.tm_mday,
          civil.tm_hour,        civil.tm_min,     civil.tm_sec};
}

FileRead FakeFiles::ReadPrefix(const std::string& path, std::size_t max_bytes) {
  reads.push_back(path);
  const auto it = files.find(path);
  if (it == files.end() || unreadable.count(path) != 0) {
    return {std::nullopt, it == files.end() ? "No such file or directory" : "Permission denied"};
  }
  return {it->second.substr(0, max_bytes), {}};
}

std::vector<std::string> FakeFiles::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
  for (const auto& [file_path, content] : files) {
    if (file_path.rfind(prefix, 0) == 0 &&
        file_path.find('/', prefix.size()) == std::string::npos) {
      names.push_back(file_path.substr(prefix.size()));
    }
  }
  return names;
}

FakeView::FakeView() {
  for (Label label : kAllLabels) {
    labels[label] = std::string(CreationText(label));
  }
}

std::vector<std::string> FakeView::History(Label label) const {
  std::vector<std::string> texts;
  for (const auto& [which, text] : label_history) {
    if (which == label) {
      texts.push_back(text);
    }
  }
  return texts;
}

std::vector<std::string> FakeEvents::Told() const {
  std::vector<std::string> told;
  for (const Event& event : events) {
    if (event.severity != Severity::Info) {
      told.push_back(event.text);
    }
  }
  return told;
}

std::vector<SentCommand> Rig::Sent() const {
  std::vector<SentCommand> sent;
  for (const WireEvent& event : log) {
    if (event.kind == WireEvent::Kind::Write) {
      sent.push_back({event.bytes, 0});
    } else if (event.kind == WireEvent::Kind::Sleep && !sent.empty()) {
      sent.back().wait_ms += event.wait_ms;
    }
  }
  return sent;
}

std::vector<std::string> Rig::Writes() const {
  std::vector<std::string> writes;
  for (const SentCommand& command : Sent()) {
    writes.push_back(command.bytes);
  }
  return writes;
}

int Rig::TotalWaitMs() const {
  return std::accumulate(log.begin(), log.end(), 0, [](int total, const WireEvent& event) {
    return total + (event.kind == WireEvent::Kind::Sleep ? event.wait_ms : 0);
  });
}

}  // namespace morvane::testing
