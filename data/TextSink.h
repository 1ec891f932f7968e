#pragma once

#include <QString>

#include <string>
#include <string_view>

// Where the texts of values are written, as UTF-8 bytes: one text path for the grid and the file.
// The locale's character set is applied only where a text leaves the program (codepage::Encoder
// in the save, codepage::Shown for the grid), so the two show the same. An unpaired surrogate has
// no UTF-8 form and becomes "?"; bytes of a value that are no UTF-8 stay as they are.
//
// The form says which texts the fields write: the user's (regional settings, what the grid shows
// and the plain file holds), or exact ones for programs to read back: "." as decimal point, ISO
// dates and times with the fraction of a second the database holds, reals as their shortest
// round-trip text, "true"/"false", bytes as \x and hexadecimal, text untouched by the character
// set. Which values a field holds, and which stay the database's own text, is the same in both.
class TextSink {
 public:
  enum class Form { Regional, Exact };
  explicit TextSink(Form form = Form::Regional) : FForm(form) {}

  bool IsExact() const { return FForm == Form::Exact; }

  void Ascii(const char* text, size_t size) { FBytes.append(text, size); }
  void Ascii(std::string_view text) { FBytes.append(text); }
  void Char(char16_t c) {
    if (c < 0x80)
      FBytes.push_back(static_cast<char>(c));
    else
      Units(&c, 1);
  }
  // An ASCII number whose decimal point is written as the separator.
  void Number(const char* text, size_t size, QChar separator);
  // UTF-8 text, its bytes as they are.
  void Utf8(const char* text, size_t size) { FBytes.append(text, size); }
  void Units(const char16_t* units, size_t count);
  void Text(const QString& text) {
    Units(reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size()));
  }

  std::string& Bytes() { return FBytes; }
  size_t Size() const { return FBytes.size(); }
  // The text as a QString; bytes that are no UTF-8 become U+FFFD.
  QString TakeString() {
    QString text = QString::fromUtf8(FBytes.data(), static_cast<qsizetype>(FBytes.size()));
    FBytes.clear();
    return text;
  }

 private:
  Form FForm;
  std::string FBytes;
};
