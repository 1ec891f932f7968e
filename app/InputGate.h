#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While a statement runs or a save writes, the window system queues what the user does, and
// Qt would deliver it afterwards: three impatient clicks on "Execute SQL" would run the
// statement three more times. A gate drops every click, key, wheel turn and close request aimed
// at its window for as long as it lives; before it goes it lets the queued input arrive and
// drops that too. One click runs one statement.
class InputGate : public QObject {
  Q_OBJECT
 public:
  explicit InputGate(QWidget* window);
  ~InputGate() override;
  InputGate(const InputGate&) = delete;
  InputGate& operator=(const InputGate&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> FWindow;
};
