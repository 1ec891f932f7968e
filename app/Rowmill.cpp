#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"

#include <QIcon>

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  TApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rowmill.png")));
  // Lets a desktop match the window to the installed menu entry and its icon.
  TApplication::setDesktopFileName(QStringLiteral("rowmill"));
  errorbox::Install();
  TApplication::SetTitle(QStringLiteral("Rowmill"));
  TfrmMain frmMain;
  frmMain.ShowAtStart();
  // Closing the main window ends the program: no question, nothing saved.
  return TApplication::exec();
}
