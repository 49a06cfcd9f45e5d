// Test main for programs that create widgets: one QApplication on the
// offscreen platform, set up as the program sets itself up, then every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <cstdlib>

#include "platform/qt/Application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  qor::ConfigureApplication();  // as the program starts
  return RUN_ALL_TESTS();
}
