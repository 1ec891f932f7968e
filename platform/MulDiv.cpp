#include "platform/MulDiv.h"

#include <cstdint>
#include <limits>

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t divisor = c;
  std::int64_t quotient = product / divisor;
  const std::int64_t remainder = product % divisor;
  // |remainder| < |divisor| <= 2^31, so doubling it cannot overflow.
  const std::int64_t twiceRest = remainder < 0 ? -2 * remainder : 2 * remainder;
  const std::int64_t magnitude = divisor < 0 ? -divisor : divisor;
  if (twiceRest >= magnitude) quotient += (product < 0) == (divisor < 0) ? 1 : -1;
  if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) {
    return -1;
  }
  return static_cast<int>(quotient);
}
