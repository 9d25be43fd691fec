#include "ui/qt_status_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace morvane {
namespace {

QLabel* Control(frmMain& window, std::string_view name) {
  return window.findChild<QLabel*>(QString::fromLatin1(name.data(), name.size()));
}

TEST(StatusWindow, TitleSizeCaptionsCreationTextsAndTheLongestRadioText) {
  frmMain window;
  EXPECT_EQ(window.windowTitle(), "RDS Morvane");
  EXPECT_EQ(window.size(), QSize(623, 229));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the layout does not follow resizing";
  for (const Label label : kAllLabels) {
    QLabel* control = Control(window, LabelName(label));
    ASSERT_NE(control, nullptr) << LabelName(label);
    EXPECT_EQ(control->text().toStdString(), CreationText(label));
  }
  // The captions beside them, "name=caption" each.
  const QString captions =
      "Label1=PS:|Label2=PI:|Label5_0=TA:|Label5_1=Encoder Timeout:|Label5_2=Our Timeout:|"
      "Label4=TP:|Label9=PTY:|Label7=Clock last updated:|Label8=Text last checked:|"
      "Label10=Encoder Type:|Label11=Pilot Status:|Label6=CT:";
  for (const QString& caption : captions.split('|')) {
    QLabel* control = Control(window, caption.section('=', 0, 0).toStdString());
    ASSERT_NE(control, nullptr) << caption.toStdString();
    EXPECT_EQ(control->text(), caption.section('=', 1)) << caption.toStdString();
  }
  EXPECT_EQ(Control(window, "Label6")->palette().color(QPalette::WindowText),
            QColor(192, 192, 192));

  // The encoder's codes shown as a radio shows them, as plain text, never as markup.
  window.SetRdsCharactersInUse([] { return true; });
  window.SetLabel(Label::lblRT, "<b>Caf\x82</b>");
  QLabel* radiotext = Control(window, "lblRT");
  EXPECT_EQ(radiotext->text(), QString::fromUtf8("<b>Caf\u00E9</b>"));
  EXPECT_EQ(radiotext->textFormat(), Qt::PlainText);
  window.SetLabel(Label::lblRT,
                  "Mmmmmmmm Mmmmmmm - Mmmmmmm mmmmmm Mmmmmmmm mmmmmm Mmmmmmm Mmmmmmmm");
  EXPECT_LE(radiotext->fontMetrics().horizontalAdvance(radiotext->text()), radiotext->width());
}

TEST(StatusWindow, ButtonShowsCaptionStateAndColourAndDeliversClicks) {
  frmMain window;
  int clicks = 0;
  window.SetClickHandler([&clicks] { ++clicks; });
  window.show();
  auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdTraffic"));
  // The button's face beside its caption, as drawn.
  const auto face = [button] {
    const QImage image = button->grab().toImage();
    return image.pixelColor(6, image.height() / 2);
  };
  EXPECT_EQ(button->text(), "TRAFFIC ALERT UNAVAILABLE");
  EXPECT_FALSE(button->isEnabled());
  const QColor button_face = face();
  const struct {
    bool enabled;
    std::string_view caption;
    ButtonColour colour;
    QColor face;
    int clicks;
  } steps[] = {
      {false, kTrafficUnavailable, ButtonColour::ButtonFace, button_face, 0},
      {true, kTrafficActivate, ButtonColour::LightGreen, QColor(128, 255, 128), 1},
      {true, kTrafficInProgress, ButtonColour::Red, QColor(255, 0, 0), 2},
      {false, kTrafficUnavailable, ButtonColour::ButtonFace, button_face, 2},
  };
  for (const auto& step : steps) {
    window.SetButtonEnabled(step.enabled);
    window.SetButtonCaption(step.caption);
    window.SetButtonColour(step.colour);
    EXPECT_EQ(button->text().toStdString(), step.caption);
    EXPECT_EQ(face(), step.face) << step.caption;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, step.clicks) << step.caption << ": a disabled button delivers no click";
  }
}

}  // namespace
}  // namespace morvane
