#include "ui/qt_status_window.h"

#include "ui/shown_text.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPainter>
#include <QPixmap>

namespace morvane {

namespace {

constexpr int kLeftColumnTop[] = {120, 480, 840, 1200, 1560};  // PS, PI, TA, TP, PTY
constexpr int kLeftRowHeight = 360;
constexpr int kRightRowHeight = 240;

constexpr int kLeftCaptionLeft = 60;
constexpr int kLeftCaptionWidth = 960;
constexpr int kLeftValueLeft = 1080;
constexpr int kLeftValueWidth = 3870;
constexpr int kRightCaptionLeft = 4980;
constexpr int kRightCaptionWidth = 1500;
constexpr int kRightValueLeft = 6540;
constexpr int kRightValueWidth = 2745;

constexpr TwipsRect kRtPlusPlace{8700, 0, 600, 255};
constexpr int kLine2Top = 2040;
constexpr TwipsRect kRadioTextPlace{60, 2100, 9225, 285};
constexpr int kLine1Top = 2400;
constexpr TwipsRect kButtonPlace{120, 2520, 9105, 495};
constexpr TwipsRect kNoticePlace{60, 3120, 9225, 255};

const QColor kBackground(64, 64, 64);
const QColor kValueColour(255, 255, 255);
const QColor kCaptionColour(192, 192, 192);
const QColor kNoticeColour(224, 224, 224);

constexpr double kLeftColumnPoints = 13.5;
constexpr double kRightColumnPoints = 8.25;
constexpr double kRadioTextPoints = 9.75;
constexpr double kButtonPoints = 8.25;

QRect Pixels(const TwipsRect& twips) {
  return {twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
          twips.height / kTwipsPerPixel};
}

constexpr double kSmallestRadioTextPoints = 6.75;

int PixelSize(double points) {
  return qRound(points * 96.0 / 72.0);
}

// The layout is fixed in pixels, so the fonts are too: the point sizes as a 96 dpi screen shows
// them, whatever the desktop's scaling says. Where the narrow "MS Sans Serif" is missing, a
// semi-condensed sans serif comes nearest to its widths, so the longest status texts still fit.
QFont ClassicFont(double points, bool bold) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setStretch(QFont::SemiCondensed);
  font.setPixelSize(PixelSize(points));
  font.setBold(bold);
  return font;
}

// A RadioText holds up to 64 characters: rather than cut it, a long one is drawn smaller.
QFont RadioTextFont(const QString& text, int width) {
  QFont font = ClassicFont(kRadioTextPoints, true);
  for (int pixels = PixelSize(kRadioTextPoints); pixels >= PixelSize(kSmallestRadioTextPoints);
       --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(text) <= width) {
      break;
    }
  }
  return font;
}

// One character per byte, as the encoder holds it. A line break would push the text out of its
// row, so CR and LF show as blanks.
QString DisplayText(std::string_view bytes) {
  QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

QString ButtonStyle(ButtonColour colour) {
  switch (colour) {
    case ButtonColour::ButtonFace:
      return {};
    case ButtonColour::LightGreen:
      return QStringLiteral(
          "QPushButton { background-color: rgb(128,255,128); color: black;"
          " border: 1px solid rgb(24,24,24); }"
          " QPushButton:pressed { background-color: rgb(96,208,96); }"
          " QPushButton:disabled { color: rgb(80,80,80); }");
    case ButtonColour::Red:
      return QStringLiteral(
          "QPushButton { background-color: rgb(255,0,0); color: black;"
          " border: 1px solid rgb(24,24,24); }"
          " QPushButton:pressed { background-color: rgb(208,0,0); }"
          " QPushButton:disabled { color: rgb(80,80,80); }");
  }
  return {};
}

QIcon WindowIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(kBackground);
  QPainter painter(&pixmap);
  painter.setPen(kValueColour);
  painter.setFont(ClassicFont(8.25, true));
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("RDS"));
  return QIcon(pixmap);
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("RDS Morvane"));
  setWindowIcon(WindowIcon());
  setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  QPalette background = palette();
  background.setColor(QPalette::Window, kBackground);
  setPalette(background);
  setAutoFillBackground(true);

  const QFont left_caption = ClassicFont(kLeftColumnPoints, false);
  const QFont left_value = ClassicFont(kLeftColumnPoints, true);
  const QFont right_caption = ClassicFont(kRightColumnPoints, false);
  const QFont right_value = ClassicFont(kRightColumnPoints, true);
  const Qt::Alignment value_alignment = Qt::AlignLeft | Qt::AlignVCenter;

  const struct {
    Label label;
    const char* caption_name;
    const char* caption;
  } left_rows[] = {
      {Label::lblPS, "Label1", "PS:"},   {Label::lblPI, "Label2", "PI:"},
      {Label::lblTA, "Label5_0", "TA:"}, {Label::lblTP, "Label4", "TP:"},
      {Label::lblPTY, "Label9", "PTY:"},
  };
  for (std::size_t row = 0; row < std::size(left_rows); ++row) {
    const int top = kLeftColumnTop[row];
    AddCaption(left_rows[row].caption_name, left_rows[row].caption,
               {kLeftCaptionLeft, top, kLeftCaptionWidth, kLeftRowHeight}, left_caption);
    const Label label = left_rows[row].label;
    labels_[label] = AddLabel(LabelName(label).data(), {},
                              {kLeftValueLeft, top, kLeftValueWidth, kLeftRowHeight}, left_value,
                              kValueColour, value_alignment);
  }

  const struct {
    Label label;
    int top;
    const char* caption_name;
    const char* caption;
  } right_rows[] = {
      {Label::lblClockUpdated, 240, "Label7", "Clock last updated:"},
      {Label::lblLastTextCheck, 480, "Label8", "Text last checked:"},
      {Label::lblEncoderType, 720, "Label10", "Encoder Type:"},
      {Label::lblTATMOUT, 960, "Label5_1", "Encoder Timeout:"},
      {Label::lblOurTimeout, 1200, "Label5_2", "Our Timeout:"},
      {Label::lblPILOT, 1440, "Label11", "Pilot Status:"},
      {Label::lblCT, 1680, "Label6", "CT:"},
  };
  for (const auto& row : right_rows) {
    AddCaption(row.caption_name, row.caption,
               {kRightCaptionLeft, row.top, kRightCaptionWidth, kRightRowHeight}, right_caption);
    labels_[row.label] = AddLabel(LabelName(row.label).data(), {},
                                  {kRightValueLeft, row.top, kRightValueWidth, kRightRowHeight},
                                  right_value, kValueColour, value_alignment);
  }

  labels_[Label::lblRTplus] =
      AddLabel("lblRTplus", {}, kRtPlusPlace, ClassicFont(kLeftColumnPoints, false), kValueColour,
               Qt::AlignRight | Qt::AlignTop);
  AddRule("Line2", kLine2Top);
  labels_[Label::lblRT] =
      AddLabel("lblRT", {}, kRadioTextPlace, ClassicFont(kRadioTextPoints, true), kValueColour,
               Qt::AlignCenter);
  AddRule("Line1", kLine1Top);

  cmdTraffic_ = new QPushButton(this);
  cmdTraffic_->setObjectName(QStringLiteral("cmdTraffic"));
  cmdTraffic_->setGeometry(Pixels(kButtonPlace));
  cmdTraffic_->setFont(ClassicFont(kButtonPoints, true));
  cmdTraffic_->setText(DisplayText(kTrafficUnavailable));
  cmdTraffic_->setEnabled(false);
  QObject::connect(cmdTraffic_, &QPushButton::clicked, [this] {
    if (on_click_) {
      on_click_();
    }
  });

  labels_[Label::lblNotice] =
      AddLabel("lblNotice", {}, kNoticePlace, ClassicFont(kRightColumnPoints, false), kNoticeColour,
               Qt::AlignCenter);

  for (const Label label : kAllLabels) {
    labels_.at(label)->setText(DisplayText(CreationText(label)));
  }
}

void frmMain::SetLabel(Label label, std::string_view text) {
  QLabel* shown = labels_.at(label);
  const bool rds = rds_characters_ && rds_characters_();
  shown->setText(QString::fromStdString(ShownText(label, text, rds)));
  if (label == Label::lblRT) {
    shown->setFont(RadioTextFont(shown->text(), shown->width()));
  }
}

void frmMain::SetButtonCaption(std::string_view caption) {
  cmdTraffic_->setText(DisplayText(caption));
}

void frmMain::SetButtonEnabled(bool enabled) {
  cmdTraffic_->setEnabled(enabled);
}

void frmMain::SetButtonColour(ButtonColour colour) {
  cmdTraffic_->setStyleSheet(ButtonStyle(colour));
}

void frmMain::SetClickHandler(std::function<void()> on_click) {
  on_click_ = std::move(on_click);
}

QLabel* frmMain::AddLabel(const char* name, const QString& text, const TwipsRect& place,
                          const QFont& font, const QColor& colour, Qt::Alignment alignment) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(Pixels(place));
  label->setFont(font);
  // Encoder and metadata texts are shown as they are, never as markup.
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
  label->setAlignment(alignment);
  QPalette text_colour = label->palette();
  text_colour.setColor(QPalette::WindowText, colour);
  label->setPalette(text_colour);
  return label;
}

void frmMain::AddCaption(const char* name, const char* text, const TwipsRect& place,
                         const QFont& font) {
  AddLabel(name, QString::fromLatin1(text), place, font, kCaptionColour,
           Qt::AlignRight | Qt::AlignVCenter);
}

void frmMain::AddRule(const char* name, int top_twips) {
  auto* rule = new QFrame(this);
  rule->setObjectName(QString::fromLatin1(name));
  rule->setGeometry(0, top_twips / kTwipsPerPixel, width(), 1);
  QPalette line_colour = rule->palette();
  line_colour.setColor(QPalette::Window, kCaptionColour);
  rule->setPalette(line_colour);
  rule->setAutoFillBackground(true);
}

}  // namespace morvane
