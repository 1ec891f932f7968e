#include "app/DelimitedWriter.h"

#include "base/Exceptions.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/CodePage.h"

#include <algorithm>
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
                                 const TADODataSet& dataSet, Style style)
    : FStyle(Checked(style, delimiter)),
      FTarget(fileName),
      FSink(style == Style::Standard ? TextSink(TextSink::Encoding::Utf8, TextSink::Form::Exact)
            : codepage::IsUtf8()     ? TextSink(TextSink::Encoding::Utf8)
                                     : TextSink(TextSink::Encoding::Utf16)),
      FDelimiter(delimiter),
      FDelimiterBytes(style == Style::Standard ? delimiter.toStdString()
                                               : codepage::FromUnicode(delimiter).toStdString()) {
  FSpecial['"'] = FSpecial['\r'] = FSpecial['\n'] = true;
  if (FDelimiterBytes.size() == 1) FSpecial[static_cast<unsigned char>(FDelimiterBytes[0])] = true;
  // A delimiter of several bytes is looked for whole; the word search then repeats the quote.
  FDelimiterWord =
      0x0101010101010101ULL *
      static_cast<unsigned char>(FDelimiterBytes.size() == 1 ? FDelimiterBytes[0] : '"');
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField* field = dataSet.Fields(i);
    FColumns.push_back({field, field->IsBlob(), field->DataType() == ftString});
  }
  if (FSink.IsUtf8())
    FSink.Bytes().reserve(kChunkBytes + 4096);
  else
    FSink.String().reserve(kChunkBytes + 4096);
  if (style == Style::Standard) WriteHeader(dataSet);
}

DelimitedWriter::Style DelimitedWriter::Checked(Style style, const QString& delimiter) {
  if (style == Style::Standard) CheckStandardDelimiter(delimiter);
  return style;
}

void DelimitedWriter::CheckStandardDelimiter(const QString& delimiter) {
  if (delimiter.isEmpty())
    throw Exception(QStringLiteral("A CSV file with standard quoting needs a delimiter"));
  if (delimiter.contains(u'"') || delimiter.contains(u'\r') || delimiter.contains(u'\n'))
    throw Exception(QStringLiteral(
        "A delimiter that holds a double quote, CR or LF cannot be used with standard quoting"));
}

void DelimitedWriter::WriteHeader(const TADODataSet& dataSet) {
  std::string& line = FSink.Bytes();
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    if (i > 0) line += FDelimiterBytes;
    const size_t start = line.size();
    FSink.Text(dataSet.Fields(i)->DisplayName());
    if (line.size() == start)
      line += "\"\"";
    else
      QuoteStandard(start);
  }
  line += "\r\n";
}

void DelimitedWriter::WriteRecord() {
  if (FStyle == Style::Standard)
    WriteRecordStandard();
  else if (FSink.IsUtf8())
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

void DelimitedWriter::WriteRecordStandard() {
  std::string& line = FSink.Bytes();
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (i > 0) line += FDelimiterBytes;
    const size_t start = line.size();
    if (!FColumns[i].Field->WriteAsString(FSink)) continue;  // NULL: nothing at all
    if (line.size() == start)
      line += "\"\"";
    else
      QuoteStandard(start);
  }
  line += "\r\n";
}

void DelimitedWriter::QuoteStandard(size_t start) {
  std::string& line = FSink.Bytes();
  const std::string_view value = std::string_view(line).substr(start);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (!blank(value.front()) && !blank(value.back()) && !HoldsSpecial(value) &&
      !HoldsDelimiter(value))
    return;
  const std::string copy(value);
  line.resize(start);
  line += '"';
  for (const char c : copy) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

bool DelimitedWriter::HoldsSpecial(std::string_view value) const {
  // Eight bytes at a time: a byte equal to one of the four is a zero byte of the word XOR that
  // byte repeated, which the borrow of a subtraction finds.
  constexpr quint64 kOnes = 0x0101010101010101ULL;
  constexpr quint64 kHighs = 0x8080808080808080ULL;
  const auto zeroByte = [](quint64 x) { return ((x - kOnes) & ~x & kHighs) != 0; };
  const char* p = value.data();
  size_t n = value.size();
  for (; n >= 8; p += 8, n -= 8) {
    quint64 word;
    std::memcpy(&word, p, 8);
    if (zeroByte(word ^ (kOnes * '"')) || zeroByte(word ^ (kOnes * '\r')) ||
        zeroByte(word ^ (kOnes * '\n')) || zeroByte(word ^ FDelimiterWord))
      return true;
  }
  for (; n > 0; ++p, --n)
    if (FSpecial[static_cast<unsigned char>(*p)]) return true;
  return false;
}

bool DelimitedWriter::HoldsDelimiter(std::string_view value) const {
  const std::string& d = FDelimiterBytes;
  if (d.size() == 1) return false;  // among the specials
  // A delimiter of several characters can also form across a value's ends ("xa" before "aa"
  // reads as "x" and "aaa"): the delimiter must be found only where it stands.
  std::string framed = d;
  framed.append(value);
  framed += d;
  return framed.find(d, 1) < d.size() + value.size();
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
