#include "app/Main.h"

#include "base/HandlerGuard.h"
#include "base/WorkerThread.h"
#include "data/BlockingWork.h"

#include <QApplication>
#include <QLocale>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>

namespace {

// How often the count of rows is brought up to date.
constexpr int kProgressIntervalMs = 100;

// The look of the window while work runs, undone on every way out.
class BusyLook {
 public:
  explicit BusyLook(QProgressBar* bar) : FBar(bar) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    FBar->setToolTip(QStringLiteral("Press Esc or click here to stop"));
    FBar->setTextVisible(true);
    FBar->setRange(0, 1);
    FBar->setValue(0);
    FBar->show();
  }
  ~BusyLook() {
    FBar->hide();
    FBar->setTextVisible(false);
    FBar->setToolTip(QString());
    FBar->resetFormat();
    FBar->setRange(0, 100);
    QApplication::restoreOverrideCursor();
  }
  BusyLook(const BusyLook&) = delete;
  BusyLook& operator=(const BusyLook&) = delete;

 private:
  QProgressBar* FBar;
};

}  // namespace

void TfrmMain::ShowHowFar(const BlockingWork& work) {
  if (work.Connecting && work.Connecting()) {
    ProgressBar->setFormat(QStringLiteral("Connecting, Esc stops"));
    return;
  }
  const qint64 rows = work.Progress();
  ProgressBar->setFormat(
      rows == 0 ? QStringLiteral("Running, Esc stops")
                : QStringLiteral("%1 rows, Esc stops").arg(QLocale::system().toString(rows)));
}

void TfrmMain::StopWork() {
  if (FRunningWork != nullptr) FRunningWork->Cancel();
  FStopExport = true;
}

void TfrmMain::RunBusy(const BlockingWork& work) {
  QTimer progress;
  progress.setInterval(kProgressIntervalMs);
  connect(&progress, &QTimer::timeout, this,
          Guarded([this, &work](auto&&...) { ShowHowFar(work); }));

  const BusyLook look(ProgressBar);
  ShowHowFar(work);
  progress.start();
  bool threaded = false;
  {
    FRunningWork = &work;
    const auto done = qScopeGuard([this] { FRunningWork = nullptr; });
    threaded = RunOnWorker(QStringLiteral("Statement"), work.Run, work.Cancel);
  }
  // No thread to be had: the window waits, as it did before.
  if (!threaded) work.Run();
}
