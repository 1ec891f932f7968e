#pragma once

#include <QApplication>
#include <QString>

// The application object: carries the title that captions every error box, and catches whatever
// escapes an event so that no exception unwinds through Qt's own frames.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  // The caption of every error box.
  static QString Title();
  static void SetTitle(const QString& title);

  bool notify(QObject* receiver, QEvent* event) override;
};
