#include "core/ImageInfo.h"

#include "CoreTestSupport.h"
#include "core/PropertyCatalog.h"
#include "imaging/Builders.h"
#include "imaging/PixelBuilders.h"
#include "support/Unprivileged.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ovrel::core {
namespace {

using test::Ascii;
using test::Bytes;
using test::MakeInfo;
using test::Rational;
using test::U16;
namespace fx = imaging::fixtures;
namespace px = imaging::pixelfixtures;

constexpr std::uint32_t TagArtist = 315;
constexpr std::uint32_t TagTitle = 0x0320;

Bytes ReadAll(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// ---- the user comment ------------------------------------------------------------------------------------------

struct TUserCommentRow {
    const char* Name;
    bool BigEndianFile;
    const char* Text;
    Bytes Stored;  // the item's value after the character code
    const char* Code;
};

void PrintTo(const TUserCommentRow& row, std::ostream* out) { *out << row.Name; }

class ImageInfoUserComment : public ::testing::TestWithParam<TUserCommentRow> {};

TEST_P(ImageInfoUserComment, IsWrittenWithItsCharacterCodeAndReadsBack)
{
    const TUserCommentRow& row = GetParam();
    test::TTempFolder folder;
    const Bytes exif = fx::TiffBytes(row.BigEndianFile)
                           .Ascii(fx::Dir::Ifd0, TagMake, "Maker")
                           .Undefined(fx::Dir::Exif, TagUserComment, test::Raw(std::string_view("ASCII\0\0\0old", 11)))
                           .Build();
    const std::string file = folder.Write("comment.jpg", fx::JpegBytes().Exif(exif).Frame(8, 8).Build());
    TVekImageInfo info(file);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    ASSERT_EQ(info.GetMetadataBigEndian(), row.BigEndianFile);

    info.SetUserComment(row.Text);
    const TPropertyItem* item = info.GetMetadata().Find(TagUserComment);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->type, imaging::PropertyTagTypeUndefined);
    EXPECT_EQ(Bytes(item->value, item->value + item->length),
              test::Concat(test::Raw(std::string_view(row.Code, 8)), row.Stored));
    EXPECT_EQ(UserCommentText(item->Bytes()), row.Text);

    ASSERT_TRUE(info.SaveToFile());
    const TVekImageInfo saved(file);
    EXPECT_EQ(saved.GetPropertyText(TagUserComment), row.Text);
    EXPECT_EQ(saved.GetPropertyText(TagMake), "Maker");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ImageInfoUserComment,
    ::testing::Values(
        TUserCommentRow{"Ascii", false, "Hello", test::Raw("Hello"), "ASCII\0\0\0"},
        TUserCommentRow{"AsciiInABigEndianFile", true, "Hello", test::Raw("Hello"), "ASCII\0\0\0"},
        TUserCommentRow{"Empty", false, "", {}, "ASCII\0\0\0"},
        TUserCommentRow{"UnicodeLittleEndian", false, "Grüße", {'G', 0, 'r', 0, 0xFC, 0, 0xDF, 0, 'e', 0}, "UNICODE\0"},
        TUserCommentRow{"UnicodeBigEndian", true, "Grüße", {0, 'G', 0, 'r', 0, 0xFC, 0, 0xDF, 0, 'e'}, "UNICODE\0"}),
    [](const auto& row) { return std::string(row.param.Name); });

// ---- pseudo-properties -------------------------------------------------------------------------------------

TEST(ImageInfoProperties, FileFactsComeFirstThenTheItems)
{
    auto info = MakeInfo({{271, 2, Ascii("Make")}, {274, 3, U16(1)}});
    ASSERT_EQ(info->GetPropertyCount(), 10);
    for (int index = 0; index < 8; ++index)
        EXPECT_EQ(info->GetPropertyId(index), 0xFFFEu - static_cast<std::uint32_t>(index)) << index;
    EXPECT_EQ(info->GetPropertyId(8), 271u);
    EXPECT_EQ(info->GetPropertyId(9), 274u);
    EXPECT_EQ(info->GetPropertyId(10), PropertyIdNone);
    EXPECT_EQ(info->GetPropertyId(-1), PropertyIdNone);

    TPropertyItem item;
    item.id = 12345;
    info->GetPropertyItem(3, item);
    EXPECT_EQ(item.id, 12345u) << "a file fact leaves the record untouched";
    info->GetPropertyItem(9, item);
    EXPECT_EQ(item.id, 274u);
    EXPECT_EQ(item.type, 3);
    EXPECT_EQ(item.value, info->GetMetadata().Find(274)->value) << "the value stays owned by the metadata";
}

TEST(ImageInfoProperties, FileFactsExistEvenWithoutAReadableFile)
{
    auto info = MakeInfo({});
    EXPECT_NE(info->GetLoadStatus(), imaging::Status::Ok);
    for (std::uint32_t id = PropertyIdResolution; id <= PropertyIdFileName; ++id)
        EXPECT_TRUE(info->HasProperty(id)) << std::hex << id;
    EXPECT_FALSE(info->HasProperty(PropertyIdNone));
    EXPECT_FALSE(info->HasProperty(PropertyId35mmEquivalent));
    EXPECT_FALSE(info->HasProperty(271));
    EXPECT_EQ(info->GetPropertyText(PropertyIdFileName), "image.jpg");
    EXPECT_EQ(info->GetPropertyCaption(PropertyIdFileName), "File Name");
}

TEST(ImageInfoProperties, ThirtyFiveMillimetreNeedsFocalLengthMakeAndModel)
{
    struct Row {
        const char* Name;
        bool Focal, Make, Model;
    };
    const Row rows[] = {
        {"All", true, true, true},      {"NoFocal", false, true, true},    {"NoMake", true, false, true},
        {"NoModel", true, true, false}, {"OnlyFocal", true, false, false}, {"None", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        auto info = MakeInfo({});
        if (row.Focal)
            info->SetPropertyItem(TagFocalLength, 5, 8, Rational(50, 1).data());
        if (row.Make)
            info->SetPropertyText(TagMake, "Make");
        if (row.Model)
            info->SetPropertyText(TagModel, "Model");
        const bool expected = row.Focal && row.Make && row.Model;
        EXPECT_EQ(info->HasProperty(PropertyId35mmEquivalent), expected);
        EXPECT_EQ(info->GetPropertyCaption(PropertyId35mmEquivalent).empty(), !expected);
        EXPECT_EQ(info->GetPropertyText(PropertyId35mmEquivalent).empty(), !expected);
    }
}

TEST(ImageInfoProperties, CaptionAndTextAreEmptyForMissingOrUncataloguedIds)
{
    auto info = MakeInfo({{0x9999, 2, Ascii("private")}, {TagMake, 2, Ascii("Make")}});
    EXPECT_EQ(info->GetPropertyCaption(0x9999), "") << "no catalogue row";
    EXPECT_EQ(info->GetPropertyText(0x9999), "private");
    EXPECT_EQ(info->GetPropertyCaption(TagMake), "Camera Manufacturer");
    EXPECT_EQ(info->GetPropertyCaption(TagModel), "") << "the image lacks it";
    EXPECT_EQ(info->GetPropertyText(TagModel), "");
}

TEST(ImageInfoProperties, SetTextClearAndDate)
{
    test::TPinnedClock clock(toolkit::EncodeDate(2001, 2, 3));
    auto info = MakeInfo({});
    EXPECT_EQ(info->GetPropertyDate(306), clock.Get()) << "a missing date is now";
    info->SetPropertyText(306, "2020:01:02 03:04:05");
    EXPECT_EQ(info->GetPropertyDate(306), toolkit::EncodeDateTime(2020, 1, 2, 3, 4, 5, 0));
    const TPropertyItem* item = info->GetMetadata().Find(306);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->type, 2);
    EXPECT_EQ(item->length, 20u);
    info->ClearProperties();
    EXPECT_EQ(info->GetPropertyCount(), 8);
    EXPECT_FALSE(info->HasProperty(306));
}

// ---- EXIF dates ----------------------------------------------------------------------------------------------

TEST(ExifDateTime, ParsesFixedPositionsAndFallsBackToNow)
{
    const test::TPinnedClock clock(toolkit::EncodeDateTime(1999, 12, 31, 23, 59, 58, 0));
    struct Row {
        const char* Name;
        const char* Text;
        toolkit::TDateTime Expected;
    };
    const Row rows[] = {
        {"Ordinary", "2024:05:06 07:08:09", toolkit::EncodeDateTime(2024, 5, 6, 7, 8, 9, 0)},
        {"SeparatorsNotExamined", "2024-05-06T07.08.09", toolkit::EncodeDateTime(2024, 5, 6, 7, 8, 9, 0)},
        {"TrailingZeroAndMore", "2024:05:06 07:08:09\0xyz", toolkit::EncodeDateTime(2024, 5, 6, 7, 8, 9, 0)},
        {"LeapDay", "2024:02:29 00:00:00", toolkit::EncodeDate(2024, 2, 29)},
        {"UnsetCameraClock", "0000:00:00 00:00:00", clock.Get()},
        {"NoSuchDay", "2023:02:29 12:00:00", clock.Get()},
        {"HourOutOfRange", "2023:01:01 24:00:00", clock.Get()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_DOUBLE_EQ(ParseExifDateTime(row.Text), row.Expected);
    }
}

TEST(ExifDateTime, FieldThatIsNotANumberRaises)
{
    for (const char* text : {"2024:05:06 07:08:xx", "", "2024:05", "    :05:06 07:08:09"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW((void)ParseExifDateTime(text), toolkit::EConvertError);
    }
}

TEST(ExifDateTime, FormatsWithFixedSeparatorsAndOneZero)
{
    const test::TPinnedSettings settings;
    toolkit::FormatSettings().TimeSeparator = '.';
    const toolkit::TDateTime value = toolkit::EncodeDateTime(2003, 4, 5, 6, 7, 8, 900);
    const std::string text = FormatExifDateTime(value);
    EXPECT_EQ(text, std::string("2003:04:05 06:07:08\0", 20));

    // Stored through the text setter the value takes its own zero as well: 21 bytes.
    auto info = MakeInfo({});
    info->SetPropertyText(36867, text);
    EXPECT_EQ(info->GetMetadata().Find(36867)->length, 21u);
    EXPECT_DOUBLE_EQ(ParseExifDateTime(text), toolkit::EncodeDateTime(2003, 4, 5, 6, 7, 8, 0));
}

// ---- thumbnails ----------------------------------------------------------------------------------------------

class TRecordingCanvas : public TThumbnailCanvas {
public:
    void DrawImage(const imaging::RgbaImage& image, const TRect& dest) override
    {
        ++Calls;
        Image = image;
        Dest = dest;
    }
    int Calls = 0;
    imaging::RgbaImage Image;
    TRect Dest;
};

Bytes RedJpeg(std::uint32_t width, std::uint32_t height, const Bytes& app1 = {})
{
    return px::EncodeJpeg(
        width, height, [](std::uint32_t, std::uint32_t) { return 0xFF0000u; }, 3, app1);
}

TEST(ImageInfoThumbnail, FitsTheBoxCentresInTheRectAndIsCached)
{
    test::TTempFolder folder;
    const std::string file = folder.Write("wide.jpg", RedJpeg(66, 34));
    TVekImageInfo info(file);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    EXPECT_EQ(info.GetThumbnail(), nullptr);

    TRecordingCanvas canvas;
    info.DrawThumbnail(canvas, TRect{10, 10, 110, 110}, 16, 16);
    ASSERT_EQ(canvas.Calls, 1);
    EXPECT_EQ(canvas.Image.Width, 16u);
    EXPECT_EQ(canvas.Image.Height, 8u);
    EXPECT_EQ(canvas.Dest, (TRect{52, 56, 68, 64}));
    ASSERT_EQ(canvas.Image.Pixels.size(), 16u * 8u * 4u);
    const std::size_t middle = (4 * 16 + 8) * 4;
    EXPECT_GT(canvas.Image.Pixels[middle], 200);  // red
    EXPECT_LT(canvas.Image.Pixels[middle + 1], 60);  // green
    EXPECT_LT(canvas.Image.Pixels[middle + 2], 60);  // blue
    const imaging::Image* cached = info.GetThumbnail();
    ASSERT_NE(cached, nullptr);

    // The cached thumbnail is reused even when the box changes or the file goes away.
    std::filesystem::remove(file);
    info.DrawThumbnail(canvas, TRect{0, 0, 16, 8}, 100, 100);
    EXPECT_EQ(canvas.Calls, 2);
    EXPECT_EQ(info.GetThumbnail(), cached);
    EXPECT_EQ(canvas.Dest, (TRect{0, 0, 16, 8}));
}

TEST(ImageInfoThumbnail, UnreadableFileDrawsNothingAndIsTriedAgain)
{
    test::TTempFolder folder;
    const std::string file = folder.WriteText("late.jpg", "not an image yet");
    TVekImageInfo info(file);
    TRecordingCanvas canvas;
    info.DrawThumbnail(canvas, TRect{0, 0, 50, 50}, 20, 20);
    EXPECT_EQ(canvas.Calls, 0);
    EXPECT_EQ(info.GetThumbnail(), nullptr);

    folder.Write("late.jpg", RedJpeg(20, 20));
    info.DrawThumbnail(canvas, TRect{0, 0, 50, 50}, 20, 20);
    ASSERT_EQ(canvas.Calls, 1);
    EXPECT_EQ(canvas.Image.Width, 20u);
    EXPECT_EQ(canvas.Dest, (TRect{15, 15, 35, 35}));
}

// ---- saving and clearing -------------------------------------------------------------------------------------

struct TSampleFile {
    const char* Name;
    const char* FileName;
    Bytes (*Make)();
};

Bytes SampleJpeg()
{
    const Bytes exif = fx::TiffBytes()
                           .Ascii(fx::Dir::Ifd0, TagMake, "Maker")
                           .Ascii(fx::Dir::Ifd0, TagModel, "Model One")
                           .Short(fx::Dir::Ifd0, 274, {1})
                           .Rational(fx::Dir::Exif, TagFocalLength, {{50, 1}})
                           .Build();
    return fx::JpegBytes().Exif(exif).Comment("kept comment").Frame(16, 16).Build();
}

Bytes SampleTiff()
{
    return fx::RgbTiff(4, 4, false)
        .Ascii(fx::Dir::Ifd0, TagMake, "Maker")
        .Ascii(fx::Dir::Ifd0, TagModel, "Model One")
        .Build();
}

Bytes SamplePng()
{
    return px::SmallRgbPng()
        .Gamma(45455)
        .TextChunk("Title", "Old title")
        .TextChunk("Software", "kept")
        .Pixels(px::SmallRgbPixels(), 6)
        .End()
        .Build();
}

const TSampleFile SampleFiles[] = {
    {"Jpeg", "sample.jpg", &SampleJpeg},
    {"Tiff", "sample.tif", &SampleTiff},
    {"Png", "sample.png", &SamplePng},
};

class ImageInfoSave : public ::testing::TestWithParam<TSampleFile> {
protected:
    void SetUp() override
    {
        FFile = FFolder.Write(GetParam().FileName, GetParam().Make());
        FOriginal = imaging::Image::FromFile(FFile);
        ASSERT_EQ(FOriginal->GetLastStatus(), imaging::Status::Ok);
        ASSERT_EQ(FOriginal->Decode(FOriginalPixels), imaging::Status::Ok);
    }

    // The pixels of the file on disk equal those it was made with.
    void ExpectSamePixels()
    {
        const auto image = imaging::Image::FromFile(FFile);
        ASSERT_EQ(image->GetLastStatus(), imaging::Status::Ok);
        imaging::RgbaImage pixels;
        ASSERT_EQ(image->Decode(pixels), imaging::Status::Ok);
        EXPECT_EQ(pixels.Width, FOriginalPixels.Width);
        EXPECT_EQ(pixels.Height, FOriginalPixels.Height);
        EXPECT_EQ(pixels.Pixels, FOriginalPixels.Pixels);
    }

    test::TTempFolder FFolder;
    std::string FFile;
    std::unique_ptr<imaging::Image> FOriginal;
    imaging::RgbaImage FOriginalPixels;
};

// The one id each format stores as a plain text, to be changed by the round trip.
std::uint32_t EditableTextId(const std::string& name) { return name == "Png" ? TagTitle : TagModel; }

TEST_P(ImageInfoSave, SaveToFileChangesOnlyTheEditedItems)
{
    const std::uint32_t editedId = EditableTextId(GetParam().Name);
    TVekImageInfo info(FFile);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    TRecordingCanvas canvas;
    info.DrawThumbnail(canvas, TRect{0, 0, 10, 10}, 8, 8);
    ASSERT_NE(info.GetThumbnail(), nullptr);

    info.SetPropertyText(editedId, "A rather longer new text than before");
    const bool addArtist = std::string(GetParam().Name) != "Png";
    if (addArtist)
        info.SetPropertyText(TagArtist, "Someone");
    ASSERT_TRUE(info.SaveToFile());
    EXPECT_EQ(NamesIn(FFolder.Path()), std::vector<std::string>{GetParam().FileName}) << "no temporary file left";

    const auto saved = imaging::Image::FromFile(FFile);
    ASSERT_EQ(saved->GetLastStatus(), imaging::Status::Ok);
    imaging::PropertyItem item;
    ASSERT_EQ(saved->GetPropertyItem(editedId, item), imaging::Status::Ok);
    EXPECT_EQ(item.Value, Ascii("A rather longer new text than before"));
    if (addArtist) {
        ASSERT_EQ(saved->GetPropertyItem(TagArtist, item), imaging::Status::Ok);
        EXPECT_EQ(item.Value, Ascii("Someone"));
    }
    for (const imaging::PropertyItem& before : FOriginal->GetAllPropertyItems()) {
        if (before.Id == editedId)
            continue;
        SCOPED_TRACE(before.Id);
        ASSERT_EQ(saved->GetPropertyItem(before.Id, item), imaging::Status::Ok);
        EXPECT_EQ(item, before);
    }
    ExpectSamePixels();

    // The facts and the thumbnail follow the new file.
    EXPECT_EQ(info.GetFileSize(), static_cast<std::int64_t>(std::filesystem::file_size(FFile)));
    EXPECT_EQ(info.GetThumbnail(), nullptr);
    EXPECT_EQ(info.GetWidth(), FOriginalPixels.Width);
    EXPECT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
}

TEST_P(ImageInfoSave, FailedSaveReturnsFalseAndLeavesTheFile)
{
    const Bytes before = ReadAll(FFile);
    TVekImageInfo info(FFile);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    const std::int64_t size = info.GetFileSize();
    info.SetPropertyText(EditableTextId(GetParam().Name), "never written");

    // The file turns unreadable between loading and saving.
    FFolder.Write(GetParam().FileName, Bytes(before.begin(), before.begin() + 20));
    EXPECT_FALSE(info.SaveToFile());
    EXPECT_FALSE(info.ClearExif());
    EXPECT_EQ(ReadAll(FFile).size(), 20u);
    EXPECT_EQ(info.GetFileSize(), size) << "facts are refreshed only after a success";

    // The file vanishes: nothing is created in its place.
    std::filesystem::remove(FFile);
    EXPECT_FALSE(info.SaveToFile());
    EXPECT_FALSE(info.ClearExif());
    EXPECT_TRUE(NamesIn(FFolder.Path()).empty());
}

TEST_P(ImageInfoSave, AReadOnlyFileIsRefusedBySaveAndClearAndLeftAsItWas)
{
    const Bytes before = ReadAll(FFile);
    std::filesystem::permissions(FFile, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const std::string result = testsupport::AsUnprivilegedUser({FFolder.Path(), FFile}, [&] {
        TVekImageInfo info(FFile);
        info.SetPropertyText(EditableTextId(GetParam().Name), "never written");
        const bool saved = info.SaveToFile();
        const std::string saveStatus = imaging::StatusText(info.GetSaveStatus());
        const bool cleared = info.ClearExif();
        return std::to_string(saved) + " " + saveStatus + ", " + std::to_string(cleared) + " " +
               imaging::StatusText(info.GetSaveStatus());
    });
    EXPECT_EQ(result, "0 Access denied, 0 Access denied");
    EXPECT_EQ(ReadAll(FFile), before);
    EXPECT_EQ(NamesIn(FFolder.Path()), std::vector<std::string>{GetParam().FileName}) << "no temporary file left";
}

TEST_P(ImageInfoSave, ClearExifRewritesTheFileAndKeepsTheMetadataInMemory)
{
    TVekImageInfo info(FFile);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    const int countBefore = info.GetMetadata().Count();
    ASSERT_GT(countBefore, 0);

    ASSERT_TRUE(info.ClearExif());
    EXPECT_EQ(NamesIn(FFolder.Path()), std::vector<std::string>{GetParam().FileName});
    EXPECT_EQ(info.GetMetadata().Count(), countBefore);
    EXPECT_EQ(info.GetFileSize(), static_cast<std::int64_t>(std::filesystem::file_size(FFile)));

    const auto cleared = imaging::Image::FromFile(FFile);
    ASSERT_EQ(cleared->GetLastStatus(), imaging::Status::Ok);
    imaging::PropertyItem item;
    EXPECT_NE(cleared->GetPropertyItem(EditableTextId(GetParam().Name), item), imaging::Status::Ok);
    EXPECT_LT(cleared->GetPropertyCount(), FOriginal->GetPropertyCount());
    // Items the format derives from the image itself (sizes, samples) cannot go; the texts do.
    const std::string name = GetParam().Name;
    if (name != "Png") {
        EXPECT_NE(cleared->GetPropertyItem(TagMake, item), imaging::Status::Ok);
    }
    if (name == "Jpeg") {
        EXPECT_NE(cleared->GetPropertyItem(TagFocalLength, item), imaging::Status::Ok);
    }
    ExpectSamePixels();
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageInfoSave, ::testing::ValuesIn(SampleFiles),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ImageInfoSaveJpeg, KeepsEverySegmentButTheExifOne)
{
    test::TTempFolder folder;
    const Bytes original = SampleJpeg();
    const std::string file = folder.Write("keep.jpeg", original);
    TVekImageInfo info(file);
    info.SetPropertyText(TagMake, "Other");
    ASSERT_TRUE(info.SaveToFile());
    const Bytes saved = ReadAll(file);
    // Everything from the comment segment on (comment, tables, frame, scan) is byte-identical.
    const Bytes comment{0xFF, 0xFE};
    const std::size_t before = fx::Find(original, comment);
    const std::size_t after = fx::Find(saved, comment);
    ASSERT_LT(before, original.size());
    ASSERT_LT(after, saved.size());
    EXPECT_TRUE(std::equal(original.begin() + static_cast<std::ptrdiff_t>(before), original.end(),
                           saved.begin() + static_cast<std::ptrdiff_t>(after), saved.end()));
}

TEST(ImageInfoSaveJpeg, NoEncoderForTheExtensionSavesNothing)
{
    test::TTempFolder folder;
    const Bytes original = SampleJpeg();
    for (const char* name : {"photo.dat", "photo"}) {
        SCOPED_TRACE(name);
        const std::string file = folder.Write(name, original);
        TVekImageInfo info(file);
        ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
        info.SetPropertyText(TagMake, "Other");
        EXPECT_FALSE(info.SaveToFile());
        EXPECT_FALSE(info.ClearExif());
        EXPECT_EQ(ReadAll(file), original);
        std::filesystem::remove(file);
        EXPECT_TRUE(NamesIn(folder.Path()).empty());
    }
}

TEST(ImageInfoSaveJpeg, ContentOfAnotherFormatIsNotRewrittenUnderItsName)
{
    test::TTempFolder folder;
    const Bytes png = SamplePng();
    const std::string file = folder.Write("mislabelled.jpg", png);
    TVekImageInfo info(file);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    info.SetPropertyText(TagArtist, "Someone");
    EXPECT_FALSE(info.SaveToFile());
    EXPECT_EQ(ReadAll(file), png);
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"mislabelled.jpg"});
}

TEST(MimeTypeOfFileName, KnownExtensionsAnyCase)
{
    struct Row {
        const char* Name;
        const char* Expected;
    };
    const Row rows[] = {
        {"a.jpg", "image/jpeg"},  {"a.JPEG", "image/jpeg"},       {"a.Jpe", "image/jpeg"}, {"a.tif", "image/tiff"},
        {"a.TIFF", "image/tiff"}, {"dir.png/a.PNG", "image/png"}, {"noextension", ""},     {"dir.jpg/noext", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MimeTypeOfFileName(row.Name), row.Expected) << row.Name;
}

}  // namespace
}  // namespace ovrel::core
