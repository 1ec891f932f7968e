#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// The character set of the user's locale (nl_langinfo(CODESET)), standing in for the ANSI code
// page; the plain C/POSIX locale counts as UTF-8. A character the set lacks becomes "?";
// nothing fails.
namespace codepage {

// The name of the locale's character set, e.g. "UTF-8" or "ISO-8859-1".
QByteArray Name();
// Whether that character set is UTF-8.
bool IsUtf8();
QByteArray FromUnicode(const QString& text);
QString ToUnicode(const QByteArray& bytes);
// A QString round trip through the character set: what an 8-bit text field keeps of the text.
QString RoundTrip(const QString& text);

// The one way texts leave the program: UTF-8 inside, a character set outside. Encode gives the
// bytes of a UTF-8 text in the set: a character the set lacks, and a byte that is no UTF-8, become
// "?"; for UTF-8 itself the bytes pass unchanged, even those that are no UTF-8, so no value is
// altered on its way to a file.
class Encoder {
 public:
  // For the locale's character set, or the one named.
  Encoder();
  explicit Encoder(const QByteArray& charset);
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  const QByteArray& Charset() const { return FCharset; }
  // The encoded bytes; valid until the next call.
  std::string_view Encode(std::string_view utf8);

 private:
  QByteArray FCharset;
  void* FHandle = nullptr;  // the iconv descriptor; none for UTF-8
  std::string FOut;
};

// What a file holds of a UTF-8 text, read back in the locale's character set: the grid's text,
// so that it shows what a save writes. Bytes that are no UTF-8 show as U+FFFD, as a UTF-8
// reader shows the file's bytes.
QString Shown(std::string_view utf8);

}  // namespace codepage
