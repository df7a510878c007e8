#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>

#include <climits>

using namespace ovrel::toolkit;

TEST(StrToInt, AcceptsDecimalHexAndLeadingBlanks)
{
    struct Row {
        const char* name;
        const char* text;
        int value;
    };
    const Row rows[] = {
        {"Plain", "42", 42},
        {"Negative", "-17", -17},
        {"Plus", "+5", 5},
        {"LeadingBlanks", "  \t12", 12},
        {"DollarHex", "$FF", 255},
        {"ZeroXHex", "0x1f", 31},
        {"HexBitPattern", "$FFFFFFFF", -1},
        {"Minimum", "-2147483648", INT_MIN},
        {"Maximum", "2147483647", INT_MAX},
        {"LeadingZeros", "0007", 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(StrToInt(row.text), row.value);
        int value = 0;
        EXPECT_TRUE(TryStrToInt(row.text, value));
        EXPECT_EQ(value, row.value);
    }
}

TEST(StrToInt, RejectsEverythingElseWithTheMessage)
{
    for (const char* text : {"", " ", "abc", "12a", "1 2", "12 ", "1.0", "$", "0x", "-", "2147483648", "-2147483649",
                             "$1FFFFFFFF", "$G"}) {
        SCOPED_TRACE(text);
        int value = 99;
        EXPECT_FALSE(TryStrToInt(text, value));
        EXPECT_EQ(value, 99);
        EXPECT_EQ(StrToIntDef(text, -5), -5);
        try {
            StrToInt(text);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(StrToInt64, CoversTheSixtyFourBitRange)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(StrToInt64("6000000000"), 6000000000LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt("6000000000"), EConvertError);
}

TEST(StrToFloat, FollowsTheDecimalSeparator)
{
    TFormatSettings dot;
    TFormatSettings comma;
    comma.DecimalSeparator = ',';
    struct Row {
        const char* name;
        const char* text;
        const TFormatSettings* settings;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {"Dot", "1.5", &dot, true, 1.5},
        {"Comma", "1,5", &comma, true, 1.5},
        {"DotUnderComma", "1.5", &comma, false, 0},
        {"CommaUnderDot", "1,5", &dot, false, 0},
        {"Blanks", "  2.25  ", &dot, true, 2.25},
        {"Exponent", "-1.5E3", &dot, true, -1500},
        {"LeadingSeparator", ".5", &dot, true, 0.5},
        {"Integer", "7", &dot, true, 7},
        {"Empty", "", &dot, false, 0},
        {"Letters", "abc", &dot, false, 0},
        {"Trailing", "1.5x", &dot, false, 0},
        {"BareExponent", "1E", &dot, false, 0},
        {"Thousands", "1,000.5", &dot, false, 0},
        {"Overflow", "1E999", &dot, false, 0},
        {"OnlySeparator", ".", &dot, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        double value = -1;
        EXPECT_EQ(TryStrToFloat(row.text, value, *row.settings), row.ok);
        if (row.ok) {
            EXPECT_DOUBLE_EQ(value, row.value);
        } else {
            EXPECT_THROW(StrToFloat(row.text, *row.settings), EConvertError);
        }
    }
    try {
        StrToFloat("abc", dot);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
    }
}

TEST(Booleans, TextsAndNumbers)
{
    EXPECT_EQ(BoolToStr(true, true), "True");
    EXPECT_EQ(BoolToStr(false, true), "False");
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_FALSE(StrToBool("FALSE"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(Arithmetic, RoundTruncAndMulDiv)
{
    EXPECT_EQ(Round(2.5), 2);  // half to even
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.6), 3);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_THROW(Round(1e300), EInvalidOperation);
    EXPECT_THROW(Trunc(std::nan("")), EInvalidOperation);

    struct Row {
        int a, b, c, result;
    };
    const Row rows[] = {
        {10, 10, 3, 33},
        {10, 10, 4, 25},
        {5, 1, 2, 3},  // half away from zero
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {-5, -1, 2, 3},
        {5, 1, -2, -3},
        {100000, 100000, 100000, 100000},  // 64-bit intermediate
        {1, 1, 0, -1},
        {INT_MAX, 2, 1, -1},
        {INT_MIN, 1, 1, INT_MIN},
        {INT_MIN, -1, 1, -1},
        {7, 0, 3, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.a) + "*" + std::to_string(row.b) + "/" + std::to_string(row.c));
        EXPECT_EQ(MulDiv(row.a, row.b, row.c), row.result);
    }
}

TEST(Strings, TrimCaseCompareReplace)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(UpperCase("abc\xC3\xA9"), "ABC\xC3\xA9");  // bytes past ASCII stay
    EXPECT_EQ(LowerCase("ABC"), "abc");
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_EQ(CompareText("ABC", "abc"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_TRUE(SameText("Help.CHM", "help.chm"));
    EXPECT_FALSE(SameText("a", "ab"));
    EXPECT_FALSE(SameStr("a", "A"));

    EXPECT_EQ(StringReplace("a\\nb\\nc", "\\n", "\n", rfReplaceAll), "a\nb\nc");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfNone), "aXb-c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-c");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");  // no rescanning of what was put in
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");

    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Pos("", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    EXPECT_EQ(GetShortHint("Open|Opens a file"), "Open");
    EXPECT_EQ(GetLongHint("Open|Opens a file"), "Opens a file");
    EXPECT_EQ(GetLongHint("Open"), "Open");
}

TEST(Utf8, ValidationAndConversions)
{
    struct Row {
        const char* name;
        std::string bytes;
        bool valid;
    };
    const Row rows[] = {
        {"Ascii", "abc", true},
        {"TwoByte", "\xC3\xA9", true},
        {"ThreeByte", "\xE2\x82\xAC", true},
        {"FourByte", "\xF0\x9F\x98\x80", true},
        {"Latin1Byte", "caf\xE9", false},
        {"Overlong", "\xC0\xAF", false},
        {"OverlongThree", "\xE0\x80\xAF", false},
        {"Surrogate", "\xED\xA0\x80", false},
        {"PastMax", "\xF4\x90\x80\x80", false},
        {"Truncated", "\xE2\x82", false},
        {"LoneContinuation", "\x80", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsValidUtf8(row.bytes), row.valid);
        EXPECT_TRUE(IsValidUtf8(ToDisplayText(row.bytes)));
    }
    EXPECT_EQ(ToDisplayText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(ToDisplayText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(Latin1ToUtf8("\xFF"), "\xC3\xBF");

    const std::string mixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToUtf16(mixed), std::u16string(u"a\u00E9\u20AC\U0001F600"));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(mixed)), mixed);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");

    std::size_t pos = 0;
    EXPECT_EQ(NextUtf8CodePoint("\xE9x", pos), U'\uFFFD');
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(Utf8SequenceLength(0xE2), 3);
    EXPECT_EQ(Utf8SequenceLength(0x80), 0);
}

TEST(Utf8, CaseFoldingOfOneCharacter)
{
    const std::pair<char32_t, char32_t> same[] = {
        {U'A', U'a'},           {U'\u00C9', U'\u00E9'}, {U'\u0141', U'\u0142'}, {U'\u0178', U'\u00FF'},
        {U'\u0394', U'\u03B4'}, {U'\u03A3', U'\u03C2'}, {U'\u0416', U'\u0436'}, {U'\u0401', U'\u0451'},
    };
    for (const auto& [a, b] : same) {
        SCOPED_TRACE(static_cast<unsigned>(a));
        EXPECT_TRUE(SameCharText(a, b));
    }
    EXPECT_FALSE(SameCharText(U'a', U'b'));
    EXPECT_FALSE(SameCharText(U'\u00D7', U'\u00F7'));  // multiplication and division signs are no pair
}

TEST(FileNames, SplitAndChange)
{
    struct Row {
        const char* path;
        const char* name;
        const char* filePath;
        const char* dir;
        const char* ext;
    };
    const Row rows[] = {
        {"/photos/2024/img.jpg", "img.jpg", "/photos/2024/", "/photos/2024", ".jpg"},
        {"img.tar.gz", "img.tar.gz", "", "", ".gz"},
        {"/photos.d/img", "img", "/photos.d/", "/photos.d", ""},
        {"/img.jpg", "img.jpg", "/", "/", ".jpg"},
        {"/photos/", "", "/photos/", "/photos", ""},
        {".hidden", ".hidden", "", "", ".hidden"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(ExtractFileName(row.path), row.name);
        EXPECT_EQ(ExtractFilePath(row.path), row.filePath);
        EXPECT_EQ(ExtractFileDir(row.path), row.dir);
        EXPECT_EQ(ExtractFileExt(row.path), row.ext);
    }
    EXPECT_EQ(ChangeFileExt("/opt/ovrel/exif-ovrel", ".cfg"), "/opt/ovrel/exif-ovrel.cfg");
    EXPECT_EQ(ChangeFileExt("/opt/a.b/prog.exe", ".cfg"), "/opt/a.b/prog.cfg");
    EXPECT_EQ(ChangeFileExt("x.jpg", ""), "x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(Exceptions, CarryTheirMessageAndCopy)
{
    try {
        throw EReadError("Stream read error");
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
        const Exception copy = e;
        EXPECT_EQ(copy.Message(), "Stream read error");
    }
    EXPECT_THROW(Assert(false, "SharedDraw"), EAssertionFailed);
    EXPECT_NO_THROW(Assert(true, "x"));
}
