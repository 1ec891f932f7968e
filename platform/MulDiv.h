#pragma once

// a * b / c with the product held in 64 bits, rounded to the nearest integer with an exact half
// going away from zero. -1 when c is 0 or the quotient does not fit a signed 32-bit integer.
int MulDiv(int a, int b, int c);
