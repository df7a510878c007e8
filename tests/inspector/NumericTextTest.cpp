// The text rules of the numeric editors, for both decimal separators.

#include "inspector/NumericText.h"

#include <gtest/gtest.h>

#include <string>

using namespace ovrel::inspector;

namespace {

TNumberRules Rules(char separator, double min = 0, double max = 0)
{
    TNumberRules rules;
    rules.DecimalSeparator = separator;
    rules.Min = min;
    rules.Max = max;
    return rules;
}

// Writes the "." of a row as the separator in use.
std::string With(std::string text, char separator)
{
    for (char& c : text)
        if (c == '.')
            c = separator;
    return text;
}

TEST(NumberFilter, KeepsANumberInRange)
{
    struct Row {
        const char* Text;
        bool Float;
        bool Signs;
        double Min;
        double Max;
        const char* Expected;
    };
    const Row rows[] = {
        {"12a3", true, true, 0, 0, "123"},    {"1.2.3", true, true, 0, 0, "1.23"},  // the first separator only
        {"1.5", false, true, 0, 0, "15"},     {"+-1", true, true, 0, 0, "+1"},  // a sign only in front
        {"5-", true, true, 0, 0, "5"},        {"-3", true, false, -10, 0, "3"},
        {"-", true, true, 0, 0, "0"},         {"-5", true, true, 0, 0, "0"},  // Min 0 keeps negatives out
        {"-5", true, true, -10, 0, "-5"},     {"25", true, true, 0, 10, "10"},
        {"25", true, true, 0, 0, "25"},  // Max 0: no upper bound
        {"3.5 m2", true, true, 0, 0, "3.52"},  // digits of a unit join: callers remove it first
        {"", true, true, 0, 0, ""},           {".", true, true, 0, 0, "."},  // no digits: reads as 0, which is in range
        {"x", true, true, 2, 0, "2"},
    };
    for (char separator : {'.', ','})
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.Text << " with " << separator);
            EXPECT_EQ(FilterNumber(With(row.Text, separator), row.Float, row.Signs, Rules(separator, row.Min, row.Max)),
                      With(row.Expected, separator));
        }
    // The other locale's separator is no number character.
    EXPECT_EQ(FilterNumber("1.5", true, true, Rules(',')), "15");
}

TEST(NumberText, ReadsTheNumberWithoutUnitOrNullText)
{
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        TNumberRules rules = Rules(separator);
        rules.TextAfter = " m2";
        EXPECT_DOUBLE_EQ(ReadNumber(With("2.5 m2", separator), rules), 2.5);
        EXPECT_DOUBLE_EQ(ReadNumber("", rules), 0);
        EXPECT_DOUBLE_EQ(ReadNumber(With(".", separator), rules), 0);
        EXPECT_DOUBLE_EQ(ReadNumber(With("-.", separator), rules), 0);
        rules.NullText = "n/a 1";
        EXPECT_DOUBLE_EQ(ReadNumber("n/a 1", rules), 0);
        rules.Max = 10;
        EXPECT_DOUBLE_EQ(ReadNumber("25", rules), 10);
    }
}

TEST(NumberText, FormatsAndReadsBackWithoutDrift)
{
    struct Row {
        double Value;
        int Precision;
        bool Float;
        const char* NullText;
        const char* After;
        const char* Expected;
    };
    const Row rows[] = {
        {0, 2, true, "", "", "0.00"},      {0, 2, true, "none", "", "none"}, {2.5, 1, true, "", " m2", "2.5 m2"},
        {2.5, 2, true, "", "", "2.50"},    {2.5, 2, false, "", "", "2.5"},   {3, 0, true, "", " px", "3 px"},
        {-1.25, 0, true, "", "", "-1.25"},
    };
    for (char separator : {'.', ','})
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.Expected << " with " << separator);
            TNumberRules rules = Rules(separator, -100);
            rules.Precision = row.Precision;
            rules.Options = row.Float ? TEditOptions{eoAllowFloat, eoAllowSigns} : TEditOptions{eoAllowSigns};
            rules.NullText = row.NullText;
            rules.TextAfter = row.After;
            const std::string text = NumberText(row.Value, rules);
            EXPECT_EQ(text, With(row.Expected, separator));
            // Leaving the editor reformats what it reads: the value must not grow by the unit's digits.
            if (row.Float) {
                EXPECT_EQ(NumberText(ReadNumber(text, rules), rules), text);
            }
        }
}

TEST(NumberKeys, AdmitOnlyWhatKeepsTheTextANumber)
{
    struct Row {
        const char* Name;
        char32_t Key;
        const char* Text;
        int SelStart;
        int SelLength;
        bool Accepted;
    };
    const Row rows[] = {
        {"Digit", '5', "1", 1, 0, true},
        {"Letter", 'a', "1", 1, 0, false},
        {"Enter", 13, "1", 1, 0, false},
        {"Copy", 3, "1", 0, 1, true},
        {"Paste", 22, "1", 0, 0, true},
        {"SecondSeparator", '.', "1.5", 3, 0, false},
        {"SeparatorOverTheSelectedOne", '.', "1.5", 1, 1, true},
        {"FirstSeparator", '.', "15", 1, 0, true},
        {"SignInFront", '-', "5", 0, 0, true},
        {"SignInside", '-', "5", 1, 0, false},
        {"SecondSign", '+', "-5", 0, 0, false},
        {"SignOverTheSelectedSign", '+', "-5", 0, 1, true},
    };
    for (char separator : {'.', ','})
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.Name << " with " << separator);
            const char32_t key = row.Key == '.' ? static_cast<char32_t>(separator) : row.Key;
            const char32_t got =
                FilterNumberKey(key, With(row.Text, separator), row.SelStart, row.SelLength, Rules(separator));
            EXPECT_EQ(got, row.Accepted ? key : 0);
        }
    TNumberRules whole = Rules('.');
    whole.Options = {eoAllowAll};
    EXPECT_EQ(FilterNumberKey('x', "1", 0, 0, whole), U'x');
    TNumberRules integers = Rules('.');
    integers.Options = {eoAllowSigns};
    EXPECT_EQ(FilterNumberKey('.', "1", 1, 0, integers), 0u);
    integers.Options = {eoAllowFloat};
    EXPECT_EQ(FilterNumberKey('-', "1", 0, 0, integers), 0u);
}

TEST(NumberPaste, InsertsTheFragmentsNumberCharactersOnly)
{
    struct Row {
        const char* Text;
        int SelStart;
        int SelLength;
        const char* Clipboard;
        const char* Expected;
    };
    const Row rows[] = {
        {"1", 1, 0, "a2b3", "123"},    {"12", 0, 2, "x", ""},  // no digit: nothing goes in, the selection is gone
        {"1", 1, 0, "0", "10"},  // the range waits for the editor to be left
        {"1.5", 3, 0, "2.5", "1.525"}, {"1.5", 1, 2, "2.5", "12.5"},  // the selected separator goes: the pasted one stays
        {"", 0, 0, "-3", "-3"},        {"5", 1, 0, "-3", "53"},      {"5", 0, 0, "-", "5"},
    };
    for (char separator : {'.', ','})
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.Text << " + " << row.Clipboard << " with " << separator);
            EXPECT_EQ(PasteNumber(With(row.Text, separator), row.SelStart, row.SelLength,
                                  With(row.Clipboard, separator), Rules(separator, 1)),
                      With(row.Expected, separator));
        }
}

}  // namespace
