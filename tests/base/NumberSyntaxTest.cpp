#include "base/NumberSyntax.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

using numbersyntax::ParseInteger;
using numbersyntax::ParseReal;

// Only the texts SQLite writes for its integers and reals count as numbers; anything else stays
// text, so no database text is mistaken for a number and written differently.
TEST(NumberSyntax, RecognisesOnlyTheTextsThatComeBackTheSame) {
  struct Case {
    const char* Text;
    bool Integer;
    bool Real;
  };
  const Case cases[] = {
      {"0", true, false},
      {"-12", true, false},
      {"9223372036854775807", true, false},
      {"-9223372036854775808", true, false},
      {"9223372036854775808", false, false},
      {"007", false, false},
      {"-0", false, false},
      {"+5", false, false},
      {" 12", false, false},
      {"12abc", false, false},
      {"", false, false},
      {"1.5", false, true},
      {"-2.0e+20", false, true},
      {"1.0e-07", false, true},
      {"Inf", false, true},
      {"-Inf", false, true},
      {"1.", false, false},
      {".5", false, false},
      {"1e5", false, false},
      {"1.5e", false, false},
      {"NaN", false, false},
      {"1.79769313486232e+308", false, false},
  };
  for (const Case& c : cases) {
    const size_t size = std::char_traits<char>::length(c.Text);
    qint64 integer;
    double real;
    EXPECT_EQ(ParseInteger(c.Text, size, integer), c.Integer) << c.Text;
    EXPECT_EQ(ParseReal(c.Text, size, real), c.Real) << c.Text;
  }
  qint64 integer = 0;
  ASSERT_TRUE(ParseInteger("-9223372036854775808", 20, integer));
  EXPECT_EQ(integer, std::numeric_limits<qint64>::min());
}

// The quick way for short decimals must read every text to the same double as the exact way.
TEST(NumberSyntax, RealsReadToTheNearestDouble) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    char text[64];
    const int places = static_cast<int>(random() % 20) + 1;
    const auto whole = static_cast<long long>(random() % 100000000);
    const auto fraction = static_cast<unsigned long long>(random() % 10000000000000ULL);
    std::snprintf(text, sizeof text, "%s%lld.%0*llu", random() % 2 ? "-" : "", whole, places,
                  fraction % (places >= 13 ? 10000000000000ULL : 1ULL << (3 * places)));
    const size_t size = std::char_traits<char>::length(text);
    double fast = 0, exact = 0;
    ASSERT_TRUE(ParseReal(text, size, fast)) << text;
    std::from_chars(text, text + size, exact);
    ASSERT_EQ(fast, exact) << text;
  }
}
