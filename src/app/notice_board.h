#pragma once

#include <map>
#include <optional>
#include <string>

#include "ui/status_view.h"

namespace morvane {

// What may need the station's attention, most urgent first: the one-line notice shows the first
// of these that is posted, and the program's own notice with its version when none is.
enum class Notice {
  PortLost,
  EncoderSilent,
  OtherRadioText,
  MetadataFile,
};

// The program's own notice, ending with the version.
[[nodiscard]] std::string NoticeText();

// The only writer of lblNotice. The label is written when what it shows changes, and once at
// start-up.
class NoticeBoard {
 public:
  explicit NoticeBoard(StatusView& view) : view_(view) {}

  void Post(Notice notice, std::string text);
  void Withdraw(Notice notice);
  // Start-up: nothing posted, the program's own notice shown.
  void Reset();
  [[nodiscard]] bool Posted(Notice notice) const { return posted_.count(notice) != 0; }

 private:
  void Show();

  StatusView& view_;
  std::map<Notice, std::string> posted_;
  std::optional<std::string> shown_;
};

}  // namespace morvane
