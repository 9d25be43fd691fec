#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <map>

#include "ui/status_view.h"

namespace morvane {

// Places on the window in twips, 15 to a pixel, as the station's engineers know the layout.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 9345;
inline constexpr int kClientHeightTwips = 3435;

// The status window: what the encoder last reported and what the controller last did, and the
// traffic button. It only displays; every decision is the controller's.
class frmMain : public QWidget, public StatusView {
 public:
  explicit frmMain(QWidget* parent = nullptr);

  void SetLabel(Label label, std::string_view text) override;
  void SetButtonCaption(std::string_view caption) override;
  void SetButtonEnabled(bool enabled) override;
  void SetButtonColour(ButtonColour colour) override;

  // What a click on the traffic button runs; a disabled button delivers no click.
  void SetClickHandler(std::function<void()> on_click);
  // With titles converted into the RDS character set, PS and RadioText read back from the
  // encoder are shown as a radio shows them rather than byte for byte.
  // Asked at each update, as the configuration that decides it is read during start-up.
  void SetRdsCharactersInUse(std::function<bool()> in_use) { rds_characters_ = std::move(in_use); }

 private:
  QLabel* AddLabel(const char* name, const QString& text, const TwipsRect& place, const QFont& font,
                   const QColor& colour, Qt::Alignment alignment);
  void AddCaption(const char* name, const char* text, const TwipsRect& place, const QFont& font);
  void AddRule(const char* name, int top_twips);

  std::map<Label, QLabel*> labels_;
  QPushButton* cmdTraffic_ = nullptr;
  std::function<void()> on_click_;
  std::function<bool()> rds_characters_;
};

}  // namespace morvane
