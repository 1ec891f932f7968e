#include "base/NumberSyntax.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace numbersyntax {

bool ParseInteger(const char* text, size_t size, qint64& value) {
  if (size == 0 || size > 20) return false;
  const char* digits = text[0] == '-' ? text + 1 : text;
  const char* end = text + size;
  if (digits == end || (digits[0] == '0' && (end - digits > 1 || digits != text))) return false;
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
  if (q < end) {
    if (*q != 'e' && *q != 'E') return false;
    ++q;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    const char* exponent = q;
    while (q < end && *q >= '0' && *q <= '9') ++q;
    if (q == exponent || q != end) return false;
  }
  const auto result = std::from_chars(text, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace numbersyntax
