#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::sim {

// The two ways an encoder is spoken to: PIRA32 command lines ended by CR, PIRA micro frames.
enum class Dialect { Ascii, Frame };

// One complete command as the encoder received it.
struct Command {
  enum class Kind {
    Line,        // ASCII command line, without its CR
    ReadFrame,   // FE D0 address count FF
    WriteFrame,  // FE address data... 40 FF
    BadFrame,    // FE address ... whose closing bytes are not 40 FF
  };
  Kind kind = Kind::Line;
  std::string text;     // Line: the line; frames: the data bytes (write) or empty
  uint8_t address = 0;  // frames only
  uint8_t count = 0;    // read frames only
  std::string raw;      // every byte of the command as it arrived, CR included
};

// The command in readable form for a log: a line with unprintable bytes as \xHH, a frame as
// hexadecimal bytes.
[[nodiscard]] std::string DescribeCommand(const Command& command);

// Cuts the byte stream from the controller into commands. Bytes arrive in arbitrary pieces: a
// command may be split across reads and one read may carry several commands. Frames are cut by
// their known lengths, because write data may itself contain FE and FF.
class CommandParser {
 public:
  explicit CommandParser(Dialect dialect) : dialect_(dialect) {}

  [[nodiscard]] std::vector<Command> Feed(std::string_view bytes);
  // Bytes received but not yet part of a complete command.
  [[nodiscard]] std::size_t Pending() const { return buffer_.size(); }

 private:
  [[nodiscard]] bool TakeLine(std::vector<Command>& out);
  [[nodiscard]] bool TakeFrame(std::vector<Command>& out);

  Dialect dialect_;
  std::string buffer_;
};

}  // namespace morvane::sim
