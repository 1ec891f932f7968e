#include "platform/CodePage.h"

#include <iconv.h>
#include <langinfo.h>

#include <QByteArrayAlgorithms>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <memory>

namespace codepage {

namespace {

// The descriptor that reads the locale's character set, reopened when the set changes.
class Converter {
 public:
  Converter() = default;
  ~Converter() { Reset(); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  iconv_t For(const QByteArray& charset) {
    if (charset != FCharset) {
      Reset();
      FCharset = charset;
      FHandle = iconv_open("UTF-16LE", charset.constData());
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

// The length of the UTF-8 character that begins the bytes; 0 when they begin with no character.
size_t Utf8Length(const char* text, size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  size_t length = 0;
  char32_t least = 0;
  if (p[0] < 0x80) return 1;
  if ((p[0] & 0xE0) == 0xC0) {
    length = 2;
    least = 0x80;
  } else if ((p[0] & 0xF0) == 0xE0) {
    length = 3;
    least = 0x800;
  } else if ((p[0] & 0xF8) == 0xF0) {
    length = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (size < length) return 0;
  char32_t c = p[0] & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  return c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0 : length;
}

bool IsAscii(const QByteArray& bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The encoder of the locale's character set, made again when the set changes.
Encoder& LocaleEncoder();

}  // namespace

QByteArray Name() {
  return QByteArray(CharsetName());
}

bool IsUtf8() {
  return IsUtf8(CharsetName());
}

QByteArray FromUnicode(const QString& text) {
  const QByteArray utf8 = ReplaceLoneSurrogates(text).toUtf8();
  const std::string_view bytes =
      LocaleEncoder().Encode(std::string_view(utf8.constData(), utf8.size()));
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString ToUnicode(const QByteArray& bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes);
  if (IsUtf8(CharsetName())) {
    // Qt's decoder marks broken sequences with U+FFFD; the code page's rule is "?".
    QString text = QString::fromUtf8(bytes);
    if (!bytes.contains("\xEF\xBF\xBD")) text.replace(QChar(0xFFFD), u'?');
    return text;
  }
  thread_local Converter converter;
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

Encoder::Encoder() : Encoder(Name()) {}

Encoder::Encoder(const QByteArray& charset) : FCharset(charset) {
  if (IsUtf8(charset.constData())) return;
  iconv_t cd = iconv_open(charset.constData(), "UTF-8");
  // A set iconv does not know: its first 256 characters are Latin-1's, as a guess goes.
  if (cd == Converter::kInvalid) cd = iconv_open("ISO-8859-1", "UTF-8");
  if (cd != Converter::kInvalid) FHandle = cd;
}

Encoder::~Encoder() {
  if (FHandle) iconv_close(static_cast<iconv_t>(FHandle));
}

std::string_view Encoder::Encode(std::string_view utf8) {
  if (!FHandle) return utf8;
  iconv_t cd = static_cast<iconv_t>(FHandle);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const char* in = utf8.data();
  size_t inLeft = utf8.size();
  // A character takes no more bytes in the locale's sets than in UTF-8, but for a few in GB18030.
  FOut.resize(inLeft + inLeft / 2 + 16);
  size_t used = 0;
  while (inLeft > 0) {
    char* inPtr = const_cast<char*>(in);
    char* outPtr = FOut.data() + used;
    size_t outLeft = FOut.size() - used;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = static_cast<size_t>(outPtr - FOut.data());
    in = inPtr;
    if (rc != static_cast<size_t>(-1)) break;
    const bool full = errno == E2BIG;
    if (full || used == FOut.size()) FOut.resize(FOut.size() * 2);
    if (full) continue;
    // A character the set lacks, or bytes that are no UTF-8: "?" in its place, then go on.
    FOut[used++] = '?';
    const size_t skip = std::max<size_t>(1, Utf8Length(in, inLeft));
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return std::string_view(FOut.data(), used);
}

QString Shown(std::string_view utf8) {
  const char* name = CharsetName();
  if (IsUtf8(name)) return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  const std::string_view bytes = LocaleEncoder().Encode(utf8);
  return ToUnicode(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

namespace {

Encoder& LocaleEncoder() {
  thread_local std::unique_ptr<Encoder> encoder;
  const char* name = CharsetName();
  if (!encoder || encoder->Charset() != name) encoder = std::make_unique<Encoder>(QByteArray(name));
  return *encoder;
}

}  // namespace

}  // namespace codepage
