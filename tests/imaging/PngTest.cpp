#include "imaging/Builders.h"
#include "imaging/PixelBuilders.h"
#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ovrel::imaging;
using namespace ovrel::imaging::pixelfixtures;
using detail::ImageData;

namespace {

std::vector<std::uint32_t> IdsOf(const std::vector<PropertyItem>& items)
{
    std::vector<std::uint32_t> ids;
    for (const auto& item : items)
        ids.push_back(item.Id);
    return ids;
}

const PropertyItem* Find(const std::vector<PropertyItem>& items, std::uint32_t id)
{
    for (const auto& item : items)
        if (item.Id == id)
            return &item;
    return nullptr;
}

std::string AsciiOf(const PropertyItem& item)
{
    return std::string(item.Value.begin(), std::find(item.Value.begin(), item.Value.end(), 0));
}

std::uint32_t U32At(const PropertyItem& item, std::size_t index)
{
    std::uint32_t v = 0;
    std::memcpy(&v, item.Value.data() + index * 4, 4);
    return v;
}

PropertyItem AsciiItem(std::uint32_t id, std::string_view text)
{
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    return {id, PropertyTagTypeASCII, value};
}

// A PNG with gamma, a title, an author, a key without an item, a density and pixels.
Bytes TitledPng()
{
    return SmallRgbPng()
        .Gamma(45455)
        .TextChunk("Title", "Sunset")
        .TextChunk("Author", "Ann")
        .TextChunk("Tool", "kept as it is")
        .Density(2835, 2835)
        .Pixels(SmallRgbPixels(), 6)
        .End()
        .Build();
}

struct Chunk {
    std::string Type;
    Bytes Whole;  // length, type, data, crc
};

std::vector<Chunk> ChunksOf(const Bytes& png)
{
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length =
            (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        const std::size_t end = at + 12 + length;
        chunks.push_back(
            {std::string(png.begin() + at + 4, png.begin() + at + 8), Bytes(png.begin() + at, png.begin() + end)});
        at = end;
    }
    return chunks;
}

Bytes Written(const Bytes& original, const std::function<void(ImageData&)>& change)
{
    ImageData data;
    EXPECT_EQ(detail::ReadPng(original, data), Status::Ok);
    change(data);
    Bytes out;
    EXPECT_EQ(detail::WritePng(original, data, out), Status::Ok);
    return out;
}

void RemoveItem(ImageData& data, std::uint32_t id)
{
    std::erase_if(data.Items, [id](const PropertyItem& item) { return item.Id == id; });
}

void SetItem(ImageData& data, const PropertyItem& item)
{
    for (auto& existing : data.Items)
        if (existing.Id == item.Id) {
            existing = item;
            return;
        }
    data.Items.push_back(item);
}

}  // namespace

TEST(PngReader, ListsChunkItemsInFileOrderThenTheDerivedHeaderFacts)
{
    ImageData data;
    ASSERT_EQ(detail::ReadPng(TitledPng(), data), Status::Ok);
    EXPECT_EQ(IdsOf(data.Items), (std::vector<std::uint32_t>{0x0301, 0x0320, 0x013B, 0x0100, 0x0101, 0x0102, 0x0115,
                                                             0x5110, 0x5111, 0x5112}));
    const PropertyItem* gamma = Find(data.Items, PropertyTagGamma);
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(gamma->Type, PropertyTagTypeRational);
    ASSERT_EQ(gamma->Length(), 8u);
    EXPECT_EQ(U32At(*gamma, 0), 45455u);
    EXPECT_EQ(U32At(*gamma, 1), 100000u);
    const PropertyItem* title = Find(data.Items, PropertyTagImageTitle);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Type, PropertyTagTypeASCII);
    EXPECT_EQ(title->Value, (Bytes{'S', 'u', 'n', 's', 'e', 't', 0}));
    EXPECT_EQ(AsciiOf(*Find(data.Items, 0x013B)), "Ann");
    EXPECT_EQ(U32At(*Find(data.Items, 0x0100), 0), 2u);
    EXPECT_EQ(Find(data.Items, 0x0102)->Length(), 6u);  // three samples of 8 bits
    EXPECT_EQ(U32At(*Find(data.Items, 0x5111), 0), 2835u);
    EXPECT_EQ(data.DerivedIds, (std::vector<std::uint32_t>{0x0100, 0x0101, 0x0102, 0x0115, 0x5110, 0x5111, 0x5112}));
}

TEST(PngReader, ReportsTheHeaderFactsAndTheDensity)
{
    ImageData data;
    ASSERT_EQ(detail::ReadPng(TitledPng(), data), Status::Ok);
    EXPECT_EQ(data.RawFormat, ImageFormatPNG);
    EXPECT_EQ(data.Width, 2u);
    EXPECT_EQ(data.Height, 2u);
    EXPECT_EQ(data.Format, PixelFormat24bppRGB);
    EXPECT_EQ(data.Flags & 0xFF0u, ImageFlagsColorSpaceRGB);
    EXPECT_EQ(data.Flags & ImageFlagsHasAlpha, 0u);
    EXPECT_NE(data.Flags & ImageFlagsHasRealDPI, 0u);
    EXPECT_NEAR(data.DpiX, 72.0, 0.01);  // 2835 pixels per metre
    EXPECT_NEAR(data.DpiY, 72.0, 0.01);
}

TEST(PngReader, FormatAndFlagsFollowTheColourType)
{
    struct Row {
        const char* name;
        std::uint8_t depth, colour;
        bool transparency;
        PixelFormat format;
        std::uint32_t colourSpace;
        bool alpha;
    };
    const Row rows[] = {
        {"Grey8", 8, 0, false, PixelFormat8bppIndexed, ImageFlagsColorSpaceGRAY, false},
        {"Grey1", 1, 0, false, PixelFormat1bppIndexed, ImageFlagsColorSpaceGRAY, false},
        {"GreyAlpha", 8, 4, false, PixelFormat32bppARGB, ImageFlagsColorSpaceGRAY, true},
        {"Rgb16", 16, 2, false, PixelFormat48bppRGB, ImageFlagsColorSpaceRGB, false},
        {"Rgba8", 8, 6, false, PixelFormat32bppARGB, ImageFlagsColorSpaceRGB, true},
        {"Rgba16", 16, 6, false, PixelFormat64bppARGB, ImageFlagsColorSpaceRGB, true},
        {"Palette4", 4, 3, false, PixelFormat4bppIndexed, ImageFlagsColorSpaceRGB, false},
        {"PaletteWithTransparency", 8, 3, true, PixelFormat8bppIndexed, ImageFlagsColorSpaceRGB, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PngBytes png;
        png.Header(1, 1, row.depth, row.colour);
        if (row.colour == 3)
            png.Chunk("PLTE", {1, 2, 3});
        if (row.transparency)
            png.Chunk("tRNS", {0});
        ImageData data;
        ASSERT_EQ(detail::ReadPng(png.Pixels({0, 0, 0, 0, 0, 0, 0, 0}, 1).End().Build(), data), Status::Ok);
        EXPECT_EQ(data.Format, row.format);
        EXPECT_EQ(data.Flags & 0xFF0u, row.colourSpace);
        EXPECT_EQ((data.Flags & ImageFlagsHasAlpha) != 0, row.alpha);
        EXPECT_FLOAT_EQ(data.DpiX, 96.0f);  // no density chunk
    }
}

TEST(PngReader, ReadsTheTitleFromEveryKindOfTextChunk)
{
    struct Row {
        const char* name;
        Bytes png;
        std::string expected;
    };
    const std::string utf8 = "Sonnenuntergang \xC3\xBC";
    const Row rows[] = {
        {"Plain", SmallRgbPng().TextChunk("Title", "Dusk").Pixels(SmallRgbPixels(), 6).End().Build(), "Dusk"},
        {"Compressed", SmallRgbPng().CompressedText("Title", "Dusk").Pixels(SmallRgbPixels(), 6).End().Build(), "Dusk"},
        {"International",
         SmallRgbPng().InternationalText("Title", utf8, false).Pixels(SmallRgbPixels(), 6).End().Build(), utf8},
        {"InternationalCompressed",
         SmallRgbPng().InternationalText("Title", utf8, true).Pixels(SmallRgbPixels(), 6).End().Build(), utf8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ImageData data;
        ASSERT_EQ(detail::ReadPng(row.png, data), Status::Ok);
        const PropertyItem* title = Find(data.Items, PropertyTagImageTitle);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(AsciiOf(*title), row.expected);
        EXPECT_EQ(title->Value.back(), 0);
    }
}

TEST(PngReader, ListsTheExifBlockFirstAndLetsItWinOverAChunkOfTheSameId)
{
    using namespace ovrel::imaging::fixtures;
    const Bytes exif =
        TiffBytes(true).Ascii(Dir::Ifd0, 0x010F, "Maker").Ascii(Dir::Ifd0, 0x013B, "Exif artist").Build();
    const Bytes png =
        SmallRgbPng().TextChunk("Author", "Text artist").Chunk("eXIf", exif).Pixels(SmallRgbPixels(), 6).End().Build();
    ImageData data;
    ASSERT_EQ(detail::ReadPng(png, data), Status::Ok);
    const auto ids = IdsOf(data.Items);
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids[0], 0x010Fu);
    EXPECT_EQ(ids[1], 0x013Bu);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0x013Bu), 1);
    EXPECT_EQ(AsciiOf(*Find(data.Items, 0x013B)), "Exif artist");
}

struct DamagedPng {
    const char* name;
    Bytes bytes;
    Status expected;
};

class PngReaderDamaged : public ::testing::TestWithParam<DamagedPng> {};

TEST_P(PngReaderDamaged, OpensWithAFailureStatus)
{
    ImageData data;
    EXPECT_EQ(detail::ReadPng(GetParam().bytes, data), GetParam().expected);
}

Bytes Patched(Bytes bytes, std::size_t at, std::uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PngReaderDamaged,
    ::testing::Values(DamagedPng{"NotASignature", Patched(TitledPng(), 1, 'Q'), Status::UnknownImageFormat},
                      DamagedPng{"OnlyTheSignature", Cut(TitledPng(), 8), Status::GenericError},
                      DamagedPng{"CutInsideTheHeader", Cut(TitledPng(), 20), Status::GenericError},
                      DamagedPng{"CutBeforeTheEnd", Cut(TitledPng(), TitledPng().size() - 12), Status::GenericError},
                      DamagedPng{"CutInsideAChunk", Cut(TitledPng(), 60), Status::GenericError},
                      DamagedPng{"HeaderCrcWrong", Patched(TitledPng(), 29, 0), Status::GenericError},
                      DamagedPng{"HugeChunkLength", Patched(TitledPng(), 33, 0xFF), Status::GenericError},
                      DamagedPng{"ZeroWidth", PngBytes().Header(0, 2).Pixels({0}, 1).End().Build(),
                                 Status::GenericError},
                      DamagedPng{"DepthNotAllowedForRgb", PngBytes().Header(2, 2, 4, 2).Pixels({0}, 1).End().Build(),
                                 Status::GenericError},
                      DamagedPng{"UnknownColourType", PngBytes().Header(2, 2, 8, 5).Pixels({0}, 1).End().Build(),
                                 Status::GenericError},
                      DamagedPng{"NoPixelData", SmallRgbPng().Gamma(45455).End().Build(), Status::GenericError},
                      DamagedPng{"FirstChunkNotTheHeader",
                                 PngBytes().Gamma(1).Header(2, 2).Pixels({0}, 1).End().Build(), Status::GenericError}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PngReader, DropsAMetadataChunkThatIsDamagedAndKeepsTheRest)
{
    struct Row {
        const char* name;
        Bytes png;
    };
    Bytes badStream = Text("Title");
    badStream.insert(badStream.end(), {0, 0, 0x78, 0x9C, 0xFF, 0xFF});
    const Bytes bomb(17u << 20, 'a');  // inflates past what a text may take
    Bytes bombChunk = Text("Title");
    bombChunk.insert(bombChunk.end(), {0, 0});
    const Bytes packed = Deflate(bomb);
    bombChunk.insert(bombChunk.end(), packed.begin(), packed.end());
    const Row rows[] = {
        {"WrongCrc", SmallRgbPng()
                         .Chunk("tEXt", Text(std::string_view("Title\0x", 7)), false)
                         .Gamma(1)
                         .Pixels(SmallRgbPixels(), 6)
                         .End()
                         .Build()},
        {"NoKeywordEnd", SmallRgbPng().Chunk("tEXt", Text("Title")).Gamma(1).Pixels(SmallRgbPixels(), 6).End().Build()},
        {"BrokenCompressedStream",
         SmallRgbPng().Chunk("zTXt", badStream).Gamma(1).Pixels(SmallRgbPixels(), 6).End().Build()},
        {"CompressedTextTooLarge",
         SmallRgbPng().Chunk("zTXt", bombChunk).Gamma(1).Pixels(SmallRgbPixels(), 6).End().Build()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ImageData data;
        ASSERT_EQ(detail::ReadPng(row.png, data), Status::Ok);
        EXPECT_EQ(Find(data.Items, PropertyTagImageTitle), nullptr);
        EXPECT_NE(Find(data.Items, PropertyTagGamma), nullptr);
    }
}

TEST(PngWriter, WritesTheFileUnchangedWhenNoItemChanged)
{
    const Bytes original = TitledPng();
    EXPECT_EQ(Written(original, [](ImageData&) {}), original);
}

TEST(PngWriter, ReplacesOnlyTheChunkOfAChangedTitle)
{
    const Bytes original = TitledPng();
    const Bytes out = Written(original, [](ImageData& d) { SetItem(d, AsciiItem(PropertyTagImageTitle, "Dawn")); });
    const auto before = ChunksOf(original);
    const auto after = ChunksOf(out);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(before[i].Type);
        EXPECT_EQ(after[i].Type, before[i].Type);
        if (i != 2) {  // the Title chunk
            EXPECT_EQ(after[i].Whole, before[i].Whole);
        }
    }
    ImageData back;
    ASSERT_EQ(detail::ReadPng(out, back), Status::Ok);  // checks the fresh CRC
    EXPECT_EQ(AsciiOf(*Find(back.Items, PropertyTagImageTitle)), "Dawn");
    RgbaImage pixels;
    EXPECT_EQ(detail::DecodePng(out, pixels), Status::Ok);
}

TEST(PngWriter, AppliesRemovalsAndAdditionsToTheirOwnChunks)
{
    struct Row {
        const char* name;
        std::function<void(ImageData&)> change;
        std::vector<std::string> chunks;
    };
    const Row rows[] = {
        {"RemoveGamma",
         [](ImageData& d) { RemoveItem(d, PropertyTagGamma); },
         {"IHDR", "tEXt", "tEXt", "tEXt", "pHYs", "IDAT", "IEND"}},
        {"RemoveTitle",
         [](ImageData& d) { RemoveItem(d, PropertyTagImageTitle); },
         {"IHDR", "gAMA", "tEXt", "tEXt", "pHYs", "IDAT", "IEND"}},
        {"AddCopyrightBeforeThePixels",
         [](ImageData& d) { SetItem(d, AsciiItem(0x8298, "(c) Ann")); },
         {"IHDR", "gAMA", "tEXt", "tEXt", "tEXt", "pHYs", "tEXt", "IDAT", "IEND"}},
        {"NonLatinTitleAsInternationalText",
         [](ImageData& d) { SetItem(d, AsciiItem(PropertyTagImageTitle, "Z\xC3\xBCrich")); },
         {"IHDR", "gAMA", "iTXt", "tEXt", "tEXt", "pHYs", "IDAT", "IEND"}},
        {"ChangedDerivedItemIsIgnored",
         [](ImageData& d) {
             SetItem(d, PropertyItem{0x0100, PropertyTagTypeLong, {9, 0, 0, 0}});
         },
         {"IHDR", "gAMA", "tEXt", "tEXt", "tEXt", "pHYs", "IDAT", "IEND"}},
        {"RemoveEverything",
         [](ImageData& d) { d.Items.clear(); },
         {"IHDR", "tEXt", "pHYs", "IDAT", "IEND"}},  // the unknown key and the density stay
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes out = Written(TitledPng(), row.change);
        std::vector<std::string> types;
        for (const auto& chunk : ChunksOf(out))
            types.push_back(chunk.Type);
        EXPECT_EQ(types, row.chunks);
        ImageData back;
        EXPECT_EQ(detail::ReadPng(out, back), Status::Ok);
    }
}

TEST(PngWriter, AddsGammaRightAfterTheHeaderAndReadsItBack)
{
    const Bytes original = SmallRgbPng().Chunk("PLTE", {1, 2, 3}).Pixels(SmallRgbPixels(), 6).End().Build();
    const Bytes out = Written(original, [](ImageData& d) {
        Bytes value(8);
        const std::uint32_t numerator = 1, denominator = 2;
        std::memcpy(value.data(), &numerator, 4);
        std::memcpy(value.data() + 4, &denominator, 4);
        SetItem(d, PropertyItem{PropertyTagGamma, PropertyTagTypeRational, value});
    });
    const auto chunks = ChunksOf(out);
    ASSERT_GE(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].Type, "gAMA");  // gamma must precede the palette
    ImageData back;
    ASSERT_EQ(detail::ReadPng(out, back), Status::Ok);
    const PropertyItem* gamma = Find(back.Items, PropertyTagGamma);
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(U32At(*gamma, 0), 50000u);
}

TEST(PngWriter, RefusesAGammaItThatCannotBeStored)
{
    const Bytes original = TitledPng();
    ImageData data;
    ASSERT_EQ(detail::ReadPng(original, data), Status::Ok);
    SetItem(data, PropertyItem{PropertyTagGamma, PropertyTagTypeRational, Bytes{1, 0, 0, 0, 0, 0, 0, 0}});  // x/0
    Bytes out;
    EXPECT_EQ(detail::WritePng(original, data, out), Status::InvalidParameter);
}

TEST(PngWriter, DropsADuplicateTitleWhenTheTitleIsRemoved)
{
    // Else the second chunk would be read back as the title.
    const Bytes original =
        SmallRgbPng().TextChunk("Title", "One").TextChunk("Title", "Two").Pixels(SmallRgbPixels(), 6).End().Build();
    const Bytes out = Written(original, [](ImageData& d) { RemoveItem(d, PropertyTagImageTitle); });
    ImageData back;
    ASSERT_EQ(detail::ReadPng(out, back), Status::Ok);
    EXPECT_EQ(Find(back.Items, PropertyTagImageTitle), nullptr);
}

TEST(PngWriter, PutsOtherItemsIntoAnExifBlockAndKeepsThemThere)
{
    const Bytes original = TitledPng();
    const Bytes out = Written(original, [](ImageData& d) { SetItem(d, AsciiItem(0x010F, "Maker")); });
    const auto chunks = ChunksOf(out);
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].Type, "eXIf");  // early, before the pixel data
    ImageData back;
    ASSERT_EQ(detail::ReadPng(out, back), Status::Ok);
    ASSERT_NE(Find(back.Items, 0x010F), nullptr);
    EXPECT_EQ(AsciiOf(*Find(back.Items, 0x010F)), "Maker");
    EXPECT_EQ(AsciiOf(*Find(back.Items, PropertyTagImageTitle)), "Sunset");

    // A second save with the block unchanged copies it as it is.
    EXPECT_EQ(Written(out, [](ImageData&) {}), out);
    // Removing its only item removes the block.
    const Bytes cleared = Written(out, [](ImageData& d) { RemoveItem(d, 0x010F); });
    EXPECT_EQ(cleared, original);
}

TEST(PngWriter, ChangedTimeGoesIntoTheExifBlockAndTheTimeChunkGoes)
{
    const Bytes time{0x07, 0xE4, 5, 17, 10, 30, 0};  // 2020-05-17 10:30:00
    const Bytes original = SmallRgbPng().Chunk("tIME", time).Pixels(SmallRgbPixels(), 6).End().Build();
    ImageData data;
    ASSERT_EQ(detail::ReadPng(original, data), Status::Ok);
    ASSERT_NE(Find(data.Items, 0x0132), nullptr);
    EXPECT_EQ(AsciiOf(*Find(data.Items, 0x0132)), "2020:05:17 10:30:00");

    const Bytes out = Written(original, [](ImageData& d) { SetItem(d, AsciiItem(0x0132, "2021:01:02 03:04:05")); });
    std::vector<std::string> types;
    for (const auto& chunk : ChunksOf(out))
        types.push_back(chunk.Type);
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "eXIf", "IDAT", "IEND"}));
    ImageData back;
    ASSERT_EQ(detail::ReadPng(out, back), Status::Ok);
    EXPECT_EQ(AsciiOf(*Find(back.Items, 0x0132)), "2021:01:02 03:04:05");
}

TEST(PngImage, SaveRoundTripChangesOneItemAndPassesTheReadBack)
{
    const std::string path = ::testing::TempDir() + "imgpix_round_trip.png";
    {
        const Bytes original = TitledPng();
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(original.data(), 1, original.size(), f);
        std::fclose(f);
    }
    auto image = Image::FromFile(path);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    ASSERT_EQ(image->SetPropertyItem(AsciiItem(PropertyTagImageTitle, "Noon")), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(path, CodecPNG), Status::Ok);
    auto back = Image::FromFile(path);
    ASSERT_EQ(back->GetLastStatus(), Status::Ok);
    PropertyItem title;
    ASSERT_EQ(back->GetPropertyItem(PropertyTagImageTitle, title), Status::Ok);
    EXPECT_EQ(AsciiOf(title), "Noon");
    EXPECT_EQ(back->GetPropertyCount(), image->GetPropertyCount());
    std::remove(path.c_str());
}
