#include "tests/support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  const QPointer<QWidget> before = QApplication::activeModalWidget();
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  auto* timer = new QTimer(qApp);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=, action = std::move(action)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (::testing::UnitTest::GetInstance()->current_test_info() != test) {
      timer->stop();
      timer->deleteLater();
    } else if (modal && modal != before.data() && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    } else if (clock->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(5);
}
