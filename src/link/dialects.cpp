#include "link/dialects.h"

namespace morvane {

using protocol::kFrameEnd;
using protocol::kFrameStart;
using protocol::kReadRequest;
using protocol::kWriteClose;

std::string BuildAsciiCommand(std::string_view text) {
  std::string line(text);
  line += kCR;
  return line;
}

std::string BuildReadFrame(uint8_t address, uint8_t count) {
  return {kFrameStart, kReadRequest, static_cast<char>(address), static_cast<char>(count),
          kFrameEnd};
}

std::string BuildWriteFrame(uint8_t address, std::string_view data) {
  std::string frame{kFrameStart, static_cast<char>(address)};
  frame.append(data);
  frame += kWriteClose;
  frame += kFrameEnd;
  return frame;
}

std::string ParseAnswerLine(std::string_view answer) {
  std::string value;
  int cr_count = 0;
  for (char c : answer) {
    if (c == kCR) {
      ++cr_count;
    }
    if (cr_count == 1 && c != kCR && c != kLF) {
      value += c;
    }
  }
  return value;
}

bool AnswersCommand(std::string_view answer, std::string_view command_text) {
  std::string first_line;
  for (char c : answer.substr(0, answer.find(kCR))) {
    if (c != kLF) {
      first_line += c;
    }
  }
  return first_line.empty() || first_line == command_text;
}

std::string ParseFrameData(std::string_view answer, std::size_t count) {
  // A short or empty answer reads as spaces instead of failing, for any count: a fixed padding
  // would hand back fewer than count bytes once count passed its size.
  std::string padded(answer);
  if (padded.size() < protocol::kAnswerHeaderBytes + count) {
    padded.resize(protocol::kAnswerHeaderBytes + count, ' ');
  }
  return padded.substr(protocol::kAnswerHeaderBytes, count);
}

}  // namespace morvane
