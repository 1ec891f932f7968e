#include "app/DelimitedWriter.h"

#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/CodePage.h"

#include <cstring>
#include <string_view>

namespace {

// Text is written to the file in chunks of about this size.
constexpr size_t kChunkBytes = 1 << 20;

// In a line of text, CR becomes a blank and LF goes, wherever they stand (values or the
// delimiter), from position from on.
template <typename Text, typename Char>
void ClearLineBreaks(Text& text, qsizetype from, Char cr, Char lf) {
  qsizetype out = from;
  for (qsizetype in = from; in < static_cast<qsizetype>(text.size()); ++in) {
    const auto c = text[in];
    if (c == lf) continue;
    text[out++] = c == cr ? Char(' ') : c;
  }
  text.resize(out);
}

}  // namespace

DelimitedWriter::DelimitedWriter(const QString& fileName, const QString& delimiter,
                                 const TADODataSet& dataSet)
    : FTarget(fileName),
      FSink(codepage::IsUtf8() ? TextSink::Encoding::Utf8 : TextSink::Encoding::Utf16),
      FDelimiter(delimiter),
      FDelimiterBytes(codepage::FromUnicode(delimiter).toStdString()) {
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField* field = dataSet.Fields(i);
    FColumns.push_back({field, field->IsBlob(), field->DataType() == ftString});
  }
  if (FSink.IsUtf8())
    FSink.Bytes().reserve(kChunkBytes + 4096);
  else
    FSink.String().reserve(kChunkBytes + 4096);
}

void DelimitedWriter::WriteRecord() {
  if (FSink.IsUtf8())
    WriteRecordUtf8();
  else
    WriteRecordUtf16();
  if (FSink.Size() >= kChunkBytes) Flush();
}

void DelimitedWriter::WriteRecordUtf8() {
  std::string& line = FSink.Bytes();
  const size_t lineStart = line.size();
  const std::string_view delimiter(FDelimiterBytes);
  for (size_t i = 0; i < FColumns.size(); ++i) {
    const Column& column = FColumns[i];
    if (column.Blob) {
      line += "\"<BLOB>\"";
    } else if (column.AlwaysQuoted) {
      line += '"';
      column.Field->WriteAsString(FSink);
      line += '"';
    } else {
      const size_t start = line.size();
      column.Field->WriteAsString(FSink);
      // An empty delimiter never occurs in a text.
      if (!delimiter.empty() &&
          std::string_view(line).substr(start).find(delimiter) != std::string_view::npos) {
        line.insert(start, 1, '"');
        line += '"';
      }
    }
    if (i + 1 < FColumns.size()) line += delimiter;
  }
  const char* written = line.data() + lineStart;
  const size_t length = line.size() - lineStart;
  if (std::memchr(written, '\r', length) || std::memchr(written, '\n', length))
    ClearLineBreaks(line, static_cast<qsizetype>(lineStart), '\r', '\n');
  line += "\r\n";
}

void DelimitedWriter::WriteRecordUtf16() {
  QString& line = FSink.String();
  const qsizetype lineStart = line.size();
  for (size_t i = 0; i < FColumns.size(); ++i) {
    const Column& column = FColumns[i];
    if (column.Blob) {
      line += QLatin1String("\"<BLOB>\"");
    } else if (column.AlwaysQuoted) {
      line += u'"';
      column.Field->WriteAsString(FSink);
      line += u'"';
    } else {
      const qsizetype start = line.size();
      column.Field->WriteAsString(FSink);
      if (!FDelimiter.isEmpty() &&
          QStringView(line).mid(start).indexOf(FDelimiter, 0, Qt::CaseSensitive) >= 0) {
        line.insert(start, u'"');
        line += u'"';
      }
    }
    if (i + 1 < FColumns.size()) line += FDelimiter;
  }
  const QStringView written = QStringView(line).mid(lineStart);
  if (written.contains(u'\r') || written.contains(u'\n'))
    ClearLineBreaks(line, lineStart, QChar(u'\r'), QChar(u'\n'));
  line += QLatin1String("\r\n");
}

void DelimitedWriter::Flush() {
  if (FSink.IsUtf8()) {
    std::string& bytes = FSink.Bytes();
    FTarget.Write(bytes.data(), static_cast<qint64>(bytes.size()));
    bytes.clear();
  } else {
    QString& text = FSink.String();
    const QByteArray bytes = codepage::FromUnicode(text);
    FTarget.Write(bytes.constData(), bytes.size());
    text.resize(0);
  }
}

void DelimitedWriter::Commit() {
  Flush();
  FTarget.Commit();
}
