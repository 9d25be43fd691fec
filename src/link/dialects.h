#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/protocol.h"

namespace morvane {

// PIRA32: one command line, ended by CR and never by LF.
[[nodiscard]] std::string BuildAsciiCommand(std::string_view text);
// PIRA micro read request: FE D0 address count FF.
[[nodiscard]] std::string BuildReadFrame(uint8_t address, uint8_t count);
// PIRA micro write: FE address data... 40 FF, the data bytes unescaped.
[[nodiscard]] std::string BuildWriteFrame(uint8_t address, std::string_view data);

// The value of a PIRA32 answer: its second line, LFs dropped.
[[nodiscard]] std::string ParseAnswerLine(std::string_view answer);
// Whether a PIRA32 answer belongs to the command: its first line (up to the first CR, LFs
// dropped) is the command's echo, or empty. A late answer to an earlier command is not.
[[nodiscard]] bool AnswersCommand(std::string_view answer, std::string_view command_text);
// count bytes of a PIRA micro answer from its third byte; missing bytes read as spaces.
[[nodiscard]] std::string ParseFrameData(std::string_view answer, std::size_t count);

}  // namespace morvane
