// An accented title from a UTF-8 metadata file, through the real program, on the emulated
// PIRA32: RDS character codes on the wire, the right letters and RT+ items on air.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "station.h"

namespace morvane::e2e {
namespace {

constexpr int kStartupTimeoutMs = 15000;
constexpr int kTitleTimeoutMs = 4000;

bool HasLine(const std::vector<Received>& commands, const std::string& text) {
  for (const Received& r : commands) {
    if (r.command.kind == sim::Command::Kind::Line && r.command.text == text) {
      return true;
    }
  }
  return false;
}

TEST(TextEncodingEndToEnd, Utf8TitleGoesOutInRdsCodesAndShowsAsWritten) {
  WorkDir dir;
  EmulatedEncoder encoder(sim::Dialect::Ascii);
  StationConfig config;
  config.default_radiotext = "Radio Caf\xC3\xA9";
  dir.Write("RDSmorvane.ini", StationIni(config, encoder.device()) + "TextEncoding=UTF-8\r\n");
  ControllerProcess controller(dir);

  // Start-up ends with the pilot query; the metadata watcher runs from then on.
  const bool started = encoder.WaitForCommands(
      [](const std::vector<Received>& c) { return HasLine(c, "PILOT"); }, kStartupTimeoutMs);
  if (!started) {
    std::fprintf(stderr, "controller output:\n%s\n", controller.Output().c_str());
  }
  ASSERT_TRUE(started);
  // The configured text is converted too: é went out as the one RDS code 0x82.
  EXPECT_TRUE(HasLine(encoder.Commands(), "RT1=Radio Caf\x82"));
  EXPECT_TRUE(encoder.WaitForOnAir("RT \"Radio Café\"", 0));

  const std::size_t heard = encoder.OnAir().size();
  dir.Write("metadata.txt", "Caf\xC3\xA9 M\xC3\xBCller - Sigur R\xC3\xB3s\r\n");
  ASSERT_TRUE(encoder.WaitForOnAir("RT \"Café Müller - Sigur Rós\"", kTitleTimeoutMs, heard));
  ASSERT_TRUE(encoder.WaitForOnAir("RT+ ARTIST=\"Café Müller\" TITLE=\"Sigur Rós\"",
                                   kTitleTimeoutMs, heard));
  const std::vector<Received> commands = encoder.Commands();
  EXPECT_TRUE(HasLine(commands, "RT1=Caf\x82 M\x99ller - Sigur R\x86s"));
  EXPECT_TRUE(HasLine(commands, "RTP=04,00,10,01,14,08"));
  EXPECT_TRUE(controller.Running());
}

}  // namespace
}  // namespace morvane::e2e
