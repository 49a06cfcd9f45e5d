#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

// Number-to-text conversions of the user interface. The decimal separator is a
// parameter: the caller passes the user's regional one ('.' or ',').

// Fixed-point text: the value is rounded to `precision` significant digits (and
// to `decimals` digits after the separator, whichever is coarser) and written with
// exactly `decimals` digits after the separator, a leading minus sign when
// negative and at least one digit before the separator. When the integer part
// needs more than `precision` digits, the general form with `precision`
// significant digits is written instead. A precision below 2 counts as 15.
//   FormatFixed(1234.567, 5, 2, '.') == "1234.60"
std::string FormatFixed(long double value, int precision, int decimals, char separator);

// Fixed-point text rounded to exactly `decimals` digits after the separator,
// however many significant digits that keeps. When the integer part needs more
// than `integerDigits` digits, the general form with `integerDigits`
// significant digits is written instead.
//   FormatFixedDecimals(123456.789f, 5, 10, '.') == "123456.78906"
std::string FormatFixedDecimals(long double value, int decimals, int integerDigits, char separator);

// General text: rounded to at most `precision` significant digits, trailing
// zeros and a bare separator removed. Plain positional form unless the magnitude
// is below 0.0001 or the integer part needs more than `precision` digits; then
// the E form: first digit, separator and remaining digits (if any), 'E', a minus
// sign for a negative exponent and the exponent without leading zeros.
//   FormatGeneral(0.1f, 15, '.') == "0.100000001490116"; 1.5e-5 gives "1.5E-5".
std::string FormatGeneral(long double value, int precision, char separator);

// The general text with the fewest significant digits (at most 9) that reads
// back as the same float: FormatShortestFloat(0.1f, ',') == "0,1".
std::string FormatShortestFloat(float value, char separator);

// The model file's float text: printf's %g with precision 6, always with '.',
// whatever the process locale. 1234567 gives "1.23457e+06".
std::string FormatFileFloat(float value);

// Appends the shortest text that reads back to exactly the same value, with
// '.' whatever the locale (std::to_chars): for files other programs read.
void AppendShortest(std::string& out, float value);
void AppendShortest(std::string& out, std::int64_t value);

// Integer and float parsing of dialog fields. Leading and trailing blanks are
// allowed; anything else that is not part of the number makes the conversion
// fail. Floats accept only the given decimal separator and an optional exponent,
// and fail when the result is not a finite 32-bit float.
std::optional<std::int32_t> ParseInt(std::string_view text);
std::optional<float> ParseFloat(std::string_view text, char separator);

// A coordinate as mesh files write it: one token in C notation (a Fortran
// exponent letter D reads as E), rounded once to the nearest 32-bit float. A
// value too small for a float reads as 0 (values that a float holds only as a
// denormal keep their nearest float); nothing for text that is not a number
// or a value beyond the float range.
std::optional<float> ParseMeshCoordinate(std::string_view token);

}  // namespace qor
