#pragma once

#include <QString>

// The number a text starts with, after leading blanks: "128" gives 128,
// "1500k" gives 1500, "2.5x" gives 2.5, "-3" gives -3; a text that does not
// start with a number gives 0.
double numberValue(const QString &text);

// A number as plain text, without exponent or trailing zeros: 256000, 29.97.
QString plainNumber(double value);
