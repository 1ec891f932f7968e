#include "app/InputGate.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QWidget>

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
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
  if (FWindow == nullptr || !IsInput(event->type()) || !watched->isWidgetType() ||
      static_cast<QWidget*>(watched)->window() != FWindow)
    return false;
  // Taken, so it goes to no parent either; but a close request left accepted would still close
  // the window.
  event->setAccepted(event->type() != QEvent::Close);
  return true;
}
