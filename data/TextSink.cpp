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

void TextSink::Units(const char16_t* units, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    char32_t c = units[i];
    if (c < 0x80) {
      FBytes.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      const bool pair =
          c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
      if (!pair) {
        FBytes.push_back('?');
        continue;
      }
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    if (c < 0x800) {
      FBytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
    } else if (c < 0x10000) {
      FBytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      FBytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    } else {
      FBytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
      FBytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      FBytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    }
    FBytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}
