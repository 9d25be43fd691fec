#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz_check.h"
#include "link/protocol.h"
#include "support/fakes.h"

namespace morvane::fuzzing {

inline constexpr int kMaxTicks = 8;

// Configured texts never hold a line end: the INI reader splits lines there.
inline std::string ConfiguredText(FuzzedDataProvider& input, std::size_t max_length) {
  std::string text = input.ConsumeRandomLengthString(max_length);
  std::string kept;
  for (char c : text) {
    if (c != '\r' && c != '\n') {
      kept += c;
    }
  }
  return kept;
}

inline std::string EncoderType(FuzzedDataProvider& input) {
  static const char* const kTypes[] = {"PIRA32", "PIRAMICRO", "pira32", ""};
  return kTypes[input.ConsumeIntegralInRange<int>(0, 3)];
}

// The encoder answers every command with fuzzed bytes, early or late.
inline void AnswerWithJunk(FuzzedDataProvider& input, testing::Rig& rig) {
  rig.port.answer_delay_us = input.ConsumeIntegralInRange<int64_t>(0, 1'000'000);
  rig.port.responder = [&input](const std::string&) {
    return input.ConsumeRandomLengthString(300);
  };
}

// A file as the tick finds it: missing, unreadable, or holding fuzzed bytes.
inline void PutFile(FuzzedDataProvider& input, testing::FakeFiles& files, const std::string& path) {
  files.files.erase(path);
  files.unreadable.erase(path);
  switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return;
    case 1:
      files.files[path] = "whatever";
      files.unreadable.insert(path);
      return;
    default:
      files.files[path] = input.ConsumeRandomLengthString(400);
  }
}

// Everything a tick wrote keeps to the framing of its dialect, and every wait is one the
// command catalogue knows.
inline void CheckWire(const testing::Rig& rig) {
  for (const testing::WireEvent& event : rig.log) {
    if (event.kind == testing::WireEvent::Kind::Sleep) {
      FUZZ_CHECK(event.wait_ms == 50 || event.wait_ms == 200 || event.wait_ms == 400 ||
                 event.wait_ms == 500);
    }
    if (event.kind != testing::WireEvent::Kind::Write) {
      continue;
    }
    const std::string& bytes = event.bytes;
    FUZZ_CHECK(IsPira32(rig.state) || IsPiraMicro(rig.state));
    if (IsPira32(rig.state)) {
      FUZZ_CHECK(bytes.find('\r') == bytes.size() - 1);
      continue;
    }
    FUZZ_CHECK(bytes.size() >= protocol::kReadFrameBytes &&
               bytes.front() == protocol::kFrameStart && bytes.back() == protocol::kFrameEnd);
    if (bytes[1] == protocol::kReadRequest) {
      FUZZ_CHECK(bytes.size() == protocol::kReadFrameBytes);
    } else {
      FUZZ_CHECK(bytes[bytes.size() - 2] == protocol::kWriteClose);
      // FE and FF inside the data would end or restart the frame.
      const std::string data = bytes.substr(2, bytes.size() - protocol::kWriteFrameOverhead);
      FUZZ_CHECK(data.find(protocol::kFrameStart) == std::string::npos &&
                 data.find(protocol::kFrameEnd) == std::string::npos);
      FUZZ_CHECK(data.size() == protocol::WriteDataLength(static_cast<uint8_t>(bytes[1])));
    }
  }
}

}  // namespace morvane::fuzzing
