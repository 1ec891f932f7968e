#include "base/NumberSyntax.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace numbersyntax {

bool ParseInteger(const char* text, size_t size, qint64& value) {
  if (size == 0 || size > 20) return false;
  const bool negative = text[0] == '-';
  const char* digits = negative ? text + 1 : text;
  const char* end = text + size;
  if (digits == end || (digits[0] == '0' && (end - digits > 1 || negative))) return false;
  // Up to 18 digits cannot overflow; longer ones go the careful way.
  if (end - digits <= 18) {
    qint64 v = 0;
    for (const char* p = digits; p < end; ++p) {
      if (*p < '0' || *p > '9') return false;
      v = v * 10 + (*p - '0');
    }
    value = negative ? -v : v;
    return true;
  }
  for (const char* p = digits; p < end; ++p)
    if (*p < '0' || *p > '9') return false;
  const auto result = std::from_chars(text, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

bool ParseReal(const char* text, size_t size, double& value) {
  const char* end = text + size;
  const char* p = text;
  if (p < end && *p == '-') ++p;
  if (end - p == 3 && std::memcmp(p, "Inf", 3) == 0) {
    value = p == text ? std::numeric_limits<double>::infinity()
                      : -std::numeric_limits<double>::infinity();
    return true;
  }
  // digits "." digits [("e"|"E") [sign] digits]
  const char* q = p;
  while (q < end && *q >= '0' && *q <= '9') ++q;
  if (q == p || q == end || *q != '.') return false;
  const char* fraction = ++q;
  while (q < end && *q >= '0' && *q <= '9') ++q;
  if (q == fraction) return false;
  const char* fractionEnd = q;
  if (q < end) {
    if (*q != 'e' && *q != 'E') return false;
    ++q;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    const char* exponent = q;
    while (q < end && *q >= '0' && *q <= '9') ++q;
    if (q == exponent || q != end) return false;
  }
  // Digits that fit a double exactly, scaled by a power of ten that does too: one correctly
  // rounded division gives the value (the usual fast way to read a decimal).
  if (fractionEnd == end) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    quint64 mantissa = 0;
    int digits = 0;
    for (const char* d = p; d < fractionEnd; ++d) {
      if (*d == '.') continue;
      if (digits > 0 || *d != '0') ++digits;
      mantissa = mantissa * 10 + static_cast<quint64>(*d - '0');
      if (digits > 15) break;
    }
    const long places = fractionEnd - fraction;
    if (digits <= 15 && places <= 22) {
      const double magnitude = static_cast<double>(mantissa) / kPowers[places];
      value = p == text ? magnitude : -magnitude;
      return true;
    }
  }
  const auto result = std::from_chars(text, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace numbersyntax
