#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace qor {
namespace {

// A finite value as decimal digits: |value| = 0.d1 d2 d3 ... × 10^exponent,
// with no leading or trailing zeros in `digits` (empty for zero).
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

DecimalDigits ToDecimal(long double value) {
  DecimalDigits d;
  if (value == 0 || !std::isfinite(value)) return d;
  d.negative = value < 0;
  // 36 significant digits are far more than a long double holds, so rounding
  // decisions below see the exact expansion for every value this program shows.
  char buf[80];
  std::snprintf(buf, sizeof buf, "%.35Le", std::fabs(value));
  // "d.ddd...e±XX"; the point may be a comma under the process locale, so it is
  // skipped by position rather than by character.
  const char* p = buf;
  while (*p && *p != 'e') {
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    ++p;
  }
  int exp10 = 0;
  if (*p == 'e') exp10 = std::atoi(p + 1);
  d.exponent = exp10 + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Rounds to `count` significant digits, halves away from zero.
void RoundDigits(DecimalDigits& d, int count) {
  if (d.digits.empty() || count >= static_cast<int>(d.digits.size())) return;
  if (count < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[count] >= '5';
  d.digits.resize(count);
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

int EffectivePrecision(int precision) {
  if (precision < 2) return 15;
  return precision > 18 ? 18 : precision;
}

char DigitAt(const DecimalDigits& d, int index) {
  return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
}

std::string ExponentForm(const DecimalDigits& d, char separator) {
  std::string s = d.negative ? "-" : "";
  s += d.digits[0];
  if (d.digits.size() > 1) {
    s += separator;
    s.append(d.digits, 1, std::string::npos);
  }
  s += 'E';
  s += std::to_string(d.exponent - 1);
  return s;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatGeneral(long double value, int precision, char separator) {
  precision = EffectivePrecision(precision);
  DecimalDigits d = ToDecimal(value);
  RoundDigits(d, precision);
  if (d.digits.empty()) return "0";
  if (d.exponent > precision || d.exponent < -3) return ExponentForm(d, separator);

  std::string s = d.negative ? "-" : "";
  const int count = static_cast<int>(d.digits.size());
  if (d.exponent <= 0) {
    s += '0';
    s += separator;
    s.append(-d.exponent, '0');
    s += d.digits;
    return s;
  }
  for (int i = 0; i < d.exponent; ++i) s += DigitAt(d, i);
  if (count > d.exponent) {
    s += separator;
    s.append(d.digits, d.exponent, std::string::npos);
  }
  return s;
}

std::string FormatShortestFloat(float value, char separator) {
  // Nine significant digits always give a float back exactly.
  for (int precision = 2; precision < 9; ++precision) {
    std::string text = FormatGeneral(value, precision, separator);
    if (ParseFloat(text, separator) == value) return text;
  }
  return FormatGeneral(value, 9, separator);
}

namespace {

int ClampDecimals(int decimals) { return decimals < 0 ? 0 : decimals > 18 ? 18 : decimals; }

// Rounded digits written with exactly `decimals` digits after the separator.
std::string WriteFixed(const DecimalDigits& d, int decimals, char separator) {
  std::string s = (d.negative && !d.digits.empty()) ? "-" : "";
  if (d.digits.empty() || d.exponent <= 0) {
    s += '0';
  } else {
    for (int i = 0; i < d.exponent; ++i) s += DigitAt(d, i);
  }
  if (decimals > 0) {
    s += separator;
    const int first = d.digits.empty() ? 0 : d.exponent;
    for (int i = 0; i < decimals; ++i) s += d.digits.empty() ? '0' : DigitAt(d, first + i);
  }
  return s;
}

}  // namespace

std::string FormatFixed(long double value, int precision, int decimals, char separator) {
  precision = EffectivePrecision(precision);
  decimals = ClampDecimals(decimals);
  DecimalDigits d = ToDecimal(value);
  RoundDigits(d, std::min(precision, d.exponent + decimals));
  if (!d.digits.empty() && d.exponent > precision) return FormatGeneral(value, precision, separator);
  return WriteFixed(d, decimals, separator);
}

std::string FormatFixedDecimals(long double value, int decimals, int integerDigits, char separator) {
  integerDigits = EffectivePrecision(integerDigits);
  decimals = ClampDecimals(decimals);
  DecimalDigits d = ToDecimal(value);
  RoundDigits(d, d.exponent + decimals);
  if (!d.digits.empty() && d.exponent > integerDigits) return FormatGeneral(value, integerDigits, separator);
  return WriteFixed(d, decimals, separator);
}

std::string FormatFileFloat(float value) {
  char buf[32];
  auto result = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 6);
  return std::string(buf, result.ptr);
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<float> ParseFloat(std::string_view text, char separator) {
  text = Trim(text);
  std::string s;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') s += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < text.size() && IsDigit(text[i])) s += text[i++], ++mantissaDigits;
  if (i < text.size() && text[i] == separator) {
    s += '.';
    ++i;
    while (i < text.size() && IsDigit(text[i])) s += text[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    s += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
    int exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) s += text[i++], ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  float value = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

void AppendShortest(std::string& out, float value) {
  char text[32];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendShortest(std::string& out, std::int64_t value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

namespace {

// For a well-formed number that no 32-bit float holds, whether it lies below
// the float range rather than above it: the decimal exponent of its first
// significant digit, the exponent part included, is negative. False for text
// that is not a number.
bool BelowFloatRange(std::string_view text) {
  std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  std::int64_t lead = 0;  // the decimal exponent of the first significant digit
  bool significant = false;
  int digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (significant)
      ++lead;
    else
      significant = text[i] != '0';
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (significant) continue;
      --lead;
      significant = text[i] != '0';
    }
  }
  if (digits == 0) return false;
  std::int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    int exponentDigits = 0;
    // Saturated: any exponent beyond a million decides the same way.
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits)
      exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - '0'), 1000000);
    if (exponentDigits == 0) return false;
    if (negative) exponent = -exponent;
  }
  return i == text.size() && significant && lead + exponent < 0;
}

}  // namespace

std::optional<float> ParseMeshCoordinate(std::string_view token) {
  if (token.find_first_of("dD") != std::string_view::npos) {
    char text[64];
    if (token.size() > sizeof text) return std::nullopt;
    for (std::size_t i = 0; i < token.size(); ++i) text[i] = token[i] == 'd' || token[i] == 'D' ? 'E' : token[i];
    return ParseMeshCoordinate(std::string_view(text, token.size()));
  }
  std::string_view number = token;
  if (!number.empty() && number.front() == '+') {
    number.remove_prefix(1);
    if (!number.empty() && number.front() == '-') return std::nullopt;
  }
  float value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || end != number.data() + number.size()) return std::nullopt;
  if (error == std::errc()) return std::isfinite(value) ? std::optional(value) : std::nullopt;
  // Out of the float range: below it the value is 0, above it none.
  if (error == std::errc::result_out_of_range && BelowFloatRange(number)) return 0.0f;
  return std::nullopt;
}

}  // namespace qor
