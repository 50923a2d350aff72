#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run on the offscreen platform unless the caller chose one;
// the session test takes the X server it is given.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
#ifdef SINKVIEW_REAL_DISPLAY
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
#else
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
