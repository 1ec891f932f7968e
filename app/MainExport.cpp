#include "app/Main.h"

#include "base/Exceptions.h"
#include "base/Messages.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/CodePage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QSaveFile>

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
  ExportToFile(FLastSaveName);
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

QString TfrmMain::BuildRow(const QString& delimiter, qsizetype expectedLength) const {
  QString row;
  row.reserve(expectedLength);
  const int last = ADODataSet->FieldCount() - 1;
  for (int index = 0; index <= last; ++index) {
    const TField* field = ADODataSet->Fields(index);
    if (field->IsBlob()) {
      row += QLatin1String("\"<BLOB>\"");
    } else {
      const QString text = field->AsString();
      // An empty delimiter never occurs in a text.
      if (field->DataType() == ftString ||
          (!delimiter.isEmpty() && text.contains(delimiter, Qt::CaseSensitive))) {
        // QuoteValue, without the extra string.
        row += u'"';
        row += text;
        row += u'"';
      } else {
        row += text;
      }
    }
    if (index < last) row += delimiter;
  }
  // A line never holds a line break, wherever it came from (values or the delimiter).
  if (row.contains(u'\r')) row.replace(u'\r', u' ');
  if (row.contains(u'\n')) row.remove(u'\n');
  return row;
}

void TfrmMain::ShowProgress(qint64 done) {
  ProgressBar->setValue(static_cast<int>(std::clamp<qint64>(done, 0, ProgressBar->maximum())));
}

void TfrmMain::ExportToFile(const QString& FileName) {
  const qint64 count = ADODataSet->RecordCount();
  BeginExport(count);
  ADODataSet->DisableControls();

  auto rows = std::make_unique<QStringList>();
  std::exception_ptr failure;
  try {
    rows->reserve(static_cast<qsizetype>(std::max<qint64>(count, 0)));
    const QString delimiter = ChosenDelimiter();
    ADODataSet->First();
    // The bar advances by one per record, but the window catches up (bar drawn, events
    // dispatched) every few milliseconds only: a dispatch costs more than building a row.
    qint64 done = 0;
    QElapsedTimer sinceDispatch;
    sinceDispatch.start();
    while (!ADODataSet->Eof()) {
      rows->append(BuildRow(delimiter, rows->isEmpty() ? 64 : rows->last().size() + 16));
      ADODataSet->Next();
      ++done;
      if (sinceDispatch.elapsed() >= kDispatchIntervalMs) {
        ShowProgress(done);
        QCoreApplication::processEvents();
        sinceDispatch.restart();
      }
    }
    ShowProgress(done);
    WriteRows(FileName, *rows);
  } catch (...) {
    failure = std::current_exception();
  }

  // The rows go first: after a failed allocation, re-enabling the window needs memory back.
  rows.reset();
  EndExport();
  try {
    ADODataSet->First();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  ADODataSet->EnableControls();
  if (failure) std::rethrow_exception(failure);
}

void TfrmMain::WriteRows(const QString& FileName, const QStringList& rows) const {
  qsizetype length = 0;
  for (const QString& row : rows) length += row.size() + 2;
  QString text;
  text.reserve(length);
  for (const QString& row : rows) {
    text += row;
    text += QLatin1String("\r\n");
  }
  const QByteArray bytes = codepage::FromUnicode(text);
  text = QString();

  // The bytes go to a new file beside the target, which replaces it only once every byte is
  // written: a failed save never destroys the file that was there (its permissions are kept).
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(FileName, TrimMessageEnd(file.errorString())));
  const char* data = bytes.constData();
  qint64 left = bytes.size();
  while (left > 0) {
    const qint64 written = file.write(data, left);
    if (written <= 0) throw Exception(QStringLiteral("Stream write error"));
    data += written;
    left -= written;
  }
  if (!file.commit()) {
    if (file.error() == QFileDevice::RenameError)
      throw Exception(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(FileName, TrimMessageEnd(file.errorString())));
    throw Exception(QStringLiteral("Stream write error"));
  }
}
