#include "app/InputGate.h"
#include "app/Main.h"

#include <QApplication>
#include <QProgressBar>

#include <algorithm>
#include <limits>

void TfrmMain::BeginExport(qint64 recordCount) {
  // Disabling the window takes the focus away; it goes back when the window takes input again.
  FExportFocus = focusWidget();
  // No input reaches the window but Esc, a click on the bar and a request to close it, which
  // stop the save (and the close then ends the program).
  FExportGate = std::make_unique<InputGate>(this);
  FStopExport = false;
  FExportGate->SetStop(ProgressBar, [this] { StopWork(); });
  setEnabled(false);
  ProgressBar->setToolTip(QStringLiteral("Press Esc or click here to stop"));
  ProgressBar->setFormat(QStringLiteral("%p%, Esc stops"));
  ProgressBar->setTextVisible(true);
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
  ProgressBar->setTextVisible(false);
  ProgressBar->resetFormat();
  ProgressBar->setToolTip(QString());
}
