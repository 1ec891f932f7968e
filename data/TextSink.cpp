#include "data/TextSink.h"

void TextSink::Number(const char* text, size_t size, QChar separator) {
  if (separator == u'.') {
    Ascii(text, size);
    return;
  }
  for (size_t i = 0; i < size; ++i) {
    if (text[i] == '.')
      Char(separator.unicode());
    else
      FBytes.push_back(text[i]);
  }
}

// Qt's encoder, fast on long texts, writes "?" for an unpaired surrogate.
void TextSink::Units(const char16_t* units, size_t count) {
  const QByteArray utf8 = QStringView(units, static_cast<qsizetype>(count)).toUtf8();
  FBytes.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}
