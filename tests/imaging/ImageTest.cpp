#include "imaging/Builders.h"
#include "imaging/PixelBuilders.h"
#include "imaging/TestSupport.h"
#include "platform/imaging/Image.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace ovrel::imaging {
namespace {

using namespace fixtures;

// A 2 x 1 24-bit bottom-up BMP.
Bytes SmallBmp()
{
    Bytes b = {'B',  'M',  62, 0, 0,    0,    0, 0, 0, 0, 54, 0, 0, 0,  // file header: size 62, pixels at 54
               40,   0,    0,  0, 2,    0,    0, 0, 1, 0, 0,  0,  // info header: width 2, height 1
               1,    0,    24, 0, 0,    0,    0, 0, 8, 0, 0,  0,  // one plane, 24 bits, no compression
               0x13, 0x0B, 0,  0, 0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0};
    Append(b, {255, 0, 0, 0, 255, 0, 0, 0});  // two pixels and row padding
    return b;
}

TEST(ImageOpen, RecognisesTheContentWhateverTheName)
{
    TempDir dir;
    const struct {
        const char* name;
        Bytes bytes;
        GUID format;
    } rows[] = {
        {"really-a-jpeg.png", JpegBytes().Frame(8, 8).Build(), ImageFormatJPEG},
        {"really-a-tiff.jpg", RgbTiff(2, 2, true).Build(), ImageFormatTIFF},
        {"no-extension", SmallBmp(), ImageFormatBMP},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile(dir.File(row.name), row.bytes);
        const auto image = Image::FromFile(dir.File(row.name));
        EXPECT_EQ(image->GetLastStatus(), Status::Ok);
        EXPECT_EQ(image->GetRawFormat(), row.format);
        EXPECT_EQ(image->GetFileName(), dir.File(row.name));
    }
}

TEST(ImageOpen, ReportsTheByteOrderOfTheExifStructureThatASaveKeeps)
{
    TempDir dir;
    const auto block = [](bool big) { return TiffBytes(big).Ascii(Dir::Ifd0, 0x010F, "Maker").Build(); };
    Bytes damaged = {'M', 'M', 0, 42, 0xFF, 0xFF, 0xFF, 0xFF};  // IFD0 past the end: no block to keep
    const struct {
        const char* name;
        Bytes bytes;
        bool bigEndian;
    } rows[] = {
        {"little.jpg", JpegBytes().Exif(block(false)).Frame(8, 8).Build(), false},
        {"big.jpg", JpegBytes().Exif(block(true)).Frame(8, 8).Build(), true},
        {"plain.jpg", JpegBytes().Frame(8, 8).Build(), false},
        {"damaged.jpg", JpegBytes().Exif(damaged).Frame(8, 8).Build(), false},
        {"big.tif", RgbTiff(2, 2, true).Build(), true},
        {"little.tif", RgbTiff(2, 2, false).Build(), false},
        {"big.png",
         pixelfixtures::SmallRgbPng()
             .Chunk("eXIf", block(true))
             .Pixels(pixelfixtures::SmallRgbPixels(), 6)
             .End()
             .Build(),
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile(dir.File(row.name), row.bytes);
        const auto image = Image::FromFile(dir.File(row.name));
        ASSERT_EQ(image->GetLastStatus(), Status::Ok);
        EXPECT_EQ(image->IsMetadataBigEndian(), row.bigEndian);
    }

    // A save writes the order it reported: the existing block's, or little-endian for a new one.
    for (const char* name : {"big.jpg", "plain.jpg"}) {
        SCOPED_TRACE(name);
        const auto image = Image::FromFile(dir.File(name));
        ASSERT_EQ(image->SetPropertyItem({0x013B, PropertyTagTypeASCII, {'A', 0}}), Status::Ok);
        ASSERT_EQ(image->SaveReplacing(dir.File(name), CodecJPEG), Status::Ok);
        EXPECT_EQ(Image::FromFile(dir.File(name))->IsMetadataBigEndian(), image->IsMetadataBigEndian());
    }
}

TEST(ImageOpen, AFileThatCannotBeReadHasAStatusAndNoFacts)
{
    TempDir dir;
    WriteFile(dir.File("empty.jpg"), {});
    WriteFile(dir.File("text.jpg"), {'h', 'e', 'l', 'l', 'o'});
    std::filesystem::create_directory(dir.File("folder.jpg"));
    const struct {
        const char* name;
        Status status;
    } rows[] = {
        {"missing.jpg", Status::FileNotFound},
        {"empty.jpg", Status::UnknownImageFormat},
        {"text.jpg", Status::UnknownImageFormat},
        {"folder.jpg", Status::Win32Error},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto image = Image::FromFile(dir.File(row.name));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetLastStatus(), row.status);
        EXPECT_EQ(image->GetWidth(), 0u);
        EXPECT_EQ(image->GetPropertyCount(), 0u);
        EXPECT_EQ(image->GetRawFormat(), ImageFormatUndefined);
        EXPECT_FLOAT_EQ(image->GetHorizontalResolution(), 96);
    }
}

class ImageItems : public ::testing::Test {
protected:
    std::unique_ptr<Image> FImage = Image::FromMemory(JpegBytes().Frame(8, 8).Build());
};

TEST_F(ImageItems, SetReplacesInPlaceOrAppends)
{
    ASSERT_EQ(FImage->SetPropertyItem(Ascii(0x010F, "A")), Status::Ok);
    EXPECT_EQ(Ids(FImage->GetAllPropertyItems()), (std::vector<std::uint32_t>{0x5090, 0x5091, 0x010F}));
    ASSERT_EQ(FImage->SetPropertyItem({0x5090, PropertyTagTypeByte, {1, 2, 3}}), Status::Ok);
    EXPECT_EQ(Ids(FImage->GetAllPropertyItems()), (std::vector<std::uint32_t>{0x5090, 0x5091, 0x010F}));
    PropertyItem item;
    ASSERT_EQ(FImage->GetPropertyItem(0x5090, item), Status::Ok);
    EXPECT_EQ(item, (PropertyItem{0x5090, PropertyTagTypeByte, {1, 2, 3}}));
    EXPECT_EQ(FImage->GetPropertyItem(0x0110, item), Status::PropertyNotFound);
}

TEST_F(ImageItems, SetRefusesAValueThatIsNotWholeElements)
{
    const PropertyItem rows[] = {
        {0x0100, PropertyTagTypeShort, {1, 2, 3}},
        {0x0100, PropertyTagTypeRational, Bytes(12)},
        {0x0100, 0, {1}},
        {0x0100, 42, {1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Type);
        EXPECT_EQ(FImage->SetPropertyItem(row), Status::InvalidParameter);
    }
    EXPECT_EQ(FImage->GetPropertyCount(), 2u);
}

TEST_F(ImageItems, DuplicateIdsSurviveApplyingTheListBack)
{
    // An image may list one id twice (GPS and interoperability index); setting its own items back
    // must not fold them into one.
    auto image = Image::FromMemory(JpegBytes().Exif(CameraExif(false).Build()).Frame(8, 8).Build());
    const auto items = image->GetAllPropertyItems();
    for (const auto& item : items)
        ASSERT_EQ(image->SetPropertyItem(item), Status::Ok);
    EXPECT_EQ(image->GetAllPropertyItems(), items);
    ASSERT_EQ(image->SetPropertyItem(Ascii(0x0001, "R03")), Status::Ok);  // the last of the id is replaced
    PropertyItem item;
    ASSERT_EQ(image->GetPropertyItem(0x0001, item), Status::Ok);
    EXPECT_EQ(item, Ascii(0x0001, "R03"));
    EXPECT_EQ(image->GetPropertyCount(), items.size());
}

TEST_F(ImageItems, RemoveTakesOneItemOfTheId)
{
    ASSERT_EQ(FImage->RemovePropertyItem(0x5090), Status::Ok);
    EXPECT_EQ(Ids(FImage->GetAllPropertyItems()), std::vector<std::uint32_t>{0x5091});
    EXPECT_EQ(FImage->RemovePropertyItem(0x5090), Status::PropertyNotFound);
    EXPECT_EQ(FImage->GetPropertySize(), 16u + 128u);
}

class ImageSaveFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        FName = FDir.File("photo.jpg");
        FOriginal = JpegBytes().Exif(CameraExif(false).Build()).Frame(16, 16).Build();
        WriteFile(FName, FOriginal);
        FImage = Image::FromFile(FName);
        ASSERT_EQ(FImage->SetPropertyItem(Ascii(0x010F, "Changed")), Status::Ok);
    }
    void ExpectUntouched()
    {
        EXPECT_EQ(ReadFile(FName), FOriginal);
        EXPECT_FALSE(std::filesystem::exists(FName + ".ExifTemp"));
    }
    TempDir FDir;
    std::string FName;
    Bytes FOriginal;
    std::unique_ptr<Image> FImage;
};

TEST_F(ImageSaveFailure, AnEncoderOfAnotherFormatIsNotUsed)
{
    for (const GUID& codec : {CodecPNG, CodecTIFF, CodecBMP, CodecGIF}) {
        EXPECT_EQ(FImage->SaveReplacing(FName, codec), Status::InvalidParameter);
        ExpectUntouched();
    }
    EXPECT_EQ(FImage->SaveReplacing(FName, MakeCodecGuid(0x12345678)), Status::FileNotFound);
    ExpectUntouched();
}

TEST_F(ImageSaveFailure, ATemporaryFileThatCannotBeWrittenLeavesTheOriginal)
{
    std::filesystem::create_directory(FName + ".ExifTemp");  // in the way, and not ours to remove
    EXPECT_NE(FImage->SaveReplacing(FName, CodecJPEG), Status::Ok);
    EXPECT_EQ(ReadFile(FName), FOriginal);
    EXPECT_TRUE(std::filesystem::is_directory(FName + ".ExifTemp"));
}

TEST_F(ImageSaveFailure, AnUnwritableFolderLeavesTheOriginal)
{
    std::filesystem::permissions(FDir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string result = testsupport::AsUnprivilegedUser(
        {FDir.Path(), FName}, [&] { return StatusText(FImage->SaveReplacing(FName, CodecJPEG)); });
    std::filesystem::permissions(FDir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(result, StatusText(Status::AccessDenied));
    ExpectUntouched();
}

TEST_F(ImageSaveFailure, AReadOnlyFileInAWritableFolderIsLeftAsItWas)
{
    const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read;
    std::filesystem::permissions(FName, readOnly);
    const std::string result = testsupport::AsUnprivilegedUser({FDir.Path(), FName}, [&] {
        return StatusText(FImage->SaveReplacing(FName, CodecJPEG)) + ", " + StatusText(FImage->Save(FName, CodecJPEG));
    });
    EXPECT_EQ(result, StatusText(Status::AccessDenied) + ", " + StatusText(Status::AccessDenied));
    ExpectUntouched();
    EXPECT_EQ(std::filesystem::status(FName).permissions(), readOnly);
}

TEST_F(ImageSaveFailure, AFolderThatDoesNotExistGivesAStatus)
{
    EXPECT_EQ(FImage->Save(FDir.File("no/such/folder.jpg"), CodecJPEG), Status::FileNotFound);
    EXPECT_EQ(FImage->SaveReplacing(FDir.File("no/such/folder.jpg"), CodecJPEG), Status::FileNotFound);
    ExpectUntouched();
}

TEST_F(ImageSaveFailure, AFileChangedSinceOpeningIsNotOverwritten)
{
    const Bytes other = JpegBytes().Frame(8, 8).Build();
    WriteFile(FName, other);
    EXPECT_EQ(FImage->SaveReplacing(FName, CodecJPEG), Status::WrongState);
    EXPECT_EQ(ReadFile(FName), other);
}

TEST_F(ImageSaveFailure, ItemsThatCannotBeStoredFailTheReadBackCheck)
{
    ASSERT_EQ(FImage->SetPropertyItem({0x00123456, PropertyTagTypeByte, {1}}), Status::Ok);  // not a tag
    EXPECT_EQ(FImage->SaveReplacing(FName, CodecJPEG), Status::GenericError);
    ExpectUntouched();
}

TEST(ImageSave, BmpAndGifHoldNoItemsAndChangeNothing)
{
    TempDir dir;
    const std::string name = dir.File("small.bmp");
    WriteFile(name, SmallBmp());
    const auto image = Image::FromFile(name);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->SaveReplacing(name, CodecBMP), Status::PropertyNotSupported);
    EXPECT_EQ(image->SaveReplacing(name, CodecJPEG), Status::InvalidParameter);
    EXPECT_EQ(ReadFile(name), SmallBmp());
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"small.bmp"});
}

TEST(ImageSave, KeepsThePermissionsOfTheReplacedFile)
{
    TempDir dir;
    const std::string name = dir.File("photo.jpg");
    WriteFile(name, JpegBytes().Frame(8, 8).Build());
    std::filesystem::permissions(name, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    auto image = Image::FromFile(name);
    ASSERT_EQ(image->SetPropertyItem(Ascii(0x0131, "Software")), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(name, CodecJPEG), Status::Ok);
    EXPECT_EQ(std::filesystem::status(name).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
}

TEST(ImageSave, SaveWritesAnotherFileAndLeavesTheSource)
{
    TempDir dir;
    const Bytes original = JpegBytes().Frame(8, 8).Build();
    WriteFile(dir.File("a.jpg"), original);
    auto image = Image::FromFile(dir.File("a.jpg"));
    ASSERT_EQ(image->SetPropertyItem(Ascii(0x0131, "Software")), Status::Ok);
    ASSERT_EQ(image->Save(dir.File("b.jpg"), CodecJPEG), Status::Ok);
    EXPECT_EQ(ReadFile(dir.File("a.jpg")), original);
    EXPECT_EQ(*ItemOf(Image::FromFile(dir.File("b.jpg"))->GetAllPropertyItems(), 0x0131), Ascii(0x0131, "Software"));
}

TEST(ImageEncoders, ListTheFiveBuiltInCodecsWithDistinctMimeTypes)
{
    const auto& encoders = GetImageEncoders();
    const std::vector<std::string> mimes = {"image/bmp", "image/jpeg", "image/gif", "image/tiff", "image/png"};
    ASSERT_EQ(encoders.size(), mimes.size());
    for (std::size_t i = 0; i < mimes.size(); ++i)
        EXPECT_EQ(encoders[i].MimeType, mimes[i]);
    EXPECT_EQ(encoders[1].Clsid, CodecJPEG);
    EXPECT_EQ(encoders[1].FormatID, ImageFormatJPEG);
}

TEST(ContentType, BuiltInExtensionsIgnoreCaseAndOthersAskTheResolver)
{
    SetContentTypeResolver(nullptr);
    const struct {
        const char* ext;
        const char* type;
    } rows[] = {{".jpg", "image/jpeg"},  {".JPEG", "image/jpeg"}, {".Jpe", "image/jpeg"}, {".tif", "image/tiff"},
                {".TIFF", "image/tiff"}, {".png", "image/png"},   {".bmp", ""},           {"", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ext);
        EXPECT_EQ(ContentTypeOfExtension(row.ext), row.type);
    }
    SetContentTypeResolver(
        [](std::string_view ext) { return ext == ".webp" ? std::string("image/webp") : std::string(); });
    EXPECT_EQ(ContentTypeOfExtension(".webp"), "image/webp");
    EXPECT_EQ(ContentTypeOfExtension(".jpg"), "image/jpeg");
    SetContentTypeResolver([](std::string_view) -> std::string { throw std::runtime_error("no database"); });
    EXPECT_EQ(ContentTypeOfExtension(".webp"), "");
    SetContentTypeResolver(nullptr);
}

TEST(StatusText, EveryStatusHasItsOwnText)
{
    std::set<std::string> texts;
    for (int s = 0; s <= static_cast<int>(Status::ProfileNotFound); ++s)
        texts.insert(StatusText(static_cast<Status>(s)));
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(Status::ProfileNotFound) + 1);
    EXPECT_EQ(StatusText(Status::Ok), "Ok");
}

}  // namespace
}  // namespace ovrel::imaging
