#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

// Number conversions with the rules the stored data and the old arithmetic rely on:
// conversions to whole numbers round half to even and raise Overflow (6) when the
// result does not fit; floor rounds down; number text always uses "." as separator.
namespace kelvane::conv {

// Half-to-even rounding to 16 and 32 bits; non-finite or out-of-range values raise Overflow.
qint16 toInt16(double value);
qint32 toInt32(double value);

// Checked 16-bit and 32-bit arithmetic (Overflow on wrap).
qint16 add16(qint16 a, qint16 b);
qint32 add32(qint32 a, qint32 b);

// The largest whole number not greater than the value (no range check).
double floorWhole(double value);

// Raises Overflow when the value is NaN or infinite; returns it otherwise.
double checkFinite(double value);

// The leading-number scan: skips blanks, tabs and line breaks, then reads an optional
// sign, digits with one ".", an optional exponent (E or D), and "&H"/"&O" prefixes
// (read in two's complement: "&HFFFF" is -1, "&H8000000F" is -2147483633);
// stops at the first character that does not fit. Text without a number gives 0.
double leadingNumber(QStringView text);

// Strict conversion of a whole text to a number (blanks around allowed, "." only);
// raises TypeMismatch (13) when the text is not a number.
double toDouble(QStringView text);

// A text as a truth value: "True" or "False" in any letter case (blanks around allowed),
// else a number that is true unless 0; raises TypeMismatch (13) for any other text.
bool toBoolean(QStringView text);

// Shortest text that reads back as the same double, "." as separator, no exponent for
// ordinary magnitudes, no trailing zeros ("0.5", "1", "-0.25", "1E-20").
QString numberText(double value);

// The general conversion of a double to text as stored documents write it: at most 15
// significant digits, no digit grouping, "." as separator, exponent form outside
// 1E-05 <= |value| < 1E+15 ("0.3", "1E-05", "1.5E+20"). Non-finite values raise Overflow.
QString generalNumberText(double value);

} // namespace kelvane::conv
