// Test main for programs that create widgets: one QApplication on the
// offscreen platform, then every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QApplication::setApplicationName("QOR 3D");
  QApplication::setApplicationDisplayName("QOR 3D");
  return RUN_ALL_TESTS();
}
