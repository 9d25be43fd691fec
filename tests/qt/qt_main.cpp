#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Widgets need an application object; nothing here may open a real window.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
