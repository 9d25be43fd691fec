#include "ui/qt_status_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace morvane {
namespace {

QLabel* Control(frmMain& window, std::string_view name) {
  return window.findChild<QLabel*>(QString::fromLatin1(name.data(), name.size()));
}

QPushButton* Button(frmMain& window) {
  return window.findChild<QPushButton*>(QStringLiteral("cmdTraffic"));
}

// The button's face beside its caption, as drawn.
QColor ButtonFace(frmMain& window) {
  QPushButton* button = Button(window);
  const QImage image = button->grab().toImage();
  return image.pixelColor(6, image.height() / 2);
}

TEST(StatusWindow, CreatedWithTitleSizeAndCreationTexts) {
  frmMain window;
  EXPECT_EQ(window.windowTitle(), "RDS Morvane");
  EXPECT_EQ(window.size(), QSize(623, 229));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the layout does not follow resizing";

  const std::pair<Label, const char*> creation[] = {
      {Label::lblPS, "?"},
      {Label::lblPI, "?"},
      {Label::lblTA, "?"},
      {Label::lblTP, "?"},
      {Label::lblPTY, "?"},
      {Label::lblRTplus, "RT+"},
      {Label::lblClockUpdated, "Never"},
      {Label::lblLastTextCheck, "Never"},
      {Label::lblEncoderType, "None"},
      {Label::lblTATMOUT, "?"},
      {Label::lblOurTimeout, "?"},
      {Label::lblPILOT, "N/A"},
      {Label::lblCT, "?"},
      {Label::lblRT, "RADIOTEXT"},
      {Label::lblNotice, "RDS Morvane"},
  };
  ASSERT_EQ(std::size(creation), std::size(kAllLabels));
  for (const auto& [label, text] : creation) {
    QLabel* control = Control(window, LabelName(label));
    ASSERT_NE(control, nullptr) << LabelName(label);
    EXPECT_EQ(control->text(), text) << LabelName(label);
  }

  const std::pair<const char*, const char*> captions[] = {
      {"Label1", "PS:"},
      {"Label2", "PI:"},
      {"Label5_0", "TA:"},
      {"Label5_1", "Encoder Timeout:"},
      {"Label5_2", "Our Timeout:"},
      {"Label4", "TP:"},
      {"Label9", "PTY:"},
      {"Label7", "Clock last updated:"},
      {"Label8", "Text last checked:"},
      {"Label10", "Encoder Type:"},
      {"Label11", "Pilot Status:"},
      {"Label6", "CT:"},
  };
  for (const auto& [name, text] : captions) {
    QLabel* caption = Control(window, name);
    ASSERT_NE(caption, nullptr) << name;
    EXPECT_EQ(caption->text(), text) << name;
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(192, 192, 192)) << name;
  }

  EXPECT_EQ(Button(window)->text(), "TRAFFIC ALERT UNAVAILABLE");
  EXPECT_FALSE(Button(window)->isEnabled());
}

TEST(StatusWindow, LabelsShowTextsAsTheyAre) {
  frmMain window;
  window.SetLabel(Label::lblPS, "RADIO 1 ");
  window.SetLabel(Label::lblRTplus, "");
  window.SetLabel(Label::lblRT, "<b>Caf\xE9</b> & more");

  EXPECT_EQ(Control(window, "lblPS")->text(), "RADIO 1 ");
  EXPECT_EQ(Control(window, "lblRTplus")->text(), "");
  QLabel* radiotext = Control(window, "lblRT");
  EXPECT_EQ(radiotext->text(), QString::fromUtf8("<b>Caf\u00E9</b> & more"));
  EXPECT_EQ(radiotext->textFormat(), Qt::PlainText) << "a RadioText is never markup";
}

TEST(StatusWindow, EncoderTextsReadInRdsCharactersWhenTitlesAreConverted) {
  frmMain window;
  bool converting = false;
  window.SetRdsCharactersInUse([&converting] { return converting; });
  const std::string_view title = "Caf\x82 M\x99ller\r";

  window.SetLabel(Label::lblRT, title);
  EXPECT_EQ(Control(window, "lblRT")->text(), QString::fromUtf8("Caf\u0082 M\u0099ller "));
  converting = true;
  window.SetLabel(Label::lblRT, title);
  window.SetLabel(Label::lblPS, "\xABRADIO\x82");
  window.SetLabel(Label::lblEncoderType, "\x82");
  EXPECT_EQ(Control(window, "lblRT")->text(), QString::fromUtf8("Caf\u00E9 M\u00FCller "));
  EXPECT_EQ(Control(window, "lblPS")->text(), QString::fromUtf8("$RADIO\u00E9"));
  EXPECT_EQ(Control(window, "lblEncoderType")->text(), QString::fromUtf8("\u0082"))
      << "configuration texts are shown as written";
}

TEST(StatusWindow, LongestStatusTextsFitTheirLabels) {
  frmMain window;
  const std::pair<Label, const char*> longest[] = {
      {Label::lblTP, "0 (DISABLED ON ENCODER)"},
      {Label::lblTA, "1 (TRAFFIC ALERT)"},
      {Label::lblPTY, "Serious Classics"},
      {Label::lblCT, "1 (TIME BEING BROADCAST)"},
      {Label::lblClockUpdated, "31.12.26 23:59:59"},
      {Label::lblPILOT, "NONE/FREE RUN"},
      {Label::lblRT, "Mmmmmmmm Mmmmmmm - Mmmmmmm mmmmmm Mmmmmmmm mmmmmm Mmmmmmm Mmmmmmmm"},
  };
  for (const auto& [label, text] : longest) {
    window.SetLabel(label, text);
    QLabel* control = Control(window, LabelName(label));
    EXPECT_LE(control->fontMetrics().horizontalAdvance(control->text()), control->width()) << text;
  }
  // Caption and value rectangles never overlap; the RT+ mark sits in the corner above the
  // clock row, whose text ends well before it.
  QList<QWidget*> controls;
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (child->objectName() != "lblRTplus") {
      controls.append(child);
    }
  }
  for (int i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(window.rect().contains(controls[i]->geometry()))
        << controls[i]->objectName().toStdString();
    for (int j = i + 1; j < controls.size(); ++j) {
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
          << controls[i]->objectName().toStdString() << " and "
          << controls[j]->objectName().toStdString();
    }
  }
}

TEST(StatusWindow, ButtonShowsCaptionStateAndColourAndDeliversClicks) {
  frmMain window;
  int clicks = 0;
  window.SetClickHandler([&clicks] { ++clicks; });
  window.show();
  QPushButton* button = Button(window);

  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 0) << "a disabled button delivers no click";
  const QColor button_face = ButtonFace(window);

  window.SetButtonEnabled(true);
  window.SetButtonCaption(kTrafficActivate);
  window.SetButtonColour(ButtonColour::LightGreen);
  EXPECT_EQ(button->text(), "CLICK TO ACTIVATE TRAFFIC ALERT");
  EXPECT_EQ(ButtonFace(window), QColor(128, 255, 128));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);

  window.SetButtonCaption(kTrafficInProgress);
  window.SetButtonColour(ButtonColour::Red);
  EXPECT_EQ(button->text(), "TRAFFIC ALERT IN PROGRESS - CLICK TO END");
  EXPECT_EQ(ButtonFace(window), QColor(255, 0, 0));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);

  window.SetButtonColour(ButtonColour::ButtonFace);
  window.SetButtonEnabled(false);
  EXPECT_EQ(ButtonFace(window), button_face);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace morvane
