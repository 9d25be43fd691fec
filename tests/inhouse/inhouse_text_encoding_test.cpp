#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inhouse/inhouse_rotator.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;

struct LineCase {
  const char* what;
  TextEncoding encoding;
  std::string content;
  std::string sent;
  std::string current_message;
};

TEST(InHouseTextEncoding, LineIsConvertedBeforeItIsReadAsAMessage) {
  const std::string utf8 = "M: 1A2 M\xC3\xBCller\r\n";
  // "Müller" with ü as the RDS code 0x99, then two fill characters.
  const std::string muller_rds = "UDG1=600011A24D99,600111A26C6C,600211A26572,600311A27C7C,\r";
  const std::vector<LineCase> cases = {
      {"UTF-8", TextEncoding::Utf8, utf8, muller_rds, "M: 1A2 M\x99ller"},
      {"Latin-1", TextEncoding::Latin1, "M: 1A2 M\xFCller", muller_rds, "M: 1A2 M\x99ller"},
      // The mark before "M:" is gone before the line is tested for it.
      {"UTF-8 with a byte order mark", TextEncoding::Utf8, "\xEF\xBB\xBF" + utf8, muller_rds,
       "M: 1A2 M\x99ller"},
      {"RDS: both bytes of the ü go out", TextEncoding::Rds, utf8,
       "UDG1=600011A24DC3,600111A2BC6C,600211A26C65,600311A2727C,\r", "M: 1A2 M\xC3\xBCller"},
      {"RDS: a byte order mark hides the message", TextEncoding::Rds, "\xEF\xBB\xBF" + utf8,
       "UDG1=600000000000,600100000110\r", ""},
  };
  for (const LineCase& c : cases) {
    Rig rig;
    rig.controller.text_encoding = c.encoding;
    rig.state.EncoderType = "PIRA32";
    rig.state.HexVersion = "0110";
    rig.port.responder = testing::Pira32Responder({});
    rig.files.files["inhouse.txt"] = c.content;
    tmrInHouse_Timer(rig.controller);
    ASSERT_EQ(rig.Writes().size(), 1u) << c.what;
    EXPECT_EQ(rig.Writes()[0], c.sent) << c.what;
    EXPECT_EQ(rig.state.UDGcurrentMessage, c.current_message) << c.what;
  }
}

TEST(InHouseTextEncoding, ConvertedLineKeepsTheRotationGoing) {
  Rig rig;
  rig.controller.text_encoding = TextEncoding::Utf8;
  rig.state.EncoderType = "PIRA32";
  rig.port.responder = testing::Pira32Responder({});
  rig.files.files["inhouse.txt"] = "M: 1A2 M\xC3\xBCller";
  tmrInHouse_Timer(rig.controller);
  // Rewritten with a byte order mark: the same message after conversion, so no new sequence.
  rig.files.files["inhouse.txt"] = "\xEF\xBB\xBFM: 1A2 M\xC3\xBCller\r\n";
  tmrInHouse_Timer(rig.controller);
  EXPECT_EQ(rig.state.UDGsequence, 1);
  EXPECT_EQ(rig.state.UDGsentTimes, 2);
}

}  // namespace
}  // namespace morvane
