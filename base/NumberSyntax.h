#pragma once

#include <QtGlobal>

#include <cstddef>

// The texts in which databases write numbers, recognised strictly: a text is taken as a number
// only where writing the number again gives the same value, so no text is mistaken for one.
namespace numbersyntax {

// "-123", "0": an optional minus and digits without leading zeros, within 64 bits.
bool ParseInteger(const char* text, size_t size, qint64& value);
// "1.5", "-2.0e+20", "Inf": a real as SQLite writes one (a point, an optional exponent), or an
// infinity. False for anything else and for a finite text beyond the range of a double.
bool ParseReal(const char* text, size_t size, double& value);

}  // namespace numbersyntax
