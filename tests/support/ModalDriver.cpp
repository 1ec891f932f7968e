#include "tests/support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  const QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* timer = new QTimer(qApp);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=, action = std::move(action)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != before.data() && modal->isVisible()) {
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
