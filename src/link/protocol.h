#pragma once

#include <cstddef>
#include <cstdint>

#include "text/text_helpers.h"

// The two encoder dialects on the wire, byte for byte: shared by the controller, the encoder
// emulator and the fuzz checks, so all three speak exactly the same protocol.
namespace morvane::protocol {

// PIRA32: one command line, ended by CR (never LF); answers come as lines ended by CR LF.
inline constexpr char kLineEnd = kCR;

// PIRA micro frames: FE D0 address count FF reads; FE address data... 40 FF writes.
inline constexpr char kFrameStart = '\xFE';
inline constexpr char kFrameEnd = '\xFF';
inline constexpr char kReadRequest = '\xD0';
inline constexpr char kWriteClose = '\x40';
inline constexpr std::size_t kReadFrameBytes = 5;
// FE, address, the data, 40, FF.
inline constexpr std::size_t kWriteFrameOverhead = 4;
// Every answer frame has two bytes before its data.
inline constexpr std::size_t kAnswerHeaderBytes = 2;

// Encoder addresses of the PIRA micro, and how many data bytes each holds.
inline constexpr uint8_t kAddressPS = 0x02;
inline constexpr uint8_t kAddressPTY = 0x0A;
inline constexpr uint8_t kAddressTraffic = 0x0E;
inline constexpr uint8_t kAddressRadioText = 0x20;
inline constexpr uint8_t kAddressPilot = 0x70;
inline constexpr uint8_t kPSLength = 8;
inline constexpr uint8_t kRadioTextLength = 64;
inline constexpr uint8_t kFlagLength = 1;

// Data bytes of a write frame to a known address; 0 for an address the protocol does not name.
[[nodiscard]] constexpr std::size_t WriteDataLength(uint8_t address) {
  switch (address) {
    case kAddressPS:
      return kPSLength;
    case kAddressPTY:
    case kAddressTraffic:
    case kAddressPilot:
      return kFlagLength;
    case kAddressRadioText:
      return kRadioTextLength;
    default:
      return 0;
  }
}

}  // namespace morvane::protocol
