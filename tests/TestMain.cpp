#ifdef ROWMILL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

// Every test executable runs inside one application object: a QApplication on the offscreen
// platform (unless the environment chooses another) for the tests of windows, a QCoreApplication
// for the layers below them. Listing the tests needs neither.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  TestApplication app(argc, argv);
#ifdef ROWMILL_TEST_WIDGETS
  // A test that closes its window must not end the event loops of the tests after it.
  QApplication::setQuitOnLastWindowClosed(false);
#endif
  return RUN_ALL_TESTS();
}
