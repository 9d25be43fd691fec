#include "app/ini_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace morvane {
namespace {

using namespace std::string_literals;

TEST(LookupIniValue, FollowsTheStationsIniRules) {
  const struct {
    const char* what;
    std::string ini;
    std::optional<std::string> expected;  // of EncoderType
  } cases[] = {
      {"section and key in any letter case, value as written", "[rdsMORVANE]\nENCODERtype=pira32\n",
       "pira32"},
      {"blanks around key and value dropped", "[RDSmorvane]\n \t EncoderType \t=  PIRA 32 \t\n",
       "PIRA 32"},
      {"blanks around the section name, text after its bracket",
       "  [ RDSmorvane ] ; settings\nEncoderType=PIRA32\n", "PIRA32"},
      {"empty value", "[RDSmorvane]\nEncoderType=\n", ""},
      {"no inline comments; a second = belongs to the value",
       "[RDSmorvane]\nEncoderType=Hits; more #x=y\n", "Hits; more #x=y"},
      {"comment lines, also after blanks",
       "[RDSmorvane]\n;EncoderType=X\n  # EncoderType=Y\nEncoderType=Z\n", "Z"},
      {"first occurrence wins", "[RDSmorvane]\nEncoderType=A\nEncoderType=B\n", "A"},
      {"key of another section not taken", "[Other]\nEncoderType=A\n[RDSmorvane]\n", std::nullopt},
      {"key before any section not taken", "EncoderType=A\n[RDSmorvane]\n", std::nullopt},
      {"later section ends ours", "[RDSmorvane]\n[Other]\nEncoderType=A\n", std::nullopt},
      {"repeated section read in file order",
       "[RDSmorvane]\nCOMport=1\n[Other]\nEncoderType=A\n[RDSMORVANE]\nEncoderType=B\n", "B"},
      {"line without = ignored", "[RDSmorvane]\nEncoderType PIRA32\nEncoderType=B\n", "B"},
      {"key is a whole name, not a prefix", "[RDSmorvane]\nEncoderTypeX=A\nEncoder=B\n",
       std::nullopt},
      {"every letter counts", "[XDSmorvane]\nEncoderType=A\n[RDSmorvane]\nXncoderType=B\n",
       std::nullopt},
      {"unclosed bracket still starts a section", "[RDSmorvane]\n[Other\nEncoderType=A\n",
       std::nullopt},
      {"unclosed bracket with our name", "[RDSmorvane\nEncoderType=A\n", "A"},
      {"UTF-8 byte order mark skipped", "\xEF\xBB\xBF[RDSmorvane]\nEncoderType=A\n", "A"},
      {"NUL and 8-bit bytes in a value kept", "[RDSmorvane]\nEncoderType=a\0\xE9\xFF\n"s,
       "a\0\xE9\xFF"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LookupIniValue(c.ini, "RDSmorvane", "EncoderType"), c.expected) << c.what;
  }
}

TEST(SplitLines, AcceptsEveryLineEnd) {
  const std::vector<std::pair<std::string, std::vector<std::string_view>>> cases = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\rb\r", {"a", "", "b"}},
      {"a\n\r b", {"a", "", " b"}},
  };
  for (const auto& [text, lines] : cases) {
    EXPECT_EQ(SplitLines(text), lines) << text;
  }
}

}  // namespace
}  // namespace morvane
