#include "app/ini_lookup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace morvane {
namespace {

using namespace std::string_literals;

struct LookupCase {
  const char* what;
  std::string ini;
  const char* key;
  std::optional<std::string> expected;
};

TEST(LookupIniValue, FollowsTheStationsIniRules) {
  const std::vector<LookupCase> cases = {
      {"plain", "[RDSmorvane]\nEncoderType=PIRA32\n", "EncoderType", "PIRA32"},
      {"section and key in any letter case", "[rdsMORVANE]\nENCODERtype=PIRA32\n", "EncoderType",
       "PIRA32"},
      {"value keeps its letter case", "[RDSmorvane]\nEncoderType=pira32\n", "EncoderType",
       "pira32"},
      {"blanks around key and value dropped", "[RDSmorvane]\n \t EncoderType \t=  PIRA 32 \t\n",
       "EncoderType", "PIRA 32"},
      {"blanks around the section name dropped", "  [ RDSmorvane ]  \nEncoderType=PIRA32\n",
       "EncoderType", "PIRA32"},
      {"text after the section's bracket ignored", "[RDSmorvane] ; settings\nEncoderType=X\n",
       "EncoderType", "X"},
      {"empty value", "[RDSmorvane]\nTrafficMeta=\n", "TrafficMeta", ""},
      {"semicolon inside a value stays", "[RDSmorvane]\nDefaultRadioText=Hits; more ;x\n",
       "DefaultRadioText", "Hits; more ;x"},
      {"hash inside a value stays", "[RDSmorvane]\nTrafficMeta=#TA#\n", "TrafficMeta", "#TA#"},
      {"second = belongs to the value", "[RDSmorvane]\nDefaultRadioText=a=b\n", "DefaultRadioText",
       "a=b"},
      {"quotes are part of the value", "[RDSmorvane]\nDefaultRadioText=\" Radio \"\n",
       "DefaultRadioText", "\" Radio \""},
      {"semicolon comment", "[RDSmorvane]\n;EncoderType=X\nEncoderType=Y\n", "EncoderType", "Y"},
      {"hash comment after blanks", "[RDSmorvane]\n   # EncoderType=X\nEncoderType=Y\n",
       "EncoderType", "Y"},
      {"first occurrence wins", "[RDSmorvane]\nEncoderType=A\nEncoderType=B\n", "EncoderType", "A"},
      {"key of another section not taken", "[Other]\nEncoderType=A\n[RDSmorvane]\n", "EncoderType",
       std::nullopt},
      {"later section ends ours", "[RDSmorvane]\n[Other]\nEncoderType=A\n", "EncoderType",
       std::nullopt},
      {"repeated section read in file order",
       "[RDSmorvane]\nCOMport=1\n[Other]\nEncoderType=A\n[RDSMORVANE]\nEncoderType=B\n"
       "COMport=2\n",
       "EncoderType", "B"},
      {"first of a repeated section wins",
       "[RDSmorvane]\nCOMport=1\n[RDSMORVANE]\nEncoderType=B\nCOMport=2\n", "COMport", "1"},
      {"key before any section not taken", "EncoderType=A\n[RDSmorvane]\n", "EncoderType",
       std::nullopt},
      {"line without = ignored", "[RDSmorvane]\nEncoderType PIRA32\nEncoderType=B\n", "EncoderType",
       "B"},
      {"empty key never matches", "[RDSmorvane]\n=PIRA32\n", "EncoderType", std::nullopt},
      {"key is a whole name, not a prefix", "[RDSmorvane]\nEncoderTypeX=A\nEncoder=B\n",
       "EncoderType", std::nullopt},
      {"unclosed bracket still starts a section", "[RDSmorvane]\n[Other\nEncoderType=A\n",
       "EncoderType", std::nullopt},
      {"unclosed bracket with our name", "[RDSmorvane\nEncoderType=A\n", "EncoderType", "A"},
      {"CR LF line ends", "[RDSmorvane]\r\nEncoderType=PIRA32\r\nCOMport=1\r\n", "EncoderType",
       "PIRA32"},
      {"CR line ends", "[RDSmorvane]\rEncoderType=PIRA32\rCOMport=1\r", "EncoderType", "PIRA32"},
      {"no line end after the last line", "[RDSmorvane]\nEncoderType=PIRA32", "EncoderType",
       "PIRA32"},
      {"UTF-8 byte order mark skipped", "\xEF\xBB\xBF[RDSmorvane]\nEncoderType=A\n", "EncoderType",
       "A"},
      {"NUL inside a value kept", "[RDSmorvane]\nDefaultRadioText=ab\0cd\n"s, "DefaultRadioText",
       "ab\0cd"s},
      {"NUL inside a key name", "[RDSmorvane]\nEncoder\0Type=A\n"s, "EncoderType", std::nullopt},
      {"8-bit bytes kept", "[RDSmorvane]\nDefaultRadioText=Caf\xE9 \xFF\n", "DefaultRadioText",
       "Caf\xE9 \xFF"},
      {"no section at all", "EncoderType=A", "EncoderType", std::nullopt},
      {"empty text", "", "EncoderType", std::nullopt},
  };
  for (const LookupCase& c : cases) {
    EXPECT_EQ(LookupIniValue(c.ini, "RDSmorvane", c.key), c.expected) << c.what;
  }
}

TEST(SplitLines, AcceptsEveryLineEnd) {
  const std::vector<std::pair<std::string, std::vector<std::string_view>>> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r b", {"a", "", " b"}},
      {"\r\n\r\n", {"", ""}},
      {" a \n b ", {" a ", " b "}},
  };
  for (const auto& [text, lines] : cases) {
    EXPECT_EQ(SplitLines(text), lines) << text;
  }
}

}  // namespace
}  // namespace morvane
