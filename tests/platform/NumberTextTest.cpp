#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <clocale>

#include "platform/NumberText.h"
#include "platform/qt/QtPrompts.h"

namespace qor {
namespace {

// Replaces '.' by the separator under test, so one expectation serves both.
std::string With(std::string text, char separator) {
  for (char& c : text)
    if (c == '.') c = separator;
  return text;
}

class NumberTextTest : public ::testing::TestWithParam<char> {};

TEST_P(NumberTextTest, FixedRoundsToPrecisionThenPadsDecimals) {
  const char sep = GetParam();
  EXPECT_EQ(FormatFixed(1234.567, 5, 2, sep), With("1234.60", sep));
  EXPECT_EQ(FormatFixed(200000.0f, 10, 5, sep), With("200000.00000", sep));
  EXPECT_EQ(FormatFixed(0.3f, 10, 5, sep), With("0.30000", sep));
  EXPECT_EQ(FormatFixed(0.1f, 10, 5, sep), With("0.10000", sep));
  EXPECT_EQ(FormatFixed(2.5f, 10, 5, sep), With("2.50000", sep));
  EXPECT_EQ(FormatFixed(-0.5, 5, 2, sep), With("-0.50", sep));
  EXPECT_EQ(FormatFixed(0.0, 5, 2, sep), With("0.00", sep));
  EXPECT_EQ(FormatFixed(200.0, 5, 2, sep), With("200.00", sep));
  EXPECT_EQ(FormatFixed(7.0, 10, 0, sep), "7");
  // Rounding is half away from zero and may carry into a new digit.
  EXPECT_EQ(FormatFixed(9.996, 5, 2, sep), With("10.00", sep));
  EXPECT_EQ(FormatFixed(0.125, 10, 2, sep), With("0.13", sep));
  EXPECT_EQ(FormatFixed(-0.125, 10, 2, sep), With("-0.13", sep));
  // A value that rounds to nothing at this many decimals shows no sign.
  EXPECT_EQ(FormatFixed(-0.000001, 5, 2, sep), With("0.00", sep));
  EXPECT_EQ(FormatFixed(0.000006, 10, 5, sep), With("0.00001", sep));
  EXPECT_EQ(FormatFixed(0.0000123, 15, 7, sep), With("0.0000123", sep));
}

TEST_P(NumberTextTest, FixedSwitchesToExponentFormWhenIntegerPartIsTooLong) {
  const char sep = GetParam();
  EXPECT_EQ(FormatFixed(123456.0, 5, 2, sep), With("1.2346E5", sep));
  EXPECT_EQ(FormatFixed(99999.0, 5, 2, sep), With("99999.00", sep));
  EXPECT_EQ(FormatFixed(12345678901.0, 10, 5, sep), With("1.23456789E10", sep));
  EXPECT_EQ(FormatFixed(-1e12, 10, 5, sep), "-1E12");
}

TEST_P(NumberTextTest, FixedDecimalsKeepsEveryDigitUpToTheFifthDecimal) {
  const char sep = GetParam();
  const struct {
    long double value;
    const char* text;
  } cases[] = {
      {123456.789f, "123456.78906"},  // the float is 123456.7890625: not cut to 10 digits
      {-9876543.21f, "-9876543.00000"},
      {0.1f, "0.10000"},
      {0.000006, "0.00001"},
      {-0.000004, "0.00000"},
      {9999999999.999996, "1E10"},  // rounds up to 11 integer digits
      {1234567890.0, "1234567890.00000"},
      {12345678901.0, "1.23456789E10"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFixedDecimals(c.value, 5, 10, sep), With(c.text, sep)) << c.text;
}

TEST_P(NumberTextTest, GeneralFormatWithFifteenAndSevenDigits) {
  const char sep = GetParam();
  EXPECT_EQ(FormatGeneral(0.1f, 15, sep), With("0.100000001490116", sep));
  EXPECT_EQ(FormatGeneral(1.5e-5, 15, sep), With("1.5E-5", sep));
  EXPECT_EQ(FormatGeneral(0.0000123, 7, sep), With("1.23E-5", sep));
  EXPECT_EQ(FormatGeneral(0.000123, 7, sep), With("0.000123", sep));
  EXPECT_EQ(FormatGeneral(0.0001, 7, sep), With("0.0001", sep));
  EXPECT_EQ(FormatGeneral(1.234568e-6, 7, sep), With("1.234568E-6", sep));
  EXPECT_EQ(FormatGeneral(2.5f, 15, sep), With("2.5", sep));
  EXPECT_EQ(FormatGeneral(0.0, 15, sep), "0");
  EXPECT_EQ(FormatGeneral(200000.0f, 15, sep), "200000");
  EXPECT_EQ(FormatGeneral(-3.0, 7, sep), "-3");
  EXPECT_EQ(FormatGeneral(1e-5, 7, sep), "1E-5");
  EXPECT_EQ(FormatGeneral(12345678.0, 7, sep), With("1.234568E7", sep));
  EXPECT_EQ(FormatGeneral(1234567.0, 7, sep), "1234567");
  EXPECT_EQ(FormatGeneral(-2.5e-7, 7, sep), With("-2.5E-7", sep));
  EXPECT_EQ(FormatGeneral(1.0f, 7, sep), "1");
}

TEST_P(NumberTextTest, ParsingUsesOnlyTheGivenSeparator) {
  const char sep = GetParam();
  const char other = sep == '.' ? ',' : '.';
  EXPECT_EQ(ParseFloat(With("2.5", sep), sep), 2.5f);
  EXPECT_EQ(ParseFloat(With(" -0.25 ", sep), sep), -0.25f);
  EXPECT_EQ(ParseFloat(With("1.5E-5", sep), sep), 1.5e-5f);
  EXPECT_EQ(ParseFloat("200000", sep), 200000.0f);
  EXPECT_EQ(ParseFloat("+3", sep), 3.0f);
  EXPECT_EQ(ParseFloat(std::string("2") + other + "5", sep), std::nullopt);
  for (const char* bad : {"", " ", "abc", "1e", "--1", "1x", "inf", "nan", "1e39", "-", "e5"})
    EXPECT_EQ(ParseFloat(bad, sep), std::nullopt) << bad;
}

INSTANTIATE_TEST_SUITE_P(BothSeparators, NumberTextTest, ::testing::Values('.', ','));

TEST(NumberText, IntegersReportFailure) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt(" -7 "), -7);
  EXPECT_EQ(ParseInt("+5"), 5);
  EXPECT_EQ(ParseInt("2147483647"), 2147483647);
  for (const char* bad : {"", "1.0", "1,0", "12a", "2147483648", "99999999999999999999", "--3", "0x10"})
    EXPECT_EQ(ParseInt(bad), std::nullopt) << bad;
}

TEST(NumberText, FileFloatIsPercentGWithPointInEveryLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  // A locale with a decimal comma, where the machine has one.
  std::setlocale(LC_NUMERIC, "pl_PL.UTF-8");
  EXPECT_EQ(FormatFileFloat(1234567.0f), "1.23457e+06");
  EXPECT_EQ(FormatFileFloat(200000.0f), "200000");
  EXPECT_EQ(FormatFileFloat(0.3f), "0.3");
  EXPECT_EQ(FormatFileFloat(0.0f), "0");
  EXPECT_EQ(FormatFileFloat(-2.5e-5f), "-2.5e-05");
  EXPECT_EQ(FormatFileFloat(0.0001f), "0.0001");
  // Fixed text ignores the process locale too.
  EXPECT_EQ(FormatFixed(1234.567, 5, 2, '.'), "1234.60");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(QtPrompts, FilterPairsBecomeQtNameFilters) {
  const QStringList filters = ToQtNameFilters("QOR 3D |*.q3d|Wszystki pliki|*.*");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], QStringLiteral("QOR 3D (*.q3d)"));
  EXPECT_EQ(filters[1], QStringLiteral("Wszystki pliki (*)"));
  // "*.*" lists every file, a GiD mesh without an extension too, as Qt's
  // wildcards match names.
  for (const QString& filter : ToQtNameFilters("Siatka GiD|*.*|Wszystki pliki|*.*")) {
    const QString pattern = filter.section('(', 1).chopped(1);
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern));
    for (const char* name : {"siatka", "model.q3d", "tripod.gidmsh"})
      EXPECT_TRUE(match.match(QString::fromLatin1(name)).hasMatch()) << filter.toStdString() << " " << name;
  }
}

}  // namespace
}  // namespace qor
