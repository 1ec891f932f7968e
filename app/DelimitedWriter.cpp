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
void ClearLineBreaks(std::string& line, size_t from) {
  size_t out = from;
  for (size_t in = from; in < line.size(); ++in) {
    const char c = line[in];
    if (c == '\n') continue;
    line[out++] = c == '\r' ? ' ' : c;
  }
  line.resize(out);
}

}  // namespace

DelimitedWriter::DelimitedWriter(const QString& fileName, const QString& delimiter,
                                 const TADODataSet& dataSet, Style style)
    : FStyle(Checked(style, delimiter)),
      FTarget(fileName),
      FSink(style == Style::Standard ? TextSink::Form::Exact : TextSink::Form::Regional),
      FEncoder(style == Style::Standard ? QByteArrayLiteral("UTF-8") : codepage::Name()) {
  TextSink delimiterText;
  delimiterText.Text(delimiter);
  FDelimiter = std::move(delimiterText.Bytes());
  // A delimiter of several bytes is looked for whole; the word search then repeats the quote.
  FDelimiterWord = 0x0101010101010101ULL *
                   static_cast<unsigned char>(FDelimiter.size() == 1 ? FDelimiter[0] : '"');
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField* field = dataSet.Fields(i);
    FColumns.push_back({field, field->IsBlob(), field->DataType() == ftString});
  }
  FSink.Bytes().reserve(kChunkBytes + 4096);
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
    if (i > 0) line += FDelimiter;
    const size_t start = line.size();
    FSink.Text(dataSet.Fields(i)->DisplayName());
    if (line.size() == start)
      line += "\"\"";
    else
      QuoteStandard(start);
  }
  line += "\r\n";
}

// One line for either style, in UTF-8; the character set is the flush's business.
void DelimitedWriter::WriteRecord() {
  std::string& line = FSink.Bytes();
  const size_t lineStart = line.size();
  const bool standard = FStyle == Style::Standard;
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (i > 0) line += FDelimiter;
    const Column& column = FColumns[i];
    const size_t start = line.size();
    if (standard) {
      if (!column.Field->WriteAsString(FSink)) continue;  // NULL: nothing at all
      if (line.size() == start)
        line += "\"\"";
      else
        QuoteStandard(start);
    } else if (column.Blob) {
      line += "\"<BLOB>\"";
    } else if (column.AlwaysQuoted) {
      line += '"';
      column.Field->WriteAsString(FSink);
      line += '"';
    } else {
      column.Field->WriteAsString(FSink);
      // An empty delimiter never occurs in a text.
      if (!FDelimiter.empty() &&
          std::string_view(line).substr(start).find(FDelimiter) != std::string_view::npos) {
        line.insert(start, 1, '"');
        line += '"';
      }
    }
  }
  if (!standard) {
    const char* written = line.data() + lineStart;
    const size_t length = line.size() - lineStart;
    if (std::memchr(written, '\r', length) || std::memchr(written, '\n', length))
      ClearLineBreaks(line, lineStart);
  }
  line += "\r\n";
  if (line.size() >= kChunkBytes) Flush();
}

void DelimitedWriter::QuoteStandard(size_t start) {
  std::string& line = FSink.Bytes();
  const std::string_view value = std::string_view(line).substr(start);
  if (!NeedsQuotes(value, line.capacity() - line.size())) return;
  const std::string copy(value);
  line.resize(start);
  line += '"';
  for (const char c : copy) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

// Asked of every value, eight bytes at a time: a byte equal to one of the four (double quote, CR,
// LF, a delimiter of one byte) is a zero byte of the word XOR that byte repeated, which the borrow
// of a subtraction finds. Most values are short (numbers, dates, names): when the buffer has room
// beyond the value (spare), one word is read and the bytes past the value masked off.
inline bool DelimitedWriter::NeedsQuotes(std::string_view value, size_t spare) const {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(value.front()) || blank(value.back())) return true;
  constexpr quint64 kOnes = 0x0101010101010101ULL;
  constexpr quint64 kHighs = 0x8080808080808080ULL;
  const auto holds = [this](quint64 word, quint64 mask) {
    const auto zeroBytes = [](quint64 x) { return (x - kOnes) & ~x; };
    return ((zeroBytes(word ^ (kOnes * '"')) | zeroBytes(word ^ (kOnes * '\r')) |
             zeroBytes(word ^ (kOnes * '\n')) | zeroBytes(word ^ FDelimiterWord)) &
            kHighs & mask) != 0;
  };
  const char* p = value.data();
  size_t n = value.size();
  quint64 word;
  bool found = false;
  if (n < 8 && spare >= 8) {
    std::memcpy(&word, p, 8);
    // Little-endian: the value's bytes are the low ones. A borrow only runs upwards, so the
    // bytes past the value cannot make one of the value's look zero.
    found = holds(word, ~0ULL >> (8 * (8 - n)));
  } else if (n < 8) {
    for (size_t i = 0; i < n && !found; ++i)
      found = p[i] == '"' || p[i] == '\r' || p[i] == '\n' ||
              (FDelimiter.size() == 1 && p[i] == FDelimiter[0]);
  } else {
    for (; n > 8 && !found; p += 8, n -= 8) {
      std::memcpy(&word, p, 8);
      found = holds(word, ~0ULL);
    }
    // The last eight bytes, some of them seen already.
    std::memcpy(&word, value.data() + value.size() - 8, 8);
    found = found || holds(word, ~0ULL);
  }
  return found || (FDelimiter.size() > 1 && HoldsDelimiter(value));
}

bool DelimitedWriter::HoldsDelimiter(std::string_view value) const {
  const std::string& d = FDelimiter;
  // A delimiter of several characters can also form across a value's ends ("xa" before "aa"
  // reads as "x" and "aaa"): the delimiter must be found only where it stands.
  std::string framed = d;
  framed.append(value);
  framed += d;
  return framed.find(d, 1) < d.size() + value.size();
}

// The one place where the locale's character set is applied.
void DelimitedWriter::Flush() {
  std::string& text = FSink.Bytes();
  const std::string_view bytes = FEncoder.Encode(text);
  FTarget.Write(bytes.data(), static_cast<qint64>(bytes.size()));
  text.clear();
}

void DelimitedWriter::Commit() {
  Flush();
  FTarget.Commit();
}
