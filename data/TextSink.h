#pragma once

#include <QString>

#include <string>
#include <string_view>

// Where the texts of values are written: a QString (AsString, the grid), or the UTF-8 bytes of a
// file (the save, when the character set is UTF-8, so no text is built twice). Both follow one
// set of rules; in UTF-8 an unpaired surrogate becomes "?", as the character set conversion makes
// it.
//
// The form says which texts the fields write: the user's (regional settings, what the grid shows
// and the plain file holds), or exact ones for programs to read back: "." as decimal point, ISO
// dates and times with the fraction of a second the database holds, reals as their shortest
// round-trip text, "true"/"false", bytes as \x and hexadecimal, text untouched by the character
// set. Which values a field holds, and which stay the database's own text, is the same in both.
class TextSink {
 public:
  enum class Encoding { Utf16, Utf8 };
  enum class Form { Regional, Exact };
  explicit TextSink(Encoding encoding = Encoding::Utf16, Form form = Form::Regional)
      : FEncoding(encoding), FForm(form) {}

  bool IsUtf8() const { return FEncoding == Encoding::Utf8; }
  bool IsExact() const { return FForm == Form::Exact; }

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
  Form FForm;
  QString FString;
  std::string FBytes;
};
