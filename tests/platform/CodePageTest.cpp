#include "platform/CodePage.h"
#include "tests/support/ScopedValue.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

// The process's character set for one test.
class CharsetGuard : public ScopedLocale {
 public:
  explicit CharsetGuard(const char* locale) : ScopedLocale(LC_CTYPE, locale) {}
};

}  // namespace

TEST(CodePage, Utf8KeepsEveryCharacter) {
  CharsetGuard g("C.UTF-8");
  ASSERT_TRUE(g.Active());
  EXPECT_EQ(codepage::Name(), "UTF-8");
  const QString text = QString::fromUtf8("Grüße € 😀 中文");
  EXPECT_EQ(codepage::RoundTrip(text), text);
  EXPECT_EQ(codepage::FromUnicode(text), text.toUtf8());
  EXPECT_EQ(codepage::ToUnicode(text.toUtf8()), text);
}

TEST(CodePage, Utf8ReplacesWhatItCannotHold) {
  CharsetGuard g("C.UTF-8");
  ASSERT_TRUE(g.Active());
  QString lone = QStringLiteral("a");
  lone += QChar(0xD800);
  lone += u'b';
  EXPECT_EQ(codepage::RoundTrip(lone), "a?b");
  EXPECT_EQ(codepage::FromUnicode(lone), "a?b");
  EXPECT_EQ(codepage::ToUnicode(QByteArray("x\xFFy")), "x?y");
}

TEST(CodePage, Latin1ReplacesMissingCharactersWithQuestionMarks) {
  CharsetGuard g("de_DE.iso88591");
  if (!g.Active()) GTEST_SKIP() << "de_DE.iso88591 not installed";
  EXPECT_EQ(codepage::Name(), "ISO-8859-1");
  const QString text = QString::fromUtf8("Grüße € 😀!");
  EXPECT_EQ(codepage::RoundTrip(text), QString::fromUtf8("Grüße ? ?!"));
  EXPECT_EQ(codepage::FromUnicode(QString::fromUtf8("ü")), QByteArray("\xFC"));
  EXPECT_EQ(codepage::ToUnicode(QByteArray("\xE4\xF6")), QString::fromUtf8("äö"));
  // Longer than one conversion buffer.
  const QString longText = QString(1000, QChar(0xFC)) + QChar(0x20AC);
  EXPECT_EQ(codepage::RoundTrip(longText), QString(1000, QChar(0xFC)) + u'?');
}

// The plain C locale of a fresh machine would make every non-ASCII character "?".
TEST(CodePage, PlainLocaleCountsAsUtf8) {
  for (const char* locale : {"C", "POSIX"}) {
    CharsetGuard g(locale);
    ASSERT_TRUE(g.Active());
    EXPECT_TRUE(codepage::IsUtf8());
    EXPECT_EQ(codepage::RoundTrip(QString::fromUtf8("aé€")), QString::fromUtf8("aé€"));
    EXPECT_EQ(codepage::FromUnicode(QString::fromUtf8("é")), QByteArray("\xC3\xA9"));
  }
}

// The save's edge: UTF-8 in, the set's bytes out. A character the set lacks and each byte that is
// no UTF-8 become "?"; UTF-8 passes unchanged; an output longer than the input (GB18030 writes
// U+0080 in four bytes) grows as it must.
TEST(CodePage, EncoderWritesTheSetsBytes) {
  std::string wide, wideExpected;
  for (int i = 0; i < 3000; ++i) {
    wide += "\xc2\x80";
    wideExpected += "\x81\x30\x81\x30";
  }
  const struct {
    const char* Charset;
    std::string Utf8;
    std::string Expected;
  } cases[] = {
      {"UTF-8", "a\xff\xc3\xa9", "a\xff\xc3\xa9"},
      {"ISO-8859-1", "caf\xc3\xa9 \xe2\x82\xac", "caf\xe9 ?"},
      {"ISO-8859-1",
       "\xf0\x9f\x98\x80|\xe2\x82x|a\xff"
       "b\xc3",
       "?|??x|a?b?"},
      {"GB18030", wide + "\xe2\x82\xac", wideExpected + "\xa2\xe3"},
  };
  for (const auto& c : cases) {
    codepage::Encoder encoder{QByteArray(c.Charset)};
    EXPECT_EQ(encoder.Encode(c.Utf8), c.Expected) << c.Charset;
    EXPECT_EQ(encoder.Encode("ok"), "ok") << c.Charset;  // nothing left from the last text
  }
}
