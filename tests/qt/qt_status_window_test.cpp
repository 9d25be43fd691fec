#include "ui/qt_status_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace morvane {
namespace {

QLabel* Control(frmMain& window, std::string_view name) {
  return window.findChild<QLabel*>(QString::fromLatin1(name.data(), name.size()));
}

// The button's face beside its caption, as drawn.
QColor ButtonFace(QPushButton* button) {
  const QImage image = button->grab().toImage();
  return image.pixelColor(6, image.height() / 2);
}

TEST(StatusWindow, CreatedWithTitleSizeCaptionsAndCreationTexts) {
  frmMain window;
  EXPECT_EQ(window.windowTitle(), "RDS Morvane");
  EXPECT_EQ(window.size(), QSize(623, 229));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the layout does not follow resizing";

  // Every value label at its creation text (both pinned beside the headless view), and the
  // captions beside them.
  for (const Label label : kAllLabels) {
    QLabel* control = Control(window, LabelName(label));
    ASSERT_NE(control, nullptr) << LabelName(label);
    EXPECT_EQ(control->text().toStdString(), CreationText(label));
  }
  const char* const captions[] = {"Label1",   "PS:",
                                  "Label2",   "PI:",
                                  "Label5_0", "TA:",
                                  "Label5_1", "Encoder Timeout:",
                                  "Label5_2", "Our Timeout:",
                                  "Label4",   "TP:",
                                  "Label9",   "PTY:",
                                  "Label7",   "Clock last updated:",
                                  "Label8",   "Text last checked:",
                                  "Label10",  "Encoder Type:",
                                  "Label11",  "Pilot Status:",
                                  "Label6",   "CT:"};
  for (std::size_t i = 0; i < std::size(captions); i += 2) {
    QLabel* control = Control(window, captions[i]);
    ASSERT_NE(control, nullptr) << captions[i];
    EXPECT_EQ(control->text(), captions[i + 1]) << captions[i];
  }
  EXPECT_EQ(Control(window, "Label6")->palette().color(QPalette::WindowText),
            QColor(192, 192, 192));
}

// The texts themselves are pinned beside ShownText; the window shows them as plain text.
TEST(StatusWindow, EncoderTextsShownAsARadioShowsThemNeverAsMarkup) {
  frmMain window;
  window.SetRdsCharactersInUse([] { return true; });
  window.SetLabel(Label::lblRT, "<b>Caf\x82</b>");
  EXPECT_EQ(Control(window, "lblRT")->text(), QString::fromUtf8("<b>Caf\u00E9</b>"));
  EXPECT_EQ(Control(window, "lblRT")->textFormat(), Qt::PlainText);
}

TEST(StatusWindow, LongestRadioTextFitsAndNoControlsOverlap) {
  frmMain window;
  window.SetLabel(Label::lblRT,
                  "Mmmmmmmm Mmmmmmm - Mmmmmmm mmmmmm Mmmmmmmm mmmmmm Mmmmmmm Mmmmmmmm");
  QLabel* radiotext = Control(window, "lblRT");
  EXPECT_LE(radiotext->fontMetrics().horizontalAdvance(radiotext->text()), radiotext->width());
  // The RT+ mark sits in the corner above the clock row, whose text ends well before it.
  QList<QWidget*> controls = window.findChildren<QWidget*>();
  controls.removeOne(Control(window, "lblRTplus"));
  for (int i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(window.rect().contains(controls[i]->geometry()));
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
  auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdTraffic"));
  EXPECT_EQ(button->text(), "TRAFFIC ALERT UNAVAILABLE");
  EXPECT_FALSE(button->isEnabled());
  const QColor button_face = ButtonFace(button);
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
    EXPECT_EQ(ButtonFace(button), step.face) << step.caption;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, step.clicks) << step.caption << ": a disabled button delivers no click";
  }
}

}  // namespace
}  // namespace morvane
