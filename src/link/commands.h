#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/encoder_link.h"
#include "link/protocol.h"

// The catalogue of every command the controller sends, per dialect: its text or frame address, its
// wait, and what is done with its answer. Operations test the encoder type themselves and take
// bytes and waits from here only; a third encoder model adds its own table beside these two.
namespace morvane {

enum class AnswerRule {
  NotRead,     // written and waited for only; the next exchange's drain takes the answer
  Unused,      // read, and thrown away: set commands are not checked
  SecondLine,  // PIRA32: the value is the answer's second line
  FrameData,   // PIRA micro: the value is count bytes from the answer's third byte
};

// A PIRA32 command line without its CR; some are followed by a value (the RadioText, the time).
struct AsciiCommand {
  std::string_view text;
  int wait_ms;
  AnswerRule answer;
};

// A PIRA micro frame: a read of count bytes from an address, or a write of count bytes to it.
struct FrameCommand {
  uint8_t address;
  uint8_t count;
  int wait_ms;
  AnswerRule answer;
};

namespace pira32 {
inline constexpr AsciiCommand kTrafficOn{"TA=1", 200, AnswerRule::Unused};
inline constexpr AsciiCommand kTrafficOff{"TA=0", 200, AnswerRule::Unused};
// Group types 0, 1 and 2 with RadioText in four of eleven slots, then the encoder's own letters.
inline constexpr AsciiCommand kGroupSequence{"GRPSEQ=022221AEXYR", 400, AnswerRule::Unused};
inline constexpr AsciiCommand kShortRadioText{"SHORTRT=1", 200, AnswerRule::Unused};
inline constexpr AsciiCommand kSetTime{"TIME=", 400, AnswerRule::Unused};
inline constexpr AsciiCommand kSetDate{"DATE=", 400, AnswerRule::NotRead};
inline constexpr AsciiCommand kQueryPS{"PS", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryRadioText{"RT1", 500, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryPI{"PI", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryPilot{"PILOT", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryPTY{"PTY", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryCT{"CT", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryTP{"TP", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryTA{"TA", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kQueryTATMOUT{"TATMOUT", 200, AnswerRule::SecondLine};
inline constexpr AsciiCommand kSetRadioText{"RT1=", 500, AnswerRule::Unused};
inline constexpr AsciiCommand kClearRtPlus{"RTP=00,00,00,00,00,00", 500, AnswerRule::Unused};
inline constexpr AsciiCommand kSetRtPlus{"RTP=", 500, AnswerRule::Unused};
inline constexpr AsciiCommand kInHouseGroups{"UDG1=", 50, AnswerRule::Unused};
}  // namespace pira32

namespace piramicro {
using protocol::kAddressPilot;
using protocol::kAddressPS;
using protocol::kAddressPTY;
using protocol::kAddressRadioText;
using protocol::kAddressTraffic;
inline constexpr FrameCommand kReadPS{kAddressPS, protocol::kPSLength, 200, AnswerRule::FrameData};
inline constexpr FrameCommand kReadRadioText{kAddressRadioText, protocol::kRadioTextLength, 200,
                                             AnswerRule::FrameData};
inline constexpr FrameCommand kReadPilot{kAddressPilot, 1, 200, AnswerRule::FrameData};
inline constexpr FrameCommand kReadPTY{kAddressPTY, 1, 200, AnswerRule::FrameData};
inline constexpr FrameCommand kReadTraffic{kAddressTraffic, 1, 200, AnswerRule::FrameData};
// Data 01 raises the traffic flag, 00 clears it.
inline constexpr FrameCommand kWriteTraffic{kAddressTraffic, 1, 50, AnswerRule::Unused};
inline constexpr FrameCommand kWriteRadioText{kAddressRadioText, protocol::kRadioTextLength, 50,
                                              AnswerRule::Unused};
}  // namespace piramicro

// One exchange of a catalogue command, with the value or data that follows its text, as the
// catalogue says: the answer as read (empty for a command whose answer is not read).
std::string Exchange(EncoderLink& link, const AsciiCommand& command, std::string_view value = {});
// The reading of a PIRA32 query: the answer's second line. std::nullopt when nothing came, or
// when what came is the answer to an earlier command (its first line echoes another command).
[[nodiscard]] std::optional<std::string> AskReading(EncoderLink& link, const AsciiCommand& query);
// The value of a PIRA32 query as the displays take it: the reading, or empty without one.
[[nodiscard]] std::string Ask(EncoderLink& link, const AsciiCommand& query);
// A PIRA micro read frame; the answer as read.
[[nodiscard]] std::string Read(EncoderLink& link, const FrameCommand& read);
// A PIRA micro write frame carrying data, exactly count bytes.
void Write(EncoderLink& link, const FrameCommand& write, std::string_view data);

}  // namespace morvane
