#include "platform/ado/OdbcText.h"

namespace ado {

QString FromSqlWChar(const SQLWCHAR* text, qsizetype units) {
  return QString(reinterpret_cast<const QChar*>(text), units);
}

std::vector<SQLWCHAR> ToSqlWChar(const QString& text) {
  std::vector<SQLWCHAR> result(static_cast<size_t>(text.size()) + 1, 0);
  const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
  for (qsizetype i = 0; i < text.size(); ++i) result[static_cast<size_t>(i)] = units[i];
  return result;
}

}  // namespace ado

namespace ado {

bool Utf16ToUtf8(const char16_t* units, size_t count, std::string& out) {
  out.resize(count * 3);
  char* o = out.data();
  size_t i = 0;
  while (i < count) {
    const char16_t c = units[i];
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
    } else if (c < 0x800) {
      *o++ = static_cast<char>(0xC0 | (c >> 6));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
      ++i;
    } else if (c < 0xD800 || c > 0xDFFF) {
      *o++ = static_cast<char>(0xE0 | (c >> 12));
      *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
      ++i;
    } else {
      if (c > 0xDBFF || i + 1 >= count || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
        return false;  // an unpaired surrogate has no UTF-8 form
      const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      *o++ = static_cast<char>(0xF0 | (cp >> 18));
      *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *o++ = static_cast<char>(0x80 | (cp & 0x3F));
      i += 2;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return true;
}

}  // namespace ado
