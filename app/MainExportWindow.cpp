#include "app/InputGate.h"
#include "app/Main.h"

#include <QApplication>
#include <QProgressBar>

#include <algorithm>
#include <limits>

void TfrmMain::BeginExport(qint64 recordCount) {
  // Disabling the window takes the focus away; it goes back when the window takes input again.
  FExportFocus = focusWidget();
  // No input reaches the window, and a request to close it is refused until the save is over.
  FExportGate = std::make_unique<InputGate>(this);
  setEnabled(false);
  ProgressBar->show();
  ProgressBar->setValue(0);
  // A range of 0 to 0 would be Qt's busy animation: an empty result shows an empty bar.
  ProgressBar->setMaximum(
      static_cast<int>(std::clamp<qint64>(recordCount, 1, std::numeric_limits<int>::max())));
  QCoreApplication::processEvents();
}

void TfrmMain::EndExport() {
  // What was clicked or typed during the save is dropped before the window takes input again.
  FExportGate.reset();
  setEnabled(true);
  if (FExportFocus != nullptr && FExportFocus->isEnabled())
    FExportFocus->setFocus(Qt::OtherFocusReason);
  FExportFocus = nullptr;
  ProgressBar->hide();
}
