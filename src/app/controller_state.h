#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// Stands for "no traffic marker configured": no metadata line ever contains it.
inline constexpr std::string_view kMarkerSentinel = "@!@!@!@!@!@@!!@@!!@@!!!!@@";
// Stands for "no RT+ prefix or separator configured": no RadioText begins with or contains it.
inline constexpr std::string_view kRtPlusSentinel = "adkasopdksaopdsjfopsdkdsfkdsfopdskfdsfokds";

// The controller's whole run-time record. Every handler reads and writes these fields directly;
// nothing here survives the process.
struct ControllerState {
  std::string LastRT;
  int16_t TAstatus = 0;
  int16_t TAtimeout = 0;
  int16_t TAmaxtime = 0;
  std::string DefaultRadioText;
  std::string TrafficRadioText;
  std::string MetadataFile;
  std::string TrafficMeta;
  std::string EncoderType;
  int16_t RTplus = 0;
  std::string RTPlusPrefix;
  std::string RTPlusSplit;
  std::string RTplusSwap;
  std::string HexVersion;
  std::string UDGcurrentMessage;
  std::string UDGcurrentText;
  int16_t UDGcurrentPosition = 0;
  int16_t UDGsentTimes = 0;
  int16_t UDGplaceCounter = 0;
  int16_t UDGsequence = 0;
  int16_t ManualTraffic = 0;
};

// Every encoder operation picks its dialect by an exact, case-sensitive match.
[[nodiscard]] inline bool IsPira32(const ControllerState& state) {
  return state.EncoderType == "PIRA32";
}
[[nodiscard]] inline bool IsPiraMicro(const ControllerState& state) {
  return state.EncoderType == "PIRAMICRO";
}

}  // namespace morvane
