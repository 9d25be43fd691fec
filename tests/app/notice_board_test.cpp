#include "app/notice_board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace morvane {
namespace {

// The most urgent notice posted is shown (each stands here for its number in that order); none
// posted, or all withdrawn: the program's own notice.
TEST(NoticeBoard, ShowsTheMostUrgentPostedNotice) {
  const std::pair<std::vector<Notice>, std::string> cases[] = {
      {{}, NoticeText()},
      {{Notice::MetadataFile}, "3"},
      {{Notice::MetadataFile, Notice::OtherRadioText}, "2"},
      {{Notice::OtherRadioText, Notice::EncoderSilent}, "1"},
      {{Notice::EncoderSilent, Notice::PortLost, Notice::MetadataFile}, "0"},
  };
  for (const auto& [posted, shown] : cases) {
    testing::FakeView view;
    NoticeBoard board(view);
    board.Reset();
    for (Notice notice : posted) {
      board.Post(notice, std::to_string(static_cast<int>(notice)));
    }
    EXPECT_EQ(view.Text(Label::lblNotice), shown);
    for (Notice notice : posted) {
      board.Withdraw(notice);
    }
    EXPECT_EQ(view.Text(Label::lblNotice), NoticeText());
  }
}

}  // namespace
}  // namespace morvane
