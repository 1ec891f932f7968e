#include "platform/ado/ColumnStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

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
  for (const char* bad : {"", "-", "NaN", "Infinity", "1.2.3", "1e", "12abc", "1e+x"})
    EXPECT_FALSE(ParseDecimal(bad, std::strlen(bad), d)) << bad;
}

TEST(DaysSince1899, FollowsTheClassicDateType) {
  EXPECT_EQ(DaysSince1899(1899, 12, 30, 0), 0.0);
  EXPECT_EQ(DaysSince1899(1900, 1, 1, 0), 2.0);
  EXPECT_EQ(DaysSince1899(2000, 1, 1, 43200), 36526.5);
  EXPECT_EQ(DaysSince1899(2024, 2, 29, 0), 45351.0);
  // Before day zero the fraction counts away from it.
  EXPECT_EQ(DaysSince1899(1899, 12, 29, 21600), -1.25);
  EXPECT_EQ(DaysSince1899(1, 1, 1, 0), -693593.0);
}

TEST(GuidText, IsBracedUpperCaseInFieldOrder) {
  const unsigned char bytes[16] = {0x0c, 0x8b, 0x2f, 0x0e, 0x2b, 0x1a, 0x3d, 0x4c,
                                   0x9e, 0x8f, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6};
  EXPECT_EQ(GuidText(reinterpret_cast<const char*>(bytes)),
            QStringLiteral("{0E2F8B0C-1A2B-4C3D-9E8F-A1B2C3D4E5F6}"));
}

TEST(ColumnStore, VariableValuesKeepTheirBoundariesNullsAndPieces) {
  ColumnStore text(StorageKind::Text);
  const char16_t a[] = u"ab";
  text.AppendUnits(a, 2);
  text.FinishRow();
  text.AppendNull();
  text.FinishRow();  // an empty, non-null value
  text.AppendUnits(a, 1);
  text.AppendUnits(a + 1, 1);  // one value in two pieces
  text.FinishRow();
  ASSERT_EQ(text.RowCount(), 4);
  EXPECT_EQ(text.ValueAt(0).Text, QStringLiteral("ab"));
  EXPECT_TRUE(text.ValueAt(1).IsNull());
  EXPECT_EQ(text.ValueAt(2).kind, Value::Kind::Text);
  EXPECT_TRUE(text.ValueAt(2).Text.isEmpty());
  EXPECT_EQ(text.ValueAt(3).Text, QStringLiteral("ab"));
  EXPECT_TRUE(text.ValueAt(4).IsNull());  // beyond the end

  ColumnStore bytes(StorageKind::Bytes);
  bytes.AppendBytes("\0x\0", 3);
  bytes.FinishRow();
  EXPECT_EQ(bytes.ValueAt(0).Bytes, QByteArray("\0x\0", 3));
}

TEST(ColumnStore, NumbersKeepTheirKindAndExtremes) {
  ColumnStore u(StorageKind::UInt);
  u.AppendUInt(std::numeric_limits<quint64>::max());
  u.AppendUInt(12);
  EXPECT_EQ(u.ValueAt(0).kind, Value::Kind::UInt);
  EXPECT_EQ(u.ValueAt(0).UInt, std::numeric_limits<quint64>::max());
  EXPECT_EQ(u.ValueAt(1).kind, Value::Kind::Int);
  EXPECT_EQ(u.ValueAt(1).Int, 12);

  ColumnStore b(StorageKind::Bool);
  b.AppendInt(1);
  b.AppendNull();
  EXPECT_TRUE(b.ValueAt(0).Bool);
  EXPECT_EQ(b.ValueAt(0).kind, Value::Kind::Bool);
  EXPECT_TRUE(b.ValueAt(1).IsNull());

  ColumnStore d(StorageKind::Timestamp);
  d.AppendDouble(36526.5);
  EXPECT_EQ(d.ValueAt(0).kind, Value::Kind::Date);
  EXPECT_EQ(d.ValueAt(0).Double, 36526.5);

  ColumnStore dec(StorageKind::Decimal);
  dec.AppendBytes("NaN", 3);
  dec.FinishRow();
  dec.AppendBytes("-1.50", 5);
  dec.FinishRow();
  EXPECT_EQ(dec.ValueAt(0).kind, Value::Kind::Text);  // kept as the driver's text
  EXPECT_EQ(dec.ValueAt(0).Text, QStringLiteral("NaN"));
  EXPECT_EQ(dec.ValueAt(1).kind, Value::Kind::Decimal);
  EXPECT_EQ(dec.ValueAt(1).Decimal.Scale, 2);
}
