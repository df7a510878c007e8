#include "core/PropertyCatalog.h"

#include "CoreTestSupport.h"
#include "imaging/Builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace ovrel::core {
namespace {

using test::Ascii;
using test::Bytes;
using test::Concat;
using test::MakeInfo;
using test::Rational;
using test::Raw;
using test::SRational;
using test::TItemSpec;
using test::U16;
using test::U32;
namespace fx = imaging::fixtures;

// Types as the image layer numbers them.
constexpr std::uint16_t tByte = 1, tAscii = 2, tShort = 3, tLong = 4, tRational = 5, tUndefined = 7, tSLong = 9,
                        tSRational = 10;

Bytes Prefixed(std::string_view prefix8, const Bytes& body)
{
    Bytes bytes(prefix8.begin(), prefix8.end());
    bytes.resize(8, 0);
    return Concat(bytes, body);
}

Bytes Utf16Le(std::u16string_view text)
{
    Bytes bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

Bytes Utf16Be(std::u16string_view text)
{
    Bytes bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        bytes.push_back(static_cast<std::uint8_t>(unit));
    }
    return bytes;
}

struct TFormatRow {
    const char* Name;
    std::vector<TItemSpec> Items;
    std::uint32_t Id;
    std::string Expected;
};

std::unique_ptr<TVekImageInfo> InfoWith(const std::vector<TItemSpec>& items)
{
    auto info = MakeInfo({});
    for (const TItemSpec& item : items)
        info->SetPropertyItem(item.Id, item.Type, static_cast<std::uint32_t>(item.Value.size()), item.Value.data());
    return info;
}

class FormatValueRule : public ::testing::TestWithParam<TFormatRow> {};

TEST_P(FormatValueRule, GivesTheDisplayText)
{
    const test::TPinnedSettings settings;
    TVekImageInfoFormat format;
    const auto info = InfoWith(GetParam().Items);
    EXPECT_EQ(format.FormatValue(*info, GetParam().Id), GetParam().Expected);
}

TItemSpec Code(std::uint32_t id, std::uint16_t code) { return {id, tShort, U16(code)}; }
TItemSpec Rat(std::uint32_t id, std::uint32_t n, std::uint32_t d) { return {id, tRational, Rational(n, d)}; }
TItemSpec SRat(std::uint32_t id, std::int32_t n, std::int32_t d) { return {id, tSRational, SRational(n, d)}; }
TItemSpec Text(std::uint32_t id, std::string_view text) { return {id, tAscii, Ascii(text)}; }

const TFormatRow FormatRows[] = {
    // typed texts
    {"TypedByte", {{700, tByte, Bytes{200, 7}}}, 700, "200"},
    {"TypedAsciiStopsAtZero", {{700, tAscii, Raw(std::string_view("ab\0cd", 5))}}, 700, "ab"},
    {"TypedAsciiWithoutZero", {{700, tAscii, Raw("abc")}}, 700, "abc"},
    {"TypedUndefined", {{700, tUndefined, Raw("xyz")}}, 700, "xyz"},
    {"TypedShortFirstOfSeveral", {{700, tShort, test::Values<std::uint16_t>({65535, 2})}}, 700, "65535"},
    {"TypedLongUnsigned", {{700, tLong, U32(4000000000u)}}, 700, "4000000000"},
    {"TypedSLong", {{700, tSLong, test::Values<std::int32_t>({-5})}}, 700, "-5"},
    {"TypedRational", {Rat(700, 3, 2)}, 700, "1.50"},
    {"TypedSRational", {SRat(700, -1, 4)}, 700, "-0.25"},
    {"TypedOtherType", {{700, 11, U32(1)}}, 700, ""},
    {"TypedShortTooShort", {{700, tShort, Bytes{1}}}, 700, ""},
    {"TypedRationalZeroDenominator", {Rat(700, 1, 0)}, 700, ""},
    {"TypedLatin1ShownAsUtf8", {{700, tAscii, Bytes{'C', 'a', 'f', 0xE9, 0}}}, 700, "Caf\xC3\xA9"},
    // orientation and units
    {"OrientationFirst", {Code(274, 1)}, 274, "Top-Left"},
    {"OrientationLast", {Code(274, 8)}, 274, "Left-Bottom"},
    {"OrientationNine", {Code(274, 9)}, 274, "Not Defined"},
    {"OrientationZero", {Code(274, 0)}, 274, "Not Defined"},
    {"OrientationNoValue", {{274, tShort, Bytes{}}}, 274, ""},
    {"UnitInch", {Code(296, 2)}, 296, "inch"},
    {"UnitCm", {Code(296, 3)}, 296, "cm"},
    {"UnitNone", {Code(296, 1)}, 296, "Not Defined"},
    {"FocalUnitCm", {Code(41488, 3)}, 41488, "cm"},
    // densities
    {"DensityDpi", {Rat(282, 72, 1), Code(296, 2)}, 282, "72 dpi"},
    {"DensityDpc", {Rat(283, 283, 10), Code(296, 3)}, 283, "28 dpc"},
    {"DensityOtherUnitEndsWithBlank", {Rat(282, 72, 1), Code(296, 1)}, 282, "72 "},
    {"DensityWithoutUnit", {Rat(282, 72, 1)}, 282, ""},
    {"DensityZeroDenominator", {Rat(282, 72, 0), Code(296, 2)}, 282, ""},
    {"FocalDensityOwnUnit", {Rat(41486, 4000, 1), Code(41488, 2)}, 41486, "4000 dpi"},
    {"FocalDensityIgnoresImageUnit", {Rat(41487, 4000, 1), Code(296, 2)}, 41487, ""},
    // dates
    {"Date", {Text(306, "2024:05:06 07:08:09")}, 306, "06.05.2024 07:08:09"},
    {"DateMidnightLeavesTimeOut", {Text(36867, "2024:05:06 00:00:00")}, 36867, "06.05.2024"},
    {"DateUnset", {Text(36868, "0000:00:00 00:00:00")}, 36868, ""},
    {"DateNotANumber", {Text(306, "yyyy:mm:dd hh:nn:ss")}, 306, ""},
    {"DateTooShort", {Text(306, "2024:05")}, 306, ""},
    // exposure
    {"ExposureUnitFraction", {Rat(33434, 1, 125)}, 33434, "1/125 sec"},
    {"ExposureReducedFraction", {Rat(33434, 10, 1250)}, 33434, "1/125 sec"},
    {"ExposureIrreducible", {Rat(33434, 3, 10)}, 33434, "3/10 sec"},
    {"ExposureWhole", {Rat(33434, 2, 1)}, 33434, "2 sec"},
    {"ExposureLong", {Rat(33434, 5, 2)}, 33434, "2.5 sec"},
    {"ExposureZero", {Rat(33434, 0, 1)}, 33434, ""},
    {"ExposureZeroDenominator", {Rat(33434, 1, 0)}, 33434, ""},
    {"ExposureLargeDenominator", {Rat(33434, 3, 4000000000u)}, 33434, "3/4000000000 sec"},
    {"FNumber", {Rat(33437, 28, 10)}, 33437, "F2.8"},
    {"ApertureFromApex", {Rat(37378, 181, 32)}, 37378, "F7.1"},  // APEX 5.65625
    {"ApertureApexThree", {Rat(37378, 3, 1)}, 37378, "F2.8"},
    {"ApertureApexZero", {Rat(37378, 0, 1)}, 37378, "F1.0"},
    {"MaxApertureFromApex", {Rat(37381, 30, 10)}, 37381, "F2.8"},
    {"MaxApertureZeroDenominator", {Rat(37381, 1, 0)}, 37381, ""},
    {"BiasNegative", {SRat(37380, -2, 3)}, 37380, "EV-0.7"},
    {"BiasPositive", {SRat(37380, 1, 3)}, 37380, "EV0.3"},
    {"BiasAbsurdIsZero", {SRat(37380, 500, 1)}, 37380, "EV0.0"},
    {"BiasAbsurdNegativeIsZero", {SRat(37380, -101, 1)}, 37380, "EV0.0"},
    {"BiasEdgeKept", {SRat(37380, -100, 1)}, 37380, "EV-100.0"},
    {"BiasZeroDenominator", {SRat(37380, 1, 0)}, 37380, ""},
    // codes
    {"ProgramManual", {Code(34850, 1)}, 34850, "Manual"},
    {"ProgramLandscape", {Code(34850, 8)}, 34850, "Landscape"},
    {"ProgramZero", {Code(34850, 0)}, 34850, "Not Defined"},
    {"MeteringAverage", {Code(37383, 1)}, 37383, "Average"},
    {"MeteringPartial", {Code(37383, 6)}, 37383, "Partial"},
    {"MeteringOther", {Code(37383, 255)}, 37383, "Not Defined"},
    {"LightZeroIsAuto", {Code(37384, 0)}, 37384, "Auto"},
    {"LightFluorescent", {Code(37384, 2)}, 37384, "Flourescent"},
    {"LightStandardA", {Code(37384, 17)}, 37384, "Standard Light A"},
    {"LightD75", {Code(37384, 22)}, 37384, "D75"},
    {"LightUnlisted", {Code(37384, 4)}, 37384, "Auto"},
    {"FlashFired", {Code(37385, 0x19)}, 37385, "Fired"},
    {"FlashNotFired", {Code(37385, 0x10)}, 37385, "Not Fired"},
    {"FocalLength", {Rat(37386, 50, 1)}, 37386, "50.00 mm"},
    {"FocalLengthZeroDenominator", {Rat(37386, 50, 0)}, 37386, ""},
    {"ColorSpaceSrgb", {Code(40961, 1)}, 40961, "sRGB"},
    {"ColorSpaceOther", {Code(40961, 0xFFFF)}, 40961, "Uncalibrated"},
    {"SensingFirst", {Code(41495, 2)}, 41495, "One-chip Color Area Sensor"},
    {"SensingLast", {Code(41495, 8)}, 41495, "Color Sequential Linear Sensor"},
    {"SensingOne", {Code(41495, 1)}, 41495, "Not Defined"},
    // version
    {"Version", {{0x9000, tUndefined, Raw("0220")}}, 0x9000, "0220"},
    {"VersionLongerValue", {{0x9000, tUndefined, Raw("0230xyz")}}, 0x9000, "0230"},
    {"VersionStopsAtZero",
     {{0x9000, tUndefined,
       Raw(std::string_view("02\0"
                            "0",
                            4))}},
     0x9000,
     "02"},
    {"VersionShortValue", {{0x9000, tUndefined, Raw("02")}}, 0x9000, "02"},
    // user comments: the text after the character-code prefix
    {"CommentAscii", {{37510, tUndefined, Prefixed("ASCII", Raw("Hello there"))}}, 37510, "Hello there"},
    {"CommentAsciiStopsAtZero",
     {{37510, tUndefined, Prefixed("ASCII", Raw(std::string_view("Hi\0junk", 7)))}},
     37510,
     "Hi"},
    {"CommentUndefinedPrefix", {{37510, tUndefined, Prefixed("", Raw("plain"))}}, 37510, "plain"},
    {"CommentUnicodeLittleEndian",
     {{37510, tUndefined, Prefixed("UNICODE", Utf16Le(u"Caf\u00E9"))}},
     37510,
     "Caf\xC3\xA9"},
    {"CommentUnicodeBigEndian", {{37510, tUndefined, Prefixed("UNICODE", Utf16Be(u"Hello"))}}, 37510, "Hello"},
    {"CommentUnicodeStopsAtZero",
     {{37510, tUndefined, Prefixed("UNICODE", Utf16Le(std::u16string_view(u"ab\0c", 4)))}},
     37510,
     "ab"},
    {"CommentOnlyPrefix", {{37510, tUndefined, Prefixed("ASCII", {})}}, 37510, ""},
    {"CommentShorterThanPrefix", {{37510, tUndefined, Raw("ASC")}}, 37510, ""},
    {"CommentStoredAsAscii", {Text(37510, "typed")}, 37510, "typed"},
    // computed and missing
    {"MissingItem", {}, 274, ""},
    {"ThirtyFiveUnknownCamera",
     {Rat(37386, 50, 1), Text(271, "Make"), Text(272, "Model")},
     PropertyId35mmEquivalent,
     "Not Defined"},
};

INSTANTIATE_TEST_SUITE_P(Rows, FormatValueRule, ::testing::ValuesIn(FormatRows),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(FormatValue, FollowsThePinnedSeparators)
{
    const test::TPinnedSettings settings(',', '.');
    TVekImageInfoFormat format;
    test::TTempFolder folder;
    const std::string file = folder.Write("big.bin", Bytes(1234567, 0));
    auto info = MakeInfo({Rat(33437, 28, 10), Rat(37386, 35, 2), SRat(37380, -2, 3), Rat(33434, 5, 2)}, file);
    EXPECT_EQ(format.FormatValue(*info, 33437), "F2,8");
    EXPECT_EQ(format.FormatValue(*info, 37386), "17,50 mm");
    EXPECT_EQ(format.FormatValue(*info, 37380), "EV-0,7");
    EXPECT_EQ(format.FormatValue(*info, 33434), "2,5 sec");
    EXPECT_EQ(format.FormatValue(*info, PropertyIdFileSize), "1.234.567");
    EXPECT_EQ(format.FormatValue(*info, PropertyIdFileName), "big.bin");
    EXPECT_EQ(format.FormatValue(*info, PropertyIdFileLocation), folder.Path());
}

TEST(FormatValue, FileFactsOfARealImage)
{
    const test::TPinnedSettings settings;
    TVekImageInfoFormat format;
    test::TTempFolder folder;
    const std::string file = folder.Write("photo.jpg", fx::JpegBytes().Jfif(1, 300, 150).Frame(40, 30).Build());
    const TVekImageInfo info(file);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    EXPECT_EQ(format.FormatValue(info, PropertyIdFileFormat), "JPEG");
    EXPECT_EQ(format.FormatValue(info, PropertyIdDimension), "40 x 30");
    EXPECT_EQ(format.FormatValue(info, PropertyIdResolution), "300 x 150 dpi");
    EXPECT_EQ(format.FormatValue(info, PropertyIdPixelFormat), "24 bit");
    EXPECT_EQ(format.FormatValue(info, PropertyIdFileColorSpace), ColorSpaceText(info.GetImageFlags()));
    EXPECT_EQ(format.FormatValue(info, PropertyIdFileSize),
              std::to_string(std::filesystem::file_size(file)));  // under a thousand bytes
}

TEST(FormatValue, ThirtyFiveMillimetreUsesAndTeachesTheFactorTable)
{
    const test::TPinnedSettings settings;
    TVekImageInfoFormat format;
    auto info = MakeInfo({Rat(37386, 50, 1), Text(271, "Maker"), Text(272, "Model One")});
    EXPECT_EQ(format.FormatValue(*info, PropertyId35mmEquivalent), "Not Defined");
    EXPECT_GE(format.GetFactorTable().IndexOf("Maker", "Model One"), 0) << "an unknown camera is added";
    format.GetFactorTable().SetFactor("Maker", "Model One", 1.5f);
    EXPECT_EQ(format.FormatValue(*info, PropertyId35mmEquivalent), "75.00 mm");
    EXPECT_DOUBLE_EQ(format.Get35mmEquivalent(*info), 75.0);

    auto withoutFocal = MakeInfo({Text(271, "Maker"), Text(272, "Model One")});
    EXPECT_EQ(format.Get35mmEquivalent(*withoutFocal), 0.0);
}

TEST(FileFactTexts, ColourSpaceFormatAndBits)
{
    EXPECT_EQ(ColorSpaceText(0x10), "RGB");
    EXPECT_EQ(ColorSpaceText(0x20 | 0x1), "CMYK") << "bits outside the mask are ignored";
    EXPECT_EQ(ColorSpaceText(0x40), "GRAY");
    EXPECT_EQ(ColorSpaceText(0x80), "YCBCR");
    EXPECT_EQ(ColorSpaceText(0x100), "YCCK");
    EXPECT_EQ(ColorSpaceText(0x10 | 0x80), "") << "several bits";
    EXPECT_EQ(ColorSpaceText(0), "");
    EXPECT_EQ(FormatText(imaging::ImageFormatPNG), "PNG");
    EXPECT_EQ(FormatText(imaging::ImageFormatTIFF), "TIFF");
    EXPECT_EQ(FormatText(imaging::GUID{}), "");
    EXPECT_EQ(BitsPerPixel(imaging::PixelFormat1bppIndexed), 1);
    EXPECT_EQ(BitsPerPixel(imaging::PixelFormat16bppRGB565), 16);
    EXPECT_EQ(BitsPerPixel(imaging::PixelFormat32bppARGB), 32);
    EXPECT_EQ(BitsPerPixel(imaging::PixelFormat64bppPARGB), 64);
    EXPECT_EQ(BitsPerPixel(imaging::PixelFormatUndefined), 0);
}

TEST(GetPropertyText, GoesThroughTheGlobalFormatterOnlyForPresentProperties)
{
    const test::TPinnedSettings settings;
    auto info = MakeInfo({Code(274, 3)});
    EXPECT_EQ(info->GetPropertyText(274), "Bottom-Right");
    EXPECT_EQ(info->GetPropertyText(296), "");
}

// ---- comparison ----------------------------------------------------------------------------------------------

int Sign(int value) { return (value > 0) - (value < 0); }

struct TCompareRow {
    const char* Name;
    std::uint32_t Id;
    std::vector<TItemSpec> First;
    std::vector<TItemSpec> Second;
    int Expected;  // sign, ascending
};

class CompareByItem : public ::testing::TestWithParam<TCompareRow> {};

TEST_P(CompareByItem, OrdersByValueAndNegatesWhenDescending)
{
    TVekImageInfoFormat format;
    const auto first = InfoWith(GetParam().First);
    const auto second = InfoWith(GetParam().Second);
    const std::uint32_t id = GetParam().Id;
    EXPECT_EQ(Sign(format.Compare(*first, *second, false, id)), GetParam().Expected);
    EXPECT_EQ(Sign(format.Compare(*second, *first, false, id)), -GetParam().Expected);
    EXPECT_EQ(Sign(format.Compare(*first, *second, true, id)), -GetParam().Expected);
}

const TCompareRow CompareRows[] = {
    {"Byte", 700, {{700, tByte, Bytes{3}}}, {{700, tByte, Bytes{200}}}, -1},
    {"Short", 274, {Code(274, 8)}, {Code(274, 1)}, 1},
    {"ShortEqual", 274, {Code(274, 8)}, {Code(274, 8)}, 0},
    {"LongBeyondInt32", 700, {{700, tLong, U32(4000000000u)}}, {{700, tLong, U32(1)}}, 1},
    {"LongExtremes", 700, {{700, tLong, U32(0)}}, {{700, tLong, U32(0xFFFFFFFFu)}}, -1},
    {"SLongExtremes",
     700,
     {{700, tSLong, test::Values<std::int32_t>({INT32_MIN})}},
     {{700, tSLong, test::Values<std::int32_t>({INT32_MAX})}},
     -1},
    {"Rational", 33434, {Rat(33434, 1, 3)}, {Rat(33434, 1, 2)}, -1},
    {"RationalCloseValues", 33434, {Rat(33434, 1000001, 1000000)}, {Rat(33434, 1, 1)}, 1},
    {"SRational", 37380, {SRat(37380, -1, 2)}, {SRat(37380, 1, 3)}, -1},
    {"ApertureByFNumberNotText", 37378, {Rat(37378, 7, 1)}, {Rat(37378, 3, 1)}, 1},  // F11.3 after F2.8
    {"RationalZeroDenominatorCountsAsZero", 33434, {Rat(33434, 5, 0)}, {Rat(33434, 1, 10)}, -1},
    {"AsciiCaseSensitive", 271, {Text(271, "B")}, {Text(271, "a")}, -1},
    {"AsciiPrefixFirst", 271, {Text(271, "Can")}, {Text(271, "Canon")}, -1},
    {"AsciiStopsAtZero", 271, {{271, tAscii, Raw(std::string_view("ab\0z", 4))}}, {Text(271, "ab")}, 0},
    {"DifferentTypesAsText", 700, {{700, tAscii, Ascii("9")}}, {{700, tUndefined, Raw("10")}}, 1},
    {"OtherTypeEqual", 700, {{700, 11, U32(1)}}, {{700, 11, U32(2)}}, 0},
    {"Version", 0x9000, {{0x9000, tUndefined, Raw("0210")}}, {{0x9000, tUndefined, Raw("0220")}}, -1},
    {"CommentByTextNotPrefix",
     37510,
     {{37510, tUndefined, Prefixed("UNICODE", Utf16Le(u"b"))}},
     {{37510, tUndefined, Prefixed("ASCII", Raw("c"))}},
     -1},
    {"CommentAfterUndefinedPrefix",
     37510,
     {{37510, tUndefined, Prefixed("ASCII", Raw("same"))}},
     {{37510, tUndefined, Prefixed("", Raw("same"))}},
     0},
};

INSTANTIATE_TEST_SUITE_P(Rows, CompareByItem, ::testing::ValuesIn(CompareRows),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(Compare, MissingItemsSortLastInBothDirections)
{
    TVekImageInfoFormat format;
    for (std::uint32_t id : {std::uint32_t{37385}, TagExifVersion, TagUserComment}) {
        SCOPED_TRACE(id);
        std::vector<std::unique_ptr<TVekImageInfo>> infos;
        const Bytes small = id == 37385 ? U16(0) : id == TagExifVersion ? Raw("0100") : Prefixed("ASCII", Raw("a"));
        const Bytes large = id == 37385 ? U16(1) : id == TagExifVersion ? Raw("0300") : Prefixed("ASCII", Raw("b"));
        const std::uint16_t type = id == 37385 ? tShort : tUndefined;
        infos.push_back(MakeInfo({}, "/x/missing1.jpg"));
        infos.push_back(MakeInfo({{id, type, large}}, "/x/large.jpg"));
        infos.push_back(MakeInfo({}, "/x/missing2.jpg"));
        infos.push_back(MakeInfo({{id, type, small}}, "/x/small.jpg"));
        for (const bool descending : {false, true}) {
            std::vector<const TVekImageInfo*> order;
            for (const auto& info : infos)
                order.push_back(info.get());
            std::stable_sort(order.begin(), order.end(), [&](const TVekImageInfo* a, const TVekImageInfo* b) {
                return format.Compare(*a, *b, descending, id) < 0;
            });
            std::vector<std::string> names;
            for (const TVekImageInfo* info : order)
                names.push_back(toolkit::ExtractFileName(info->GetFileName()));
            const std::vector<std::string> expected =
                descending ? std::vector<std::string>{"large.jpg", "small.jpg", "missing1.jpg", "missing2.jpg"}
                           : std::vector<std::string>{"small.jpg", "large.jpg", "missing1.jpg", "missing2.jpg"};
            EXPECT_EQ(names, expected) << (descending ? "descending" : "ascending");
        }
    }
}

TEST(Compare, FileNamesAndFoldersIgnoreCase)
{
    TVekImageInfoFormat format;
    auto lower = MakeInfo({}, "/photos/b/a.jpg");
    auto upper = MakeInfo({}, "/PHOTOS/A/B.JPG");
    EXPECT_LT(format.Compare(*lower, *upper, false, PropertyIdFileName), 0);
    EXPECT_GT(format.Compare(*lower, *upper, false, PropertyIdFileLocation), 0);
    auto same = MakeInfo({}, "/Photos/B/A.JPG");
    EXPECT_EQ(format.Compare(*lower, *same, false, PropertyIdFileName), 0);
    EXPECT_EQ(format.Compare(*lower, *same, true, PropertyIdFileLocation), 0);
}

TEST(Compare, FileFactDifferencesDoNotOverflow)
{
    TVekImageInfoFormat format;
    test::TTempFolder folder;
    // A sparse file of more than 4 GiB: its size does not fit 32 bits.
    const std::string huge = folder.File("huge.bin");
    {
        std::ofstream create(huge);
    }
    std::error_code error;
    std::filesystem::resize_file(huge, 5'000'000'000ull, error);
    if (error)
        GTEST_SKIP() << "no sparse files here: " << error.message();
    const std::string tiny = folder.WriteText("tiny.bin", "x");
    const TVekImageInfo hugeInfo(huge);
    const TVekImageInfo tinyInfo(tiny);
    EXPECT_EQ(hugeInfo.GetFileSize(), 5'000'000'000);
    EXPECT_GT(format.Compare(hugeInfo, tinyInfo, false, PropertyIdFileSize), 0);
    EXPECT_LT(format.Compare(hugeInfo, tinyInfo, true, PropertyIdFileSize), 0);

    // Headers that claim the largest dimensions: width times height overflows 32 bits.
    const std::string big = folder.Write("big.jpg", fx::JpegBytes().Frame(65535, 65535).ScanData(Bytes(16, 0)).Build());
    const std::string wide =
        folder.Write("wide.jpg", fx::JpegBytes().Frame(65535, 32768).ScanData(Bytes(16, 0)).Build());
    const std::string small = folder.Write("small.jpg", fx::JpegBytes().Frame(8, 8).Build());
    const TVekImageInfo bigInfo(big), wideInfo(wide), smallInfo(small);
    ASSERT_EQ(bigInfo.GetLoadStatus(), imaging::Status::Ok);
    ASSERT_EQ(wideInfo.GetLoadStatus(), imaging::Status::Ok);
    EXPECT_GT(format.Compare(bigInfo, smallInfo, false, PropertyIdDimension), 0);
    EXPECT_GT(format.Compare(bigInfo, wideInfo, false, PropertyIdDimension), 0);
    EXPECT_LT(format.Compare(smallInfo, wideInfo, false, PropertyIdDimension), 0);
}

TEST(Compare, ResolutionsAndPixelFormatsOfRealImages)
{
    TVekImageInfoFormat format;
    test::TTempFolder folder;
    const TVekImageInfo sharp(folder.Write("sharp.jpg", fx::JpegBytes().Jfif(1, 300, 300).Frame(8, 8).Build()));
    const TVekImageInfo soft(folder.Write("soft.jpg", fx::JpegBytes().Jfif(1, 72, 72).Frame(8, 8).Build()));
    const TVekImageInfo grey(folder.Write("grey.jpg", fx::JpegBytes().Jfif(1, 72, 72).Frame(8, 8, 1).Build()));
    EXPECT_GT(format.Compare(sharp, soft, false, PropertyIdResolution), 0);
    EXPECT_LT(format.Compare(sharp, soft, true, PropertyIdResolution), 0);
    EXPECT_EQ(format.Compare(soft, grey, false, PropertyIdResolution), 0);
    EXPECT_GT(format.Compare(soft, grey, false, PropertyIdPixelFormat), 0);
    EXPECT_EQ(format.Compare(soft, sharp, false, PropertyIdFileFormat), 0);
}

TEST(Compare, ThirtyFiveMillimetreByComputedValue)
{
    TVekImageInfoFormat format;
    format.GetFactorTable().SetFactor("Maker", "Small Sensor", 2.0f);
    format.GetFactorTable().SetFactor("Maker", "Full Frame", 1.0f);
    auto cropped = MakeInfo({Rat(37386, 30, 1), Text(271, "Maker"), Text(272, "Small Sensor")});
    auto full = MakeInfo({Rat(37386, 50, 1), Text(271, "Maker"), Text(272, "Full Frame")});
    EXPECT_GT(format.Compare(*cropped, *full, false, PropertyId35mmEquivalent), 0);  // 60 mm against 50 mm
    EXPECT_LT(format.Compare(*cropped, *full, true, PropertyId35mmEquivalent), 0);
}

}  // namespace
}  // namespace ovrel::core
