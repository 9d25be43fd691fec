#include "app/notice_board.h"

#include "app/version.h"

namespace morvane {

namespace {

constexpr std::string_view kNoticeText = "RDS Morvane dynamic RDS controller V";

}  // namespace

std::string NoticeText() {
  return std::string(kNoticeText) + std::string(kVersionText);
}

void NoticeBoard::Post(Notice notice, std::string text) {
  posted_[notice] = std::move(text);
  Show();
}

void NoticeBoard::Withdraw(Notice notice) {
  posted_.erase(notice);
  Show();
}

void NoticeBoard::Reset() {
  posted_.clear();
  shown_.reset();
  Show();
}

void NoticeBoard::Show() {
  // The map is ordered by urgency.
  std::string text = posted_.empty() ? NoticeText() : posted_.begin()->second;
  if (text != shown_) {
    view_.SetLabel(Label::lblNotice, text);
    shown_ = std::move(text);
  }
}

}  // namespace morvane
