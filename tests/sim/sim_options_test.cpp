#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane::sim {
namespace {

TEST(SimOptions, ValuesReachTheEncoderStateAndMistakesAreNamed) {
  const auto parsed = ParseSimOptions({"--dialect", "frame", "--ps", "RADIO 1", "--pi", "d3a2",
                                       "--pilot", "off", "--silent", "--groups-rate", "500",
                                       "--charset", "latin1", "--listen", "[::1]:0"});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed)) << std::get<std::string>(parsed);
  const SimOptions& o = std::get<SimOptions>(parsed);
  EXPECT_EQ(o.dialect, Dialect::Frame);
  EXPECT_EQ(o.initial.ps, "RADIO 1 ");
  EXPECT_EQ(o.initial.pi, 0xD3A2);
  EXPECT_FALSE(o.initial.pilot);
  EXPECT_TRUE(o.silent);
  EXPECT_DOUBLE_EQ(o.groups_rate, 500);
  EXPECT_EQ(o.charset, ReceivedCharset::Latin1);
  ASSERT_TRUE(o.listen);
  EXPECT_EQ(o.listen->host + " " + std::to_string(o.listen->port), "::1 0");

  const std::vector<std::vector<std::string>> bad{
      {},
      {"--dialect", "serial"},
      {"--dialect", "ascii", "--pty", "32"},
      {"--dialect", "ascii", "--pi", "C2"},
      {"--dialect", "ascii", "--groups-rate", "0"},
      {"--dialect", "ascii", "--delay"},
      {"--dialect", "ascii", "--colour"},
      {"--dialect", "ascii", "--listen", "127.0.0.1:0", "--link", "/tmp/encoder"},
      {"--dialect", "ascii", "--listen", "::1:4001"},
      {"--dialect", "ascii", "--listen", "127.0.0.1:65536"},
  };
  for (const auto& args : bad) {
    EXPECT_TRUE(std::holds_alternative<std::string>(ParseSimOptions(args)))
        << (args.empty() ? "(none)" : args.back());
  }
}

}  // namespace
}  // namespace morvane::sim
