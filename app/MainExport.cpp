#include "app/Main.h"

#include "app/DelimitedWriter.h"

#include "base/Exceptions.h"
#include "base/Messages.h"
#include "data/TADODataSet.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>

namespace {
// How long the window may go without dispatching its events during an export.
constexpr qint64 kDispatchIntervalMs = 10;
}  // namespace

QString QuoteValue(const QString& text) {
  QString quoted;
  quoted.reserve(text.size() + 2);
  quoted += u'"';
  quoted += text;
  quoted += u'"';
  return quoted;
}

void TfrmMain::btnSaveClick(QObject* /*Sender*/) {
  if (!ADODataSet->Active()) throw Exception(QStringLiteral("Dataset not open"));
  if (ADODataSet->RecordCount() == -1) throw Exception(QStringLiteral("No records to export"));
  if (!FLastSaveName.isEmpty()) SaveDialog1->selectFile(FLastSaveName);
  if (SaveDialog1->exec() != QDialog::Accepted) return;
  const QStringList chosen = SaveDialog1->selectedFiles();
  if (chosen.isEmpty()) return;
  FLastSaveName = chosen.first();
  // Refused before anything is written: such a delimiter would not read back.
  if (StandardCsvChosen()) DelimitedWriter::CheckStandardDelimiter(ChosenDelimiter());
  ExportToFile(FLastSaveName);
}

bool TfrmMain::StandardCsvChosen() const {
  return SaveDialog1->selectedNameFilter() == kStandardCsvFilter;
}

QString TfrmMain::ChosenDelimiter() const {
  switch (cbxDelimiter->currentIndex()) {
    case 0:
      return QStringLiteral("\t");
    case 1:
      return QStringLiteral(" ");
    case 2:
      return QStringLiteral(",");
    case 3:
      return edtCustomDelimiter->text();
    default:
      return QString();
  }
}

void TfrmMain::ShowProgress(qint64 done) {
  ProgressBar->setValue(static_cast<int>(std::clamp<qint64>(done, 0, ProgressBar->maximum())));
}

void TfrmMain::ExportToFile(const QString& FileName) {
  const qint64 count = ADODataSet->RecordCount();
  BeginExport(count);
  ADODataSet->DisableControls();

  std::exception_ptr failure;
  try {
    // The lines go to the file beside the target as they are built; it replaces the target
    // only after the last record was read, so a failed save never touches the file there was.
    DelimitedWriter writer(
        FileName, ChosenDelimiter(), *ADODataSet,
        StandardCsvChosen() ? DelimitedWriter::Style::Standard : DelimitedWriter::Style::Plain);
    ADODataSet->First();
    // The bar advances by one per record, but the window catches up (bar drawn, events
    // dispatched) every few milliseconds only: a dispatch costs more than writing a line.
    qint64 done = 0;
    QElapsedTimer sinceDispatch;
    sinceDispatch.start();
    while (!ADODataSet->Eof()) {
      writer.WriteRecord();
      ADODataSet->Next();
      ++done;
      if ((done & 0xff) == 0 && sinceDispatch.elapsed() >= kDispatchIntervalMs) {
        ShowProgress(done);
        QCoreApplication::processEvents();
        sinceDispatch.restart();
        // Asked to stop: the target stays as it was, the file beside it goes.
        if (FStopExport) throw EAbort(QStringLiteral("Operation cancelled"));
      }
    }
    ShowProgress(done);
    writer.Commit();
  } catch (...) {
    failure = std::current_exception();
  }

  // The writer and its buffer are gone by now: after a failed allocation, enabling the window
  // again needs memory back.
  EndExport();
  try {
    ADODataSet->First();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  ADODataSet->EnableControls();
  if (failure) std::rethrow_exception(failure);
}
