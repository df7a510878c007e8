#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ovrel::toolkit;

namespace {

TFormatSettings Dot() { return TFormatSettings{}; }

TFormatSettings Comma()
{
    TFormatSettings s;
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    return s;
}

struct FormatRow {
    const char* name;
    std::string format;
    std::initializer_list<TFormatArg> args;
    std::string dot;
    std::string comma;
};

}  // namespace

TEST(Format, ConversionsWithBothSeparatorStyles)
{
    const FormatRow rows[] = {
        {"IntegerAndText", "%d x %d dpi", {640, 480}, "640 x 480 dpi", "640 x 480 dpi"},
        {"FixedDefaultsToTwoDecimals", "%f mm", {50.0}, "50.00 mm", "50,00 mm"},
        {"FixedOneDecimal", "F%.1f", {2.8}, "F2.8", "F2,8"},
        {"FixedNoDecimals", "%.0f dpi", {71.5}, "72 dpi", "72 dpi"},
        {"FixedHalfAwayFromZero", "%.1f|%.0f|%.0f", {0.25, 2.5, -2.5}, "0.3|3|-3", "0,3|3|-3"},
        {"NegativeZeroLosesItsSign", "EV%.1f", {-0.04}, "EV0.0", "EV0,0"},
        {"NegativeFixed", "EV%.1f", {-2.0 / 3.0}, "EV-0.7", "EV-0,7"},
        {"NumberGroupsThousands", "%.0n", {1234567LL}, "1,234,567", "1.234.567"},
        {"NumberBelowAThousand", "%.0n", {999}, "999", "999"},
        {"NumberWithDecimals", "%n", {-1234.5}, "-1,234.50", "-1.234,50"},
        {"NumberOfALargeFileSize", "%.0n", {6000000000LL}, "6,000,000,000", "6.000.000.000"},
        {"GeneralShortest", "%g sec", {0.5}, "0.5 sec", "0,5 sec"},
        {"GeneralInteger", "%g sec", {2.0}, "2 sec", "2 sec"},
        {"GeneralFifteenDigits", "%g", {1.0 / 3.0}, "0.333333333333333", "0,333333333333333"},
        {"GeneralPrecision", "%.3g", {3.14159}, "3.14", "3,14"},
        {"GeneralLargeIsScientific", "%g", {1e20}, "1E20", "1E20"},
        {"Exponent", "%e", {1.5}, "1.50000000000000E+000", "1,50000000000000E+000"},
        {"HexPadded", "%.8x", {255}, "000000FF", "000000FF"},
        {"HexOfNegativeInt", "%x", {-1}, "FFFFFFFF", "FFFFFFFF"},
        {"Unsigned", "%u", {4000000000u}, "4000000000", "4000000000"},
        {"WidthAndLeftJustify", "[%5d|%-5d|%5s]", {42, 42, "ab"}, "[   42|42   |   ab]", "[   42|42   |   ab]"},
        {"PrecisionOnIntegerPadsZeros", "%.3d", {-7}, "-007", "-007"},
        {"PrecisionCutsText", "%.2s", {"abcdef"}, "ab", "ab"},
        {"PercentLiteral", "100%% %s", {std::string_view("done")}, "100% done", "100% done"},
        {"IntegerAcceptedAsFloat", "%f", {3}, "3.00", "3,00"},
        {"UpperCaseConversion", "%D", {5}, "5", "5"},
        {"NonFinite", "%f %g", {std::numeric_limits<double>::infinity(), std::nan("")}, "INF NAN", "INF NAN"},
    };
    for (const FormatRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Format(row.format, row.args, Dot()), row.dot);
        EXPECT_EQ(Format(row.format, row.args, Comma()), row.comma);
    }
}

TEST(Format, UsesTheCurrentSettingsByDefault)
{
    const TFormatSettings saved = FormatSettings();
    FormatSettings() = Comma();
    EXPECT_EQ(Format("%.2f", {1.5}), "1,50");
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    FormatSettings() = saved;
    EXPECT_EQ(Format("%.2f", {1.5}), "1.50");
}

TEST(Format, MismatchedOrMissingArgumentsRaise)
{
    struct Row {
        const char* name;
        std::string format;
        std::initializer_list<TFormatArg> args;
    };
    const Row rows[] = {
        {"FloatForInteger", "%d", {1.5}}, {"TextForInteger", "%d", {"x"}},   {"NumberForText", "%s", {5}},
        {"TextForFloat", "%f", {"1.5"}},  {"MissingArgument", "%d %d", {1}}, {"UnknownConversion", "%q", {1}},
        {"TrailingPercent", "50%", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_THROW(Format(row.format, row.args), EConvertError);
    }
    try {
        Format("%d", {"x"});
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("%d"), std::string::npos);
    }
}

TEST(FloatToStr, FifteenSignificantDigitsShortestForm)
{
    struct Row {
        const char* name;
        double value;
        std::string text;
    };
    const Row rows[] = {
        {"WidenedSingle", static_cast<double>(1.6f), "1.60000002384186"},
        {"Exact", 1.5, "1.5"},
        {"Integer", 24.0, "24"},
        {"Zero", 0.0, "0"},
        {"Negative", -0.125, "-0.125"},
        {"PointOne", 0.1, "0.1"},
        {"Sum", 0.1 + 0.2, "0.3"},
        {"FifteenIntegerDigits", 123456789012345.0, "123456789012345"},
        {"SixteenIntegerDigits", 1234567890123456.0, "1.23456789012346E15"},
        {"SmallStaysFixed", 0.0001, "0.0001"},
        {"SmallerIsScientific", 0.00001, "1E-5"},
        {"RoundsUpIntoNextDigit", 9.999999999999999, "10"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FloatToStr(row.value, TFormatSettings{}), row.text);
    }
}

TEST(FloatToStrF, FixedNumberAndGeneral)
{
    const TFormatSettings s;
    EXPECT_EQ(FloatToStrF(3.14159, ffFixed, 18, 2, s), "3.14");
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 18, 1, s), "1,234.5");
    EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2, s), "1E20");  // more integer digits than the precision
    EXPECT_EQ(FloatToStrF(2.0 / 3.0, ffGeneral, 4, 0, s), "0.6667");
    EXPECT_EQ(FloatToStrF(12345.0, ffExponent, 3, 2, s), "1.23E+04");
}
