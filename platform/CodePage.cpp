#include "platform/CodePage.h"

#include <iconv.h>
#include <langinfo.h>

#include <QByteArrayAlgorithms>
#include <cerrno>
#include <clocale>
#include <cstring>

namespace codepage {

namespace {

// One conversion descriptor per direction, reopened when the locale's character set changes.
class Converter {
 public:
  explicit Converter(bool toUnicode) : FToUnicode(toUnicode) {}
  ~Converter() { Reset(); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  iconv_t For(const QByteArray& charset) {
    if (charset != FCharset) {
      Reset();
      FCharset = charset;
      FHandle = FToUnicode ? iconv_open("UTF-16LE", charset.constData())
                           : iconv_open(charset.constData(), "UTF-16LE");
    }
    if (FHandle != kInvalid) iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    return FHandle;
  }

  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

 private:
  void Reset() {
    if (FHandle != kInvalid) iconv_close(FHandle);
    FHandle = kInvalid;
  }
  bool FToUnicode;
  QByteArray FCharset;
  iconv_t FHandle = kInvalid;
};

// The plain C/POSIX locale (no regional settings chosen, as on a fresh machine or a server)
// counts as UTF-8, as Qt treats it: its ASCII would turn every other character into "?".
bool IsPlainLocale() {
  const char* name = std::setlocale(LC_CTYPE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

const char* CharsetName() {
  if (IsPlainLocale()) return "UTF-8";
  const char* name = nl_langinfo(CODESET);
  return name && *name ? name : "UTF-8";
}

// Asked on every value, so without building a byte array.
bool IsUtf8(const char* name) {
  return qstricmp(name, "UTF-8") == 0 || qstricmp(name, "UTF8") == 0;
}

// Unpaired surrogates are the only UTF-16 content UTF-8 cannot hold.
QString ReplaceLoneSurrogates(const QString& text) {
  const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
  const qsizetype n = text.size();
  qsizetype i = 0;
  for (; i < n; ++i) {
    const char16_t c = p[i];
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    break;
  }
  if (i == n) return text;
  QString result = text;
  for (qsizetype j = i; j < n; ++j) {
    const char16_t c = result.at(j).unicode();
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (c <= 0xDBFF && j + 1 < n && result.at(j + 1).unicode() >= 0xDC00 &&
        result.at(j + 1).unicode() <= 0xDFFF) {
      ++j;
      continue;
    }
    result[j] = u'?';
  }
  return result;
}

bool IsAscii(const QByteArray& bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

QByteArray Name() {
  return QByteArray(CharsetName());
}

bool IsUtf8() {
  return IsUtf8(CharsetName());
}

QByteArray FromUnicode(const QString& text) {
  if (IsUtf8(CharsetName())) return ReplaceLoneSurrogates(text).toUtf8();
  const QByteArray charset = Name();
  static Converter converter(false);
  iconv_t cd = converter.For(charset);
  if (cd == Converter::kInvalid) return text.toLatin1();

  QByteArray out;
  out.reserve(text.size());
  char buffer[256];
  const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
  qsizetype pos = 0;
  const qsizetype n = text.size();
  while (pos < n) {
    char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(units + pos));
    size_t inLeft = static_cast<size_t>(n - pos) * 2;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
    pos = n - static_cast<qsizetype>(inLeft / 2);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character the set lacks (or a broken surrogate): "?" in its place, then go on.
      out.append('?');
      const bool pair = pos + 1 < n && units[pos] >= 0xD800 && units[pos] <= 0xDBFF &&
                        units[pos + 1] >= 0xDC00 && units[pos + 1] <= 0xDFFF;
      pos += pair ? 2 : 1;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

QString ToUnicode(const QByteArray& bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes);
  if (IsUtf8(CharsetName())) {
    // Qt's decoder marks broken sequences with U+FFFD; the code page's rule is "?".
    QString text = QString::fromUtf8(bytes);
    if (!bytes.contains("\xEF\xBF\xBD")) text.replace(QChar(0xFFFD), u'?');
    return text;
  }
  static Converter converter(true);
  iconv_t cd = converter.For(Name());
  if (cd == Converter::kInvalid) return QString::fromLatin1(bytes);

  QString out;
  out.reserve(bytes.size());
  char16_t buffer[256];
  qsizetype pos = 0;
  const qsizetype n = bytes.size();
  while (pos < n) {
    char* inPtr = const_cast<char*>(bytes.constData() + pos);
    size_t inLeft = static_cast<size_t>(n - pos);
    char* outPtr = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(reinterpret_cast<const QChar*>(buffer),
               static_cast<qsizetype>((outPtr - reinterpret_cast<char*>(buffer)) / 2));
    pos = n - static_cast<qsizetype>(inLeft);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      out.append(u'?');
      ++pos;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

QString RoundTrip(const QString& text) {
  if (IsUtf8(CharsetName())) return ReplaceLoneSurrogates(text);
  return ToUnicode(FromUnicode(text));
}

}  // namespace codepage
