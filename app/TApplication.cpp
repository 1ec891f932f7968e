#include "app/TApplication.h"

#include "base/HandlerGuard.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

// The title lives in the application name: the display name would be appended to every
// window's caption on some desktops.
QString TApplication::Title() {
  return QCoreApplication::applicationName();
}

void TApplication::SetTitle(const QString& title) {
  QCoreApplication::setApplicationName(title);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleApplicationException(std::current_exception());
    return false;
  }
}
