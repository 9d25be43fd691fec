#include "app/command_line.h"

#include <gtest/gtest.h>

#include "link/exchange_trace.h"

namespace morvane {
namespace {

TEST(ParseCommandLine, OptionsAndMistakes) {
  const CommandLine none = ParseCommandLine({});
  EXPECT_FALSE(none.headless || none.verbose || none.trace || none.help || none.version);
  EXPECT_EQ(none.error, "");

  const CommandLine all =
      ParseCommandLine({"--headless", "--verbose", "--trace", "--help", "--version"});
  EXPECT_TRUE(all.headless && all.verbose && all.trace && all.help && all.version);
  EXPECT_EQ(all.error, "");

  EXPECT_TRUE(ParseCommandLine({"-h"}).help);
  EXPECT_TRUE(ParseCommandLine({"--check"}).check);
  EXPECT_FALSE(all.check);
  EXPECT_EQ(ParseCommandLine({"--screenshot=docs/window.png"}).screenshot, "docs/window.png");
  EXPECT_EQ(all.screenshot, "");
  EXPECT_NE(ParseCommandLine({"--screenshot="}).error, "");
  EXPECT_EQ(ParseCommandLine({"--headless", "--tarce"}).error,
            "unknown argument \"--tarce\" (try --help)");
  EXPECT_NE(ParseCommandLine({"RDSmorvane.ini"}).error, "");
  EXPECT_NE(ParseCommandLine({"--HEADLESS"}).error, "");
}

TEST(VersionLine, NamesProgramAndVersion) {
  EXPECT_EQ(VersionLine(), "rdsmorvane 1.10");
}

TEST(HasDisplay, AnyNamedDisplayOrPlatform) {
  EXPECT_FALSE(HasDisplay(nullptr, nullptr, nullptr));
  EXPECT_FALSE(HasDisplay("", "", ""));
  EXPECT_TRUE(HasDisplay(":0", nullptr, nullptr));
  EXPECT_TRUE(HasDisplay(nullptr, "wayland-0", nullptr));
  EXPECT_TRUE(HasDisplay("", nullptr, "offscreen"));
}

TEST(FormatExchangeTrace, ShowsBytesWaitAndAnswer) {
  const TraceTime at{7, 5, 9, 42};
  EXPECT_EQ(FormatExchangeTrace({"TA=0\r", 200, true, "TA=0\r\nOK\r\n"}, at),
            "07:05:09.042 wrote \"TA=0\\x0D\" waited 200 ms read \"TA=0\\x0D\\x0AOK\\x0D\\x0A\"");
  EXPECT_EQ(FormatExchangeTrace({std::string("\xFE\xD0\x0E\x01\xFF", 5), 200, true, ""},
                                {23, 59, 59, 999}),
            "23:59:59.999 wrote \"\\xFE\\xD0\\x0E\\x01\\xFF\" waited 200 ms read \"\"");
  EXPECT_EQ(FormatExchangeTrace({"DATE=05.03.26\r", 50, false, ""}, at),
            "07:05:09.042 wrote \"DATE=05.03.26\\x0D\" waited 50 ms no read");
}

}  // namespace
}  // namespace morvane
