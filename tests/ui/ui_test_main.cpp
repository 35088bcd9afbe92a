// GoogleTest with one QApplication for all window tests; without a platform named, offscreen,
// so that listing and running the tests never needs a display.
#include <QApplication>
#include <gtest/gtest.h>

#include "text_codec.h"

int main(int argc, char* argv[]) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  framefit::SetUpTextLocale();  // as the program does after QApplication
  return RUN_ALL_TESTS();
}
