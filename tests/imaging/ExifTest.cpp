#include "imaging/Builders.h"
#include "imaging/TestSupport.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Structure_p.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace ovrel::imaging {
namespace {

using namespace fixtures;
using detail::ReadExifBlock;
using detail::WriteExifBlock;

std::vector<PropertyItem> Read(const Bytes& block)
{
    std::vector<PropertyItem> items;
    EXPECT_EQ(ReadExifBlock(block, items), Status::Ok);
    return items;
}

class ExifByteOrder : public ::testing::TestWithParam<bool> {};

TEST_P(ExifByteOrder, ListsEveryDirectoryInOrderWithValuesInMachineOrder)
{
    TiffBytes builder = CameraExif(GetParam());
    const Bytes block = builder.Build();
    const auto items = Read(block);
    const std::vector<std::uint32_t> expected = {
        0x010F, 0x0110, 0x011A, 0x011B, 0x0128, 0x0132, 0x8769, 0x8825,  // IFD0
        0x829A, 0x829D, 0x9000, 0x9204, 0x9209, 0x920A, 0x927C, 0xA005,  // Exif
        0x0000, 0x0001, 0x0002,  // GPS
        0x0001,  // interoperability
        0x5023,  // first IFD
        0x5012, 0x5013, 0x5014, 0x5015, 0x5016, 0x5017, 0x5018, 0x5019, 0x501B};  // thumbnail
    EXPECT_EQ(Ids(items), expected);

    struct Row {
        std::size_t index;
        std::uint16_t type;
        Bytes value;
    };
    const Row rows[] = {
        {0, PropertyTagTypeASCII, AsciiValue("Ovrel")},
        {4, PropertyTagTypeShort, Native<std::uint16_t>({2})},
        {8, PropertyTagTypeRational, Native<std::uint32_t>({1, 125})},
        {10, PropertyTagTypeUndefined, {'0', '2', '2', '0'}},
        {11, PropertyTagTypeSRational, Native<std::int32_t>({-2, 3})},
        {14, PropertyTagTypeUndefined, MakerNote(40)},
        {16, PropertyTagTypeByte, {2, 3, 0, 0}},
        {18, PropertyTagTypeRational, Native<std::uint32_t>({48, 1, 51, 1, 30, 1})},
        {19, PropertyTagTypeASCII, AsciiValue("R98")},
        {20, PropertyTagTypeShort, Native<std::uint16_t>({6})},
        {21, PropertyTagTypeLong, Native<std::uint32_t>({1})},  // thumbnail format: JPEG
        {22, PropertyTagTypeLong, Native<std::uint32_t>({16})},  // thumbnail width
        {23, PropertyTagTypeLong, Native<std::uint32_t>({12})},  // thumbnail height
        {29, PropertyTagTypeByte, JpegBytes().Frame(16, 12).Build()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        ASSERT_LT(row.index, items.size());
        EXPECT_EQ(items[row.index].Type, row.type);
        EXPECT_EQ(items[row.index].Value, row.value);
        EXPECT_EQ(items[row.index].Length(), row.value.size());
    }
    // The pointer is listed too, as a long holding the offset the file gives.
    EXPECT_EQ(items[6].Type, PropertyTagTypeLong);
    EXPECT_EQ(items[6].Length(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Orders, ExifByteOrder, ::testing::Values(false, true),
                         [](const auto& row) { return std::string(row.param ? "BigEndian" : "LittleEndian"); });

TEST(ExifWriter, RewritesAnUnchangedListToTheSameBytes)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big);
        const Bytes block = CameraExif(big).Build();
        Bytes out;
        ASSERT_EQ(WriteExifBlock(block, Read(block), out), Status::Ok);
        EXPECT_EQ(out, block);
    }
}

TEST(ExifWriter, KeepsTheMakerNoteAtItsOffsetWhenAnotherValueGrows)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big);
        TiffBytes builder = CameraExif(big, 300);
        const Bytes block = builder.Build();
        const std::uint32_t noteAt = builder.ValueOffset(Dir::Exif, 0x927C);
        auto items = Read(block);
        for (auto& item : items)
            if (item.Id == 0x010F)
                item = Ascii(0x010F, "A much longer camera maker name than before");
        items.push_back(Ascii(0x013B, "Artist Name"));  // a new IFD0 entry: the directory grows
        items.push_back(Ascii(0xA420, "0123456789abcdef"));  // a new Exif entry
        Bytes out;
        ASSERT_EQ(WriteExifBlock(block, items, out), Status::Ok);
        ASSERT_GE(out.size(), noteAt + 300);
        EXPECT_TRUE(std::equal(block.begin() + noteAt, block.begin() + noteAt + 300, out.begin() + noteAt));
        EXPECT_EQ(out[0], big ? 'M' : 'I');

        const auto back = Read(out);
        EXPECT_EQ(ItemOf(back, 0x010F)->Value, AsciiValue("A much longer camera maker name than before"));
        EXPECT_EQ(ItemOf(back, 0x013B)->Value, AsciiValue("Artist Name"));
        EXPECT_EQ(ItemOf(back, 0xA420)->Value, AsciiValue("0123456789abcdef"));
        EXPECT_EQ(ItemOf(back, 0x927C)->Value, MakerNote(300));
        EXPECT_EQ(ItemOf(back, 0x501B)->Value, JpegBytes().Frame(16, 12).Build());
    }
}

TEST(ExifWriter, ClearsTheBytesOfRemovedValues)
{
    const Bytes block = CameraExif(false).Build();
    auto items = Read(block);
    std::erase_if(items, [](const PropertyItem& i) { return i.Id == 0x0132 || i.Id == 0x501B; });
    Bytes out;
    ASSERT_EQ(WriteExifBlock(block, items, out), Status::Ok);
    EXPECT_EQ(Find(out, AsciiValue("2004:07:15 13:45:09")), out.size());
    EXPECT_EQ(Find(out, JpegBytes().Frame(16, 12).Build()), out.size());
    const auto back = Read(out);
    EXPECT_EQ(ItemOf(back, 0x0132), nullptr);
    EXPECT_EQ(ItemOf(back, 0x501B), nullptr);
    EXPECT_EQ(ItemOf(back, 0x5012), nullptr);  // no thumbnail, no thumbnail facts
}

TEST(ExifWriter, BuildsANewBlockThatPlacesItemsInTheirDirectories)
{
    const std::vector<PropertyItem> items = {
        Ascii(0x010F, "Maker"),
        {0x829A, PropertyTagTypeRational, Native<std::uint32_t>({1, 60})},
        Ascii(0x0001, "S"),
        {0x5023, PropertyTagTypeShort, Native<std::uint16_t>({6})},
        {0x501B, PropertyTagTypeByte, JpegBytes().Frame(8, 8, 1).Build()},
        {0x8769, PropertyTagTypeLong, Native<std::uint32_t>({12345})},  // derived: regenerated
        {0x5090, PropertyTagTypeShort, Bytes(128)},  // derived: not part of a block
        {0x12345, PropertyTagTypeByte, {1}},  // not a tag
    };
    Bytes out;
    ASSERT_EQ(WriteExifBlock({}, items, out), Status::Ok);
    EXPECT_EQ(out[0], 'I');
    detail::ParsedStructure parsed;
    ASSERT_TRUE(detail::ParseStructure(out, detail::StructureMode::ExifBlock, parsed));
    const auto back = Read(out);
    const std::vector<std::uint32_t> ids = {0x010F, 0x8769, 0x8825, 0x829A, 0x0001, 0x5023, 0x5012, 0x5013,
                                            0x5014, 0x5015, 0x5016, 0x5017, 0x5018, 0x5019, 0x501B};
    EXPECT_EQ(Ids(back), ids);
    EXPECT_NE(ItemOf(back, 0x8769)->Value, Native<std::uint32_t>({12345}));
}

TEST(ExifWriter, GivesNoBlockForAListWithoutBlockItems)
{
    Bytes out{1, 2, 3};
    ASSERT_EQ(WriteExifBlock(CameraExif(false).Build(), {{0x5090, PropertyTagTypeShort, Bytes(128)}}, out), Status::Ok);
    EXPECT_TRUE(out.empty());
}

TEST(ExifWriter, KeepsTheDirectoryOfADuplicateIdItCameFrom)
{
    // GPS 0x0001 and interoperability 0x0001 share an id; each goes back where it was.
    const Bytes block = CameraExif(true).Build();
    auto items = Read(block);
    Bytes out;
    ASSERT_EQ(WriteExifBlock(block, items, out), Status::Ok);
    detail::ParsedStructure parsed;
    ASSERT_TRUE(detail::ParseStructure(out, detail::StructureMode::ExifBlock, parsed));
    int gps = 0, interop = 0;
    for (std::size_t i = 0; i < parsed.Entries.size(); ++i) {
        if (parsed.Entries[i].Tag != 0x0001)
            continue;
        if (parsed.Entries[i].Ifd == detail::IfdKind::Gps && parsed.Items[i].Value == AsciiValue("N"))
            ++gps;
        if (parsed.Entries[i].Ifd == detail::IfdKind::Interop && parsed.Items[i].Value == AsciiValue("R98"))
            ++interop;
    }
    EXPECT_EQ(gps, 1);
    EXPECT_EQ(interop, 1);
}

// The entries of a block as its directories hold them, read apart from the layer's reader: by directory
// (0 IFD0, 1 Exif, 2 GPS, 3 interoperability, 4 first IFD) and tag, with type, count and value bytes.
struct RawEntry {
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    Bytes Value;
    friend bool operator==(const RawEntry&, const RawEntry&) = default;
};
using RawEntries = std::map<std::pair<int, std::uint16_t>, RawEntry>;

RawEntries ReadRawEntries(const Bytes& tiff)
{
    const bool big = tiff.at(0) == 'M';
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::uint16_t>(big ? tiff.at(at) << 8 | tiff.at(at + 1)
                                              : tiff.at(at + 1) << 8 | tiff.at(at));
    };
    const auto u32 = [&](std::size_t at) {
        return big ? std::uint32_t{u16(at)} << 16 | u16(at + 2) : std::uint32_t{u16(at + 2)} << 16 | u16(at);
    };
    const std::map<std::uint16_t, std::uint32_t> unit = {{1, 1}, {2, 1}, {3, 2}, {4, 4},
                                                         {5, 8}, {7, 1}, {9, 4}, {10, 8}};
    RawEntries entries;
    const auto walk = [&](auto& self, int dir, std::uint32_t at) -> void {
        const std::uint16_t count = u16(at);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t e = at + 2 + 12 * i;
            RawEntry entry{u16(e + 2), u32(e + 4), {}};
            const std::size_t size = entry.Count * unit.at(entry.Type);
            const std::size_t from = size <= 4 ? e + 8 : u32(e + 8);
            entry.Value.assign(tiff.begin() + static_cast<std::ptrdiff_t>(from),
                               tiff.begin() + static_cast<std::ptrdiff_t>(from + size));
            const std::uint16_t tag = u16(e);
            entries[{dir, tag}] = entry;
            if (dir == 0 && (tag == 0x8769 || tag == 0x8825))
                self(self, tag == 0x8769 ? 1 : 2, u32(e + 8));
            if (dir == 1 && tag == 0xA005)
                self(self, 3, u32(e + 8));
        }
        if (dir == 0 && u32(at + 2 + 12 * count) != 0)
            self(self, 4, u32(at + 2 + 12 * count));
    };
    walk(walk, 0, u32(4));
    return entries;
}

// The Exif block of a JPEG whose Exif segment follows SOI.
Bytes BlockOf(const Bytes& jpeg)
{
    const std::size_t length = static_cast<std::size_t>(jpeg.at(4) << 8 | jpeg.at(5));
    return Bytes(jpeg.begin() + 12, jpeg.begin() + 4 + static_cast<std::ptrdiff_t>(length));
}

// A first IFD as cameras write it when they store no thumbnail: an offset, a length of 0, and a tag that no
// item is listed under.
Bytes EmptyThumbnailJpeg()
{
    TiffBytes block;
    block
        .Ascii(Dir::Ifd0, 0x010F, "Ovrel")  // Make
        .Ascii(Dir::Ifd0, 0x0110, "Model X")  // Model
        .Rational(Dir::Exif, 0x829A, {{1, 125}})  // ExposureTime
        .Undefined(Dir::Exif, 0x927C, MakerNote(64))  // MakerNote
        .Ascii(Dir::Gps, 0x0001, "N")  // GPSLatitudeRef
        .Ascii(Dir::Interop, 0x0001, "R98")  // InteroperabilityIndex
        .Short(Dir::First, 0x0103, {6})  // Compression: JPEG
        .Short(Dir::First, 0x0107, {1})  // Thresholding: listed under no id
        .Rational(Dir::First, 0x011A, {{72, 1}})  // XResolution
        .Long(Dir::First, 0x0201, {0})  // JPEGInterchangeFormat
        .Long(Dir::First, 0x0202, {0})  // JPEGInterchangeFormatLength: no thumbnail
        .PointerOverride(0x0201, 0x0400);
    return JpegBytes().Exif(block.Build()).Frame(16, 16).Build();
}

class ExifSave : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(FName, FOriginal); }
    [[nodiscard]] Bytes SaveWith(const std::function<void(Image&)>& change) const
    {
        auto image = Image::FromFile(FName);
        EXPECT_EQ(image->GetLastStatus(), Status::Ok);
        change(*image);
        EXPECT_EQ(image->SaveReplacing(FName, CodecJPEG), Status::Ok);
        return ReadFile(FName);
    }
    TempDir FDir;
    std::string FName = FDir.File("photo.jpg");
    Bytes FOriginal = EmptyThumbnailJpeg();
};

TEST_F(ExifSave, KeepsEveryEntryTheUserDidNotChangeWithItsValue)
{
    const RawEntries before = ReadRawEntries(BlockOf(FOriginal));
    ASSERT_EQ(before.at({4, 0x0201}).Value, Native<std::uint32_t>({0x0400}));
    const Bytes saved = SaveWith([](Image& image) { (void)image.SetPropertyItem(Ascii(0x0110, "Model Y")); });
    const RawEntries after = ReadRawEntries(BlockOf(saved));
    std::vector<std::pair<int, std::uint16_t>> keys, keysAfter;
    for (const auto& [key, entry] : before)
        keys.push_back(key);
    for (const auto& [key, entry] : after)
        keysAfter.push_back(key);
    EXPECT_EQ(keysAfter, keys);
    for (const auto& [key, entry] : before) {
        SCOPED_TRACE(std::to_string(key.first) + "/" + std::to_string(key.second));
        const bool pointer = key == std::pair<int, std::uint16_t>{0, 0x8769} ||
                             key == std::pair<int, std::uint16_t>{0, 0x8825} ||
                             key == std::pair<int, std::uint16_t>{1, 0xA005};
        if (key == std::pair<int, std::uint16_t>{0, 0x0110}) {
            EXPECT_EQ(after.at(key).Value, AsciiValue("Model Y"));
        } else if (!pointer && after.count(key)) {
            EXPECT_EQ(after.at(key), entry);
        }
    }
}

TEST_F(ExifSave, ANewThumbnailTakesThePlaceOfTheEmptyOne)
{
    const Bytes thumbnail = JpegBytes().Frame(8, 8).Build();
    const Bytes saved = SaveWith([&](Image& image) {
        (void)image.SetPropertyItem({0x501B, PropertyTagTypeByte, thumbnail});
    });
    const Bytes block = BlockOf(saved);
    const RawEntries after = ReadRawEntries(block);
    const auto offset = after.at({4, 0x0201}).Value, length = after.at({4, 0x0202}).Value;
    EXPECT_EQ(length, Native<std::uint32_t>({static_cast<std::uint32_t>(thumbnail.size())}));
    std::uint32_t at = 0;
    std::memcpy(&at, offset.data(), 4);
    ASSERT_LE(at + thumbnail.size(), block.size());
    EXPECT_TRUE(std::equal(thumbnail.begin(), thumbnail.end(), block.begin() + at));
    EXPECT_EQ(after.at({4, 0x0107}).Value, Native<std::uint16_t>({1}));
}

TEST_F(ExifSave, RemovingEveryItemLeavesNoExifSegment)
{
    // As a clear does it: every item but the two quantisation tables listed last.
    const Bytes saved = SaveWith([](Image& image) {
        const auto ids = Ids(image.GetAllPropertyItems());
        for (std::size_t i = 0; i + 2 < ids.size(); ++i)
            (void)image.RemovePropertyItem(ids[i]);
    });
    EXPECT_EQ(Find(saved, Bytes{'E', 'x', 'i', 'f', 0, 0}), saved.size());
}

struct DamagedBlock {
    const char* name;
    Bytes bytes;
    bool opens;  // header and IFD0 sound
    std::vector<std::uint32_t> ids;  // what is still listed when it opens
};

class ExifDamaged : public ::testing::TestWithParam<DamagedBlock> {};

TEST_P(ExifDamaged, GivesAStatusOrFewerItemsWithoutReadingPastTheEnd)
{
    std::vector<PropertyItem> items;
    const Status status = ReadExifBlock(GetParam().bytes, items);
    EXPECT_EQ(status == Status::Ok, GetParam().opens);
    if (GetParam().opens) {
        EXPECT_EQ(Ids(items), GetParam().ids);
    }
}

Bytes Truncated(Bytes b, std::size_t size)
{
    b.resize(size);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExifDamaged,
    ::testing::Values(
        DamagedBlock{"Empty", {}, false, {}},
        DamagedBlock{"HeaderOnly", Truncated(TiffBytes().Ascii(Dir::Ifd0, 0x010F, "A").Build(), 8), false, {}},
        DamagedBlock{"BadByteOrder", {'I', 'M', 42, 0, 8, 0, 0, 0, 0, 0}, false, {}},
        DamagedBlock{"BadMagic", {'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, {}},
        DamagedBlock{"Ifd0PastEnd", {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0xFF}, false, {}},
        DamagedBlock{"Ifd0InsideHeader", {'I', 'I', 42, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, {}},
        DamagedBlock{"EntryCountPastEnd", TiffBytes().Ascii(Dir::Ifd0, 0x010F, "A").Ifd0Count(500).Build(), false, {}},
        DamagedBlock{"ValueOffsetPastEnd",
                     TiffBytes().Ascii(Dir::Ifd0, 0x010F, "Make").Bogus(Dir::Ifd0, 0x0110, 2, 40, 0xFFFFFFF0).Build(),
                     true,
                     {0x010F}},
        DamagedBlock{"CountThatWouldWrap",
                     TiffBytes().Bogus(Dir::Ifd0, 0x0110, 5, 0x20000001, 8).Ascii(Dir::Ifd0, 0x0131, "Sw").Build(),
                     true,
                     {0x0131}},
        DamagedBlock{"UnknownType",
                     TiffBytes().Bogus(Dir::Ifd0, 0x0110, 99, 1, 0).Ascii(Dir::Ifd0, 0x0131, "Sw").Build(),
                     true,
                     {0x0131}},
        DamagedBlock{"NextIfdIsItself", TiffBytes().Ascii(Dir::Ifd0, 0x010F, "A").Ifd0Next(8).Build(), true, {0x010F}},
        DamagedBlock{
            "ExifPointerToIfd0",
            TiffBytes().Ascii(Dir::Ifd0, 0x010F, "A").Ascii(Dir::Exif, 0x9003, "x").PointerOverride(0x8769, 8).Build(),
            true,
            {0x010F, 0x8769}},
        DamagedBlock{"ExifPointerPastEnd",
                     TiffBytes()
                         .Ascii(Dir::Ifd0, 0x010F, "A")
                         .Ascii(Dir::Exif, 0x9003, "x")
                         .PointerOverride(0x8769, 0x7FFFFFFF)
                         .Build(),
                     true,
                     {0x010F, 0x8769}},
        DamagedBlock{"InteropPointsAtExif",
                     TiffBytes()
                         .Ascii(Dir::Exif, 0x9003, "x")
                         .Ascii(Dir::Interop, 0x0001, "R98")
                         .PointerOverride(0xA005, 26)
                         .Build(),
                     true,
                     {0x8769, 0x9003, 0xA005}},
        DamagedBlock{"ThumbnailPastEnd",
                     TiffBytes()
                         .Ascii(Dir::Ifd0, 0x010F, "A")
                         .Thumbnail(JpegBytes().Frame(8, 8).Build())
                         .PointerOverride(0x0202, 0xFFFFFF)
                         .Build(),
                     true,
                     {0x010F}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace ovrel::imaging
