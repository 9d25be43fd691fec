#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/encoder.h"

namespace morvane::sim {

// How the bytes the encoder receives are read for the terminal: as RDS character codes, as a
// radio reads them, or as Windows-1252, for a controller that sends its files' bytes unconverted.
enum class ReceivedCharset { Rds, Latin1 };

// The received bytes as UTF-8 for the terminal.
[[nodiscard]] std::string ShowReceived(std::string_view bytes, ReceivedCharset charset);

// What a listener's receiver shows of the encoder's broadcast, in printable form. RadioText, RT+
// and the clock's offset are decoded from the groups that carry them, as a radio decodes them.
struct OnAirView {
  std::string ps;
  std::string pi;
  int pty = 0;
  bool tp = false;
  bool ta = false;
  bool ct = false;
  bool pilot = false;
  std::string radiotext;     // as the 2A groups carry it: up to the end code, blanks kept
  std::string rtplus_items;  // e.g. ARTIST="Artist" TITLE="Title"; empty without tags
  int clock_sets = 0;
  std::string clock;         // dd.mm.yy hh:mm:ss
  std::string clock_offset;  // the 4A groups' local offset, e.g. UTC+01:00; empty without CT
  std::string inhouse;       // e.g. seq 1 id 1A2 "Welcome"; or version 0110
};

// Texts (PS, RadioText, RT+ items, in-house text) are shown in UTF-8, read as charset says.
[[nodiscard]] OnAirView ViewOnAir(const Encoder& encoder, int64_t now_ms,
                                  ReceivedCharset charset = ReceivedCharset::Rds);

// The RT+ items resolved to the text they mark, in the order of their start in the text; dummy
// tags (type 0) mark nothing. Positions count the received bytes, one character each, as a
// radio counts them.
[[nodiscard]] std::string DescribeRtPlusItems(const std::string& radiotext,
                                              const std::array<RtPlusTag, 2>& tags,
                                              ReceivedCharset charset = ReceivedCharset::Rds);

// One line per change a listener would notice, e.g. RT "text", RT+ ARTIST="A" TITLE="T", TA on.
[[nodiscard]] std::vector<std::string> DescribeOnAirChanges(const OnAirView& before,
                                                            const OnAirView& after);
// Every item of the view, for the start of a run.
[[nodiscard]] std::vector<std::string> DescribeOnAir(const OnAirView& view);

}  // namespace morvane::sim
