#include "platform/ado/ColumnStore.h"
#include "tests/support/ScopedBudget.h"
#include "tests/support/UnnamedFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace ado;

namespace {

DecimalValue Parse(const char* text) {
  DecimalValue d;
  EXPECT_TRUE(ParseDecimal(text, std::strlen(text), d)) << text;
  return d;
}

}  // namespace

TEST(ParseDecimal, KeepsEveryDigitSignAndScale) {
  const DecimalValue big = Parse("-1234567890123456789012345.12345");
  EXPECT_TRUE(big.Negative);
  EXPECT_EQ(big.Digits, QByteArray("123456789012345678901234512345"));
  EXPECT_EQ(big.Scale, 5);
  const DecimalValue small = Parse("0.00100");
  EXPECT_FALSE(small.Negative);
  EXPECT_EQ(small.Digits, QByteArray("000100"));
  EXPECT_EQ(small.Scale, 5);
  EXPECT_EQ(Parse(".5").Scale, 1);
  EXPECT_EQ(Parse("+7").Digits, QByteArray("7"));
  EXPECT_EQ(Parse(" 42 ").Digits, QByteArray("42"));
  const DecimalValue comma = Parse("1,50");
  EXPECT_EQ(comma.Digits, QByteArray("150"));
  EXPECT_EQ(comma.Scale, 2);
}

TEST(ParseDecimal, ExponentsShiftTheScale) {
  const DecimalValue up = Parse("1.5E+3");
  EXPECT_EQ(up.Digits, QByteArray("1500"));
  EXPECT_EQ(up.Scale, 0);
  const DecimalValue down = Parse("-25e-4");
  EXPECT_TRUE(down.Negative);
  EXPECT_EQ(down.Digits, QByteArray("25"));
  EXPECT_EQ(down.Scale, 4);
}

TEST(ParseDecimal, RejectsWhatIsNoNumber) {
  DecimalValue d;
  for (const char* bad : {"", "-", "NaN", "Infinity", "1.2.3", "1,2.3", "1e", "12abc", "1e+x"})
    EXPECT_FALSE(ParseDecimal(bad, std::strlen(bad), d)) << bad;
}

TEST(GuidText, IsBracedUpperCaseInFieldOrder) {
  const unsigned char bytes[16] = {0x0c, 0x8b, 0x2f, 0x0e, 0x2b, 0x1a, 0x3d, 0x4c,
                                   0x9e, 0x8f, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6};
  EXPECT_EQ(GuidText(reinterpret_cast<const char*>(bytes)),
            QStringLiteral("{0E2F8B0C-1A2B-4C3D-9E8F-A1B2C3D4E5F6}"));
}

namespace {

QString ValueText(const ValueRef& v) {
  return v.kind == Value::Kind::Text ? v.TextString() : QString();
}

}  // namespace

TEST(ColumnStore, KeepsEveryKindWithItsExtremesAndBoundaries) {
  ResultMemory memory;
  ColumnStore store(memory);
  const char16_t lone[] = {u'a', 0xD800, u'b'};
  store.AppendInt(std::numeric_limits<qint64>::min());
  store.AppendUInt(std::numeric_limits<quint64>::max());
  store.AppendDouble(-0.0);
  store.AppendBool(true);
  store.AppendNull();
  store.AppendUtf8("", 0);  // empty, not null
  store.AppendUtf16(u"\u00e9\U0001F600", 3);
  store.AppendUtf16(lone, 3);  // no UTF-8 form: kept as UTF-16
  store.AppendBytes("\0x\0", 3);
  ASSERT_EQ(store.RowCount(), 9);
  EXPECT_EQ(store.Peek(0).Int, std::numeric_limits<qint64>::min());
  EXPECT_EQ(store.Peek(1).UInt, std::numeric_limits<quint64>::max());
  EXPECT_TRUE(std::signbit(store.Peek(2).Double));
  EXPECT_EQ(store.Peek(3).kind, Value::Kind::Bool);
  EXPECT_TRUE(store.Peek(4).IsNull());
  EXPECT_EQ(store.Peek(5).kind, Value::Kind::Text);
  EXPECT_EQ(store.Peek(5).Size, 0);
  EXPECT_EQ(ValueText(store.Peek(6)), QString::fromUtf8("\xC3\xA9\xF0\x9F\x98\x80"));
  EXPECT_FALSE(store.Peek(6).Wide);
  EXPECT_TRUE(store.Peek(7).Wide);
  EXPECT_EQ(ValueText(store.Peek(7)), QString(reinterpret_cast<const QChar*>(lone), 3));
  EXPECT_EQ(store.Peek(8).ByteArray(), QByteArray("\0x\0", 3));
  EXPECT_TRUE(store.Peek(9).IsNull());  // beyond the end
}

// Past its memory budget a result keeps its chunks in an unnamed temporary file; every value
// reads back the same, in any order, and the file goes with the result.
TEST(ColumnStore, PagesPastTheBudgetAndLeavesNoFileBehind) {
  const int filesBefore = UnnamedFiles();
  {
    const ScopedRestore budget = ScopedBudget(64 * 1024);
    ResultMemory memory;
    ColumnStore numbers(memory);
    ColumnStore texts(memory);
    constexpr qint64 kRows = 400000;
    const std::string huge(3 << 20, 'h');  // bigger than a chunk
    for (qint64 i = 0; i < kRows; ++i) {
      numbers.AppendInt(i * 7);
      const std::string text = i == 1234 ? huge : "row " + std::to_string(i);
      texts.AppendUtf8(text.data(), text.size());
    }
    EXPECT_LT(memory.InMemory, size_t{8} << 20);
    EXPECT_GT(UnnamedFiles(), filesBefore);
    for (qint64 i : {qint64(0), kRows - 1, qint64(1234), qint64(200000), qint64(5), kRows / 2}) {
      EXPECT_EQ(numbers.Peek(i).Int, i * 7);
      const ValueRef t = texts.Peek(i);
      EXPECT_EQ(std::string(t.Data, static_cast<size_t>(t.Size)),
                i == 1234 ? huge : "row " + std::to_string(i));
    }
    for (qint64 i = 0; i < kRows; ++i) ASSERT_EQ(numbers.Peek(i).Int, i * 7);
  }
  EXPECT_EQ(UnnamedFiles(), filesBefore);
}
