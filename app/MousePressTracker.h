#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class QWidget;

// Knows which widget holds the mouse since a button went down on it (Qt's implicit grab: a header
// or splitter drag, a pressed button) and can end that, as a cancel-mode message does: the widget
// sees the mouse go back to where it was pressed and the button go up there, so a drag leaves
// things as they were and a pressed button is not clicked.
class MousePressTracker : public QObject {
  Q_OBJECT
 public:
  // The one tracker, watching every widget of the application from its first call on.
  static MousePressTracker& Instance();

  // Ends the implicit grab, if there is one.
  void Cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MousePressTracker();

  QPointer<QWidget> FWidget;
  Qt::MouseButton FButton = Qt::NoButton;
  QPointF FLocal;
  QPointF FScene;
  QPointF FGlobal;
};
