#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// While a statement runs or a save writes, the window system queues what the user does, and
// Qt would deliver it afterwards: three impatient clicks on "Execute SQL" would run the
// statement three more times. A gate drops every click, key, wheel turn and close request aimed
// at its window for as long as it lives; before it goes it lets the queued input arrive and
// drops that too. One click runs one statement.
//
// With a stop set, Esc and a click on the stop's place stop the work, and a close request stops
// it and closes the window once the gate is gone: closing always ends the program.
class InputGate : public QObject {
  Q_OBJECT
 public:
  explicit InputGate(QWidget* window);
  ~InputGate() override;
  InputGate(const InputGate&) = delete;
  InputGate& operator=(const InputGate&) = delete;

  void SetStop(QWidget* place, std::function<void()> stop);
  // Input aimed at this widget reaches it (the editor, where typing starts nothing).
  void LetThrough(QWidget* widget) { FThrough = widget; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when the event asks to stop; the stop has been called.
  bool Stops(QWidget* target, QEvent* event);

  QPointer<QWidget> FWindow;
  QPointer<QWidget> FStopPlace;
  QPointer<QWidget> FThrough;
  std::function<void()> FStop;
  bool FCloseRequested = false;
};
