// Number texts: a value written with fixed decimals for a box, and a typed text read back.
#pragma once

#include <QString>

// x with `decimals` (0..40) decimals, padded on the left with blanks to `width` characters
// (at most 255) and never cut. The magnitude is first expanded to 18 significant digits, and
// that expansion is rounded with halves away from zero, so a Double a rounding step off a short
// decimal shows that decimal: 7.000000000000001 -> "7.00", 0.125 -> "0.13". A minus sign for
// negative x, at least one whole digit, no point for 0 decimals. From 1e36 on, the 18 digits in
// exponent form whatever the decimals ("1.00000000000000004E+36"); NaN is "NAN", infinities
// "INF" and "-INF".
QString FormatFixed(double x, int width, int decimals);

// Trailing zeros after the point removed, and the point too if nothing follows it; a text
// without a point, and the blanks in front, stay as they are.
QString TrimZeros(const QString &text);

// The typed text as the nearest Double: blanks, an optional sign, digits with at most one point
// (no digits at all is 0), an optional exponent (e or E, optional sign, digits), blanks. Blanks
// are the space and the ideographic blank, not tabs; full-width digits, point and signs read as
// their ASCII forms. An empty text reads 0, too large a number ±infinity, too small one 0.
// Anything else (a letter, a second point, a sign or exponent letter with nothing after it,
// nothing but blanks) reads NaN, which equals no expected value. Never an error.
double ReadNumber(const QString &text);
