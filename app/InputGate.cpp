#include "app/InputGate.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputGate::InputGate(QWidget* window) : FWindow(window) {
  qApp->installEventFilter(this);
}

InputGate::~InputGate() {
  // Each pass hands over what the window system has queued; a few are plenty, and the bound
  // keeps a steady timer from holding the window here.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    for (int pass = 0; pass < 8; ++pass)
      if (!dispatcher->processEvents(QEventLoop::AllEvents)) break;
  }
  qApp->removeEventFilter(this);
  // The close that was asked for while the work ran, now that nothing drops it.
  if (FCloseRequested && FWindow != nullptr)
    QMetaObject::invokeMethod(FWindow, &QWidget::close, Qt::QueuedConnection);
}

void InputGate::SetStop(QWidget* place, std::function<void()> stop) {
  FStopPlace = place;
  FStop = std::move(stop);
}

bool InputGate::Stops(QWidget* target, QEvent* event) {
  if (!FStop) return false;
  bool stops = false;
  switch (event->type()) {
    case QEvent::Close:
      FCloseRequested = true;
      stops = true;
      break;
    case QEvent::KeyPress:
      stops = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
      break;
    case QEvent::MouseButtonPress:
      stops = target == FStopPlace && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      break;
    default:
      break;
  }
  if (stops) FStop();
  return stops;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
  if (FWindow == nullptr || !IsInput(event->type()) || !watched->isWidgetType()) return false;
  auto* target = static_cast<QWidget*>(watched);
  if (target->window() != FWindow) return false;
  const bool stops = Stops(target, event);
  if (!stops && FThrough != nullptr && event->type() != QEvent::Close &&
      (target == FThrough || FThrough->isAncestorOf(target)))
    return false;
  // Taken, so it goes to no parent either; but a close request left accepted would still close
  // the window.
  event->setAccepted(event->type() != QEvent::Close);
  return true;
}
