#pragma once

#include <QByteArray>
#include <QString>

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

}  // namespace codepage
