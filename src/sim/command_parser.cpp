#include "sim/command_parser.h"

#include <algorithm>

#include "link/protocol.h"

namespace morvane::sim {

using protocol::kFrameEnd;
using protocol::kFrameStart;
using protocol::kReadFrameBytes;
using protocol::kReadRequest;
using protocol::kWriteClose;
using protocol::kWriteFrameOverhead;

std::string DescribeCommand(const Command& command) {
  std::string text;
  if (command.kind == Command::Kind::Line) {
    for (char c : command.text) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 0x20 && u < 0x7F && c != '\\') {
        text += c;
      } else {
        text += "\\x" + HexByte(u);
      }
    }
    return text;
  }
  for (char c : command.raw) {
    text += (text.empty() ? "" : " ") + HexByte(static_cast<uint8_t>(c));
  }
  return command.kind == Command::Kind::BadFrame ? "bad frame: " + text : text;
}

std::vector<Command> CommandParser::Feed(std::string_view bytes) {
  buffer_.append(bytes);
  std::vector<Command> commands;
  if (dialect_ == Dialect::Ascii) {
    while (TakeLine(commands)) {
    }
  } else {
    while (TakeFrame(commands)) {
    }
  }
  return commands;
}

bool CommandParser::TakeLine(std::vector<Command>& out) {
  const std::size_t end = buffer_.find(kCR);
  if (end == std::string::npos) {
    return false;
  }
  Command command;
  command.raw = buffer_.substr(0, end + 1);
  // A terminal program may send CR LF; the LF belongs to no command.
  for (char c : std::string_view(buffer_).substr(0, end)) {
    if (c != kLF) {
      command.text += c;
    }
  }
  buffer_.erase(0, end + 1);
  if (!command.text.empty()) {
    out.push_back(std::move(command));
  }
  return true;
}

bool CommandParser::TakeFrame(std::vector<Command>& out) {
  // Anything before a frame start is line noise.
  const std::size_t start = buffer_.find(kFrameStart);
  buffer_.erase(0, start == std::string::npos ? buffer_.size() : start);
  if (buffer_.size() < 2) {
    return false;
  }
  const auto address = static_cast<uint8_t>(buffer_[1]);
  std::size_t length = 0;
  if (buffer_[1] == kReadRequest) {
    length = kReadFrameBytes;
  } else if (const std::size_t data = protocol::WriteDataLength(address); data > 0) {
    length = data + kWriteFrameOverhead;
  } else {
    // An address of unknown width: the first 40 FF closes it.
    const std::size_t close = buffer_.find(std::string{kWriteClose, kFrameEnd}, 2);
    if (close == std::string::npos) {
      return false;
    }
    length = close + 2;
  }
  if (buffer_.size() < length) {
    return false;
  }

  Command command;
  command.raw = buffer_.substr(0, length);
  const bool is_read = buffer_[1] == kReadRequest;
  const bool closed = is_read
                          ? buffer_[length - 1] == kFrameEnd
                          : buffer_[length - 2] == kWriteClose && buffer_[length - 1] == kFrameEnd;
  if (!closed) {
    // Resynchronise on the next frame start rather than trusting the length of a broken frame;
    // bytes past that length are left to the next round, so the cut does not depend on how much
    // of the stream has arrived yet.
    const std::size_t cut = std::min(buffer_.find(kFrameStart, 1), length);
    command.kind = Command::Kind::BadFrame;
    command.raw = buffer_.substr(0, cut);
    buffer_.erase(0, cut);
    out.push_back(std::move(command));
    return true;
  }
  if (is_read) {
    command.kind = Command::Kind::ReadFrame;
    command.address = static_cast<uint8_t>(buffer_[2]);
    command.count = static_cast<uint8_t>(buffer_[3]);
  } else {
    command.kind = Command::Kind::WriteFrame;
    command.address = address;
    command.text = buffer_.substr(2, length - kWriteFrameOverhead);
  }
  buffer_.erase(0, length);
  out.push_back(std::move(command));
  return true;
}

}  // namespace morvane::sim
