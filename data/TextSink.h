#pragma once

#include <QString>

#include <string>
#include <string_view>

// Where the texts of values are written: a QString (AsString, the grid), or the UTF-8 bytes of a
// file (the save, when the character set is UTF-8, so no text is built twice). Both follow one
// set of rules; in UTF-8 an unpaired surrogate becomes "?", as the character set conversion makes
// it.
class TextSink {
 public:
  enum class Encoding { Utf16, Utf8 };
  explicit TextSink(Encoding encoding = Encoding::Utf16) : FEncoding(encoding) {}

  bool IsUtf8() const { return FEncoding == Encoding::Utf8; }

  void Ascii(const char* text, size_t size) {
    if (IsUtf8())
      FBytes.append(text, size);
    else
      FString.append(QLatin1StringView(text, static_cast<qsizetype>(size)));
  }
  void Ascii(std::string_view text) { Ascii(text.data(), text.size()); }
  void Char(char16_t c) {
    if (IsUtf8() && c < 0x80)
      FBytes.push_back(static_cast<char>(c));
    else if (IsUtf8())
      Units(&c, 1);
    else
      FString.append(QChar(c));
  }
  // An ASCII number whose decimal point is written as the separator.
  void Number(const char* text, size_t size, QChar separator);
  // UTF-8 text; bytes that are no UTF-8 reach a file unchanged and a QString as U+FFFD.
  void Utf8(const char* text, size_t size);
  void Units(const char16_t* units, size_t count);
  void Text(const QString& text) {
    Units(reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size()));
  }

  QString& String() { return FString; }
  std::string& Bytes() { return FBytes; }
  size_t Size() const { return IsUtf8() ? FBytes.size() : static_cast<size_t>(FString.size()); }
  QString TakeString() { return std::move(FString); }

 private:
  Encoding FEncoding;
  QString FString;
  std::string FBytes;
};
