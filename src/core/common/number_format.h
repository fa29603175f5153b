#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvar {

// Fixed-point text "W:D": rounded to `decimals` decimals, right-aligned in
// `width` characters; the field grows when the number needs more room. A value
// that rounds to zero carries no minus sign. Files never receive nan or inf:
// a value that is not finite is written as "missing".
std::string fixed(double value, int width, int decimals);
// The same, appended to `out` without a temporary string.
void appendFixed(std::string& out, double value, int width, int decimals);

// Right-aligns (padLeft) or left-aligns (padRight) a text in `width`
// characters; a longer text is kept whole.
std::string padLeft(std::string_view text, int width);
std::string padRight(std::string_view text, int width);

// An integer right-aligned in `width` characters.
std::string integerText(long long value, int width = 0);

// Round to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);
// The same as an integer; values beyond the 64-bit range are clamped.
std::int64_t roundToInteger(double value);
// The same clamped to the range of int (pixel positions of pictures drawn from
// any data); not-a-number gives 0.
int roundToInt(double value);

// A text converts only when all of it, after leading blanks, is a decimal
// number (point as decimal separator, optional sign and exponent). Infinity,
// not-a-number and out-of-range values do not convert.
std::optional<double> parseReal(std::string_view text);
std::optional<std::int64_t> parseInteger(std::string_view text);

// The whole number at the start of a line ("25 observations"), leading blanks
// skipped, the rest of the line ignored; empty when the line does not start
// with one.
std::optional<std::int64_t> leadingInteger(std::string_view line);

// Skips leading blanks (U+0020 only).
std::string_view skipBlanks(std::string_view text);

}  // namespace tolvar
