#include "base/Exceptions.h"
#include "data/NumberText.h"
#include "tests/support/FakeAdo.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using numbertext::General;

namespace {

QString Dec(const QString& text, QChar sep = u'.') {
  return numbertext::Decimal(fakeado::DecimalDigits(text), sep);
}

}  // namespace

TEST(GeneralNumberFormat, DocumentedExamples) {
  EXPECT_EQ(General(0.1, u'.'), "0.1");
  EXPECT_EQ(General(100, u'.'), "100");
  EXPECT_EQ(General(1.0 / 3.0, u'.'), "0.333333333333333");
  EXPECT_EQ(General(0.0001, u'.'), "0.0001");
  EXPECT_EQ(General(0.00001, u'.'), "1E-5");
  EXPECT_EQ(General(1e15, u'.'), "1E15");
  EXPECT_EQ(General(123456789012345.0, u'.'), "123456789012345");
  EXPECT_EQ(General(-2.5, u'.'), "-2.5");
  EXPECT_EQ(General(1.5e-7, u'.'), "1.5E-7");
}

TEST(GeneralNumberFormat, SpecialValuesAndBoundaries) {
  EXPECT_EQ(General(0.0, u'.'), "0");
  EXPECT_EQ(General(-0.0, u'.'), "0");
  EXPECT_EQ(General(std::numeric_limits<double>::infinity(), u'.'), "INF");
  EXPECT_EQ(General(-std::numeric_limits<double>::infinity(), u'.'), "-INF");
  EXPECT_EQ(General(std::nan(""), u'.'), "NAN");
  // e = 15 is still fixed, e = 16 is scientific.
  EXPECT_EQ(General(999999999999999.0, u'.'), "999999999999999");
  EXPECT_EQ(General(1234567890123456.0, u'.'), "1.23456789012346E15");
  EXPECT_EQ(General(0.001, u'.'), "0.001");
  EXPECT_EQ(General(0.000123, u'.'), "0.000123");
  EXPECT_EQ(General(1e100, u'.'), "1E100");
  EXPECT_EQ(General(-1.25e-300, u'.'), "-1.25E-300");
  // A subnormal double is coarser than 15 digits: its 15-digit rounding, not its shortest text.
  EXPECT_EQ(General(5e-324, u'.'), "4.94065645841247E-324");
  // Rounding to 15 digits carries into a new leading digit.
  EXPECT_EQ(General(9.9999999999999999, u'.'), "10");
  EXPECT_EQ(General(0.1 + 0.2, u'.'), "0.3");
}

// Every way to the text (short decimals, the shortest text that reads back, rounding to 15
// digits) must give the value rounded to 15 significant digits, written without trailing zeros.
TEST(GeneralNumberFormat, AgreesWithRoundingToFifteenDigitsEverywhere) {
  std::mt19937_64 random(20261209);
  for (int i = 0; i < 200000; ++i) {
    double value = std::bit_cast<double>(random());
    if (i % 2 == 1) {  // a decimal of a few places, as stored reals mostly are
      static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
      value = static_cast<double>(static_cast<qint64>(random() % 10000000000000000ULL)) /
              kPowers[random() % 10] * (random() % 2 ? 1 : -1);
    }
    if (!std::isfinite(value) || value == 0) continue;
    char buffer[40];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const double rounded = std::strtod(std::string(buffer, r.ptr).c_str(), nullptr);
    const QString text = General(value, u'.');
    ASSERT_EQ(text.toDouble(), rounded) << buffer << " " << text.toStdString();
    const QString mantissa = text.section(u'E', 0, 0);
    ASSERT_FALSE(mantissa.contains(u'.') && mantissa.endsWith(u'0')) << text.toStdString();
    qsizetype digits = 0;
    for (const QChar c : mantissa.mid(mantissa.indexOf(QRegularExpression("[1-9]"))))
      digits += c.isDigit();
    ASSERT_LE(digits, 15) << text.toStdString();
  }
}

TEST(GeneralNumberFormat, UsesTheGivenSeparator) {
  EXPECT_EQ(General(1.5, u','), "1,5");
  EXPECT_EQ(General(1.5e-7, u','), "1,5E-7");
  EXPECT_EQ(General(100, u','), "100");
}

TEST(FixedPointText, DropsTrailingZerosAndKeepsSign) {
  using numbertext::FixedPoint;
  EXPECT_EQ(FixedPoint(125000, u'.'), "12.5");
  EXPECT_EQ(FixedPoint(1000000, u'.'), "100");
  EXPECT_EQ(FixedPoint(1, u'.'), "0.0001");
  EXPECT_EQ(FixedPoint(-2500, u'.'), "-0.25");
  EXPECT_EQ(FixedPoint(0, u'.'), "0");
  EXPECT_EQ(FixedPoint(12345, u','), "1,2345");
  EXPECT_EQ(FixedPoint(std::numeric_limits<qint64>::min(), u'.'), "-922337203685477.5808");
  EXPECT_EQ(FixedPoint(std::numeric_limits<qint64>::max(), u'.'), "922337203685477.5807");
}

TEST(DecimalText, KeepsTheDeliveredDigits) {
  EXPECT_EQ(Dec("00012.3400"), "12.34");
  EXPECT_EQ(Dec("0.000"), "0");
  EXPECT_EQ(Dec("-0.000"), "0");
  EXPECT_EQ(Dec("-0.05"), "-0.05");
  EXPECT_EQ(Dec("100"), "100");
  EXPECT_EQ(Dec("100.00"), "100");
  EXPECT_EQ(Dec(".5"), "0.5");
  EXPECT_EQ(Dec("3.25", u','), "3,25");
  // More digits after the point than a column's declared scale: nothing is lost.
  EXPECT_EQ(Dec("1.123456789012345678901234567890"), "1.12345678901234567890123456789");
  // A scale larger than the digits means leading fraction zeros.
  ado::DecimalValue small;
  small.Digits = "5";
  small.Scale = 3;
  EXPECT_EQ(numbertext::Decimal(small, u'.'), "0.005");
}

TEST(DecimalText, EveryDigitIsWrittenWhateverTheCount) {
  const QString digits100(100, u'9');
  EXPECT_EQ(Dec(digits100), digits100);
  EXPECT_EQ(Dec(QStringLiteral("000") + digits100), digits100);  // leading zeros do not count
  EXPECT_EQ(Dec(QStringLiteral("-0.") + QString(80, u'1')),
            QStringLiteral("-0.") + QString(80, u'1'));
}

TEST(IntegerText, FullSixtyFourBitRange) {
  EXPECT_EQ(numbertext::Integer(std::numeric_limits<qint64>::min()), "-9223372036854775808");
  EXPECT_EQ(numbertext::Unsigned(std::numeric_limits<quint64>::max()), "18446744073709551615");
  EXPECT_EQ(numbertext::Integer(0), "0");
}
