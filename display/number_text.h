// Number texts: a value written with fixed decimals for a box, and a typed text read back.
#pragma once

#include <QString>

// x with `decimals` decimals (halves away from zero, after an 18-significant-digit expansion,
// so a Double a rounding step off a short decimal shows that decimal), padded on the left
// with blanks to `width` characters and never cut. Exponent form from 1e36.
QString FormatFixed(double x, int width, int decimals);

// Trailing zeros after the point removed, and the point too if nothing follows it.
QString TrimZeros(const QString &text);

// The typed text as the nearest Double. Blanks around the number and full-width digits,
// point and signs are accepted; an empty text or a lone point reads 0; any other malformed
// text reads NaN, which equals no expected value. Never an error.
double ReadNumber(const QString &text);
