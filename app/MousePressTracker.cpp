#include "app/MousePressTracker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

MousePressTracker& MousePressTracker::Instance() {
  static MousePressTracker* tracker = new MousePressTracker;
  return *tracker;
}

MousePressTracker::MousePressTracker() : QObject(qApp) {
  qApp->installEventFilter(this);
}

bool MousePressTracker::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (!watched->isWidgetType() ||
      (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
       type != QEvent::MouseButtonRelease))
    return false;
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    // The first receiver is the widget under the mouse, the one Qt sends the moves to; the
    // parents that a press propagates to come after it.
    if (FWidget == nullptr || FButton == Qt::NoButton) {
      FWidget = static_cast<QWidget*>(watched);
      FButton = mouse->button();
      FLocal = mouse->position();
      FScene = mouse->scenePosition();
      FGlobal = mouse->globalPosition();
    }
  } else if (mouse->buttons() == Qt::NoButton) {
    FWidget = nullptr;
    FButton = Qt::NoButton;
  }
  return false;
}

void MousePressTracker::Cancel() {
  const QPointer<QWidget> widget = FWidget;
  const Qt::MouseButton button = FButton;
  FWidget = nullptr;
  FButton = Qt::NoButton;
  if (widget == nullptr || button == Qt::NoButton) return;
  QMouseEvent back(QEvent::MouseMove, FLocal, FScene, FGlobal, Qt::NoButton, button,
                   QGuiApplication::keyboardModifiers());
  QCoreApplication::sendEvent(widget, &back);
  if (widget == nullptr) return;
  // Back on a button the move pressed it again; let go of it without a click.
  if (auto* pressed = qobject_cast<QAbstractButton*>(widget.data())) pressed->setDown(false);
  QMouseEvent release(QEvent::MouseButtonRelease, FLocal, FScene, FGlobal, button, Qt::NoButton,
                      QGuiApplication::keyboardModifiers());
  QCoreApplication::sendEvent(widget, &release);
}
