#include "data/TextSink.h"

#include "platform/ado/OdbcText.h"

void TextSink::Number(const char* text, size_t size, QChar separator) {
  if (separator == u'.') {
    Ascii(text, size);
    return;
  }
  for (size_t i = 0; i < size; ++i) {
    if (text[i] == '.')
      Char(separator.unicode());
    else if (IsUtf8())
      FBytes.push_back(text[i]);
    else
      FString.append(QLatin1Char(text[i]));
  }
}

void TextSink::Utf8(const char* text, size_t size) {
  if (IsUtf8())
    FBytes.append(text, size);
  else
    FString.append(QString::fromUtf8(text, static_cast<qsizetype>(size)));
}

void TextSink::Units(const char16_t* units, size_t count) {
  if (!IsUtf8()) {
    FString.append(reinterpret_cast<const QChar*>(units), static_cast<qsizetype>(count));
    return;
  }
  thread_local std::string converted;
  if (ado::Utf16ToUtf8(units, count, converted)) {
    FBytes.append(converted);
    return;
  }
  // An unpaired surrogate has no UTF-8 form: "?" in its place, the rest as it is.
  for (size_t i = 0; i < count; ++i) {
    const char16_t c = units[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      ado::Utf16ToUtf8(units + i, 2, converted);
      FBytes.append(converted);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      FBytes.push_back('?');
    } else {
      ado::Utf16ToUtf8(&c, 1, converted);
      FBytes.append(converted);
    }
  }
}
