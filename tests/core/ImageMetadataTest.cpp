#include "core/ImageMetadata.h"

#include "CoreTestSupport.h"
#include "imaging/Builders.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ovrel::core {
namespace {

using test::Ascii;
using test::Bytes;
using test::U16;
namespace fx = imaging::fixtures;

Bytes ValueOf(const TPropertyItem& item) { return Bytes(item.value, item.value + item.length); }

TEST(ImageMetadata, NewItemsAppendInOrder)
{
    TVekImageMetadata metadata;
    EXPECT_EQ(metadata.Count(), 0);
    metadata.SetItem(272, 2, Ascii("Model"));
    metadata.SetItem(271, 2, Ascii("Make"));
    metadata.SetItem(274, 3, U16(1));
    ASSERT_EQ(metadata.Count(), 3);
    EXPECT_EQ(metadata.GetItem(0).id, 272u);
    EXPECT_EQ(metadata.GetItem(1).id, 271u);
    EXPECT_EQ(metadata.GetItem(2).id, 274u);
    EXPECT_EQ(metadata.IndexOf(271), 1);
    EXPECT_TRUE(metadata.Has(274));
    EXPECT_FALSE(metadata.Has(275));
    EXPECT_EQ(metadata.IndexOf(275), -1);
    EXPECT_EQ(metadata.Find(275), nullptr);
    EXPECT_THROW((void)metadata.GetItem(3), toolkit::EListError);
    EXPECT_THROW((void)metadata.GetItem(-1), toolkit::EListError);
}

TEST(ImageMetadata, ReplacingKeepsTheIndexAndTakesTypeLengthAndBytes)
{
    struct Row {
        const char* Name;
        std::uint16_t Type;
        Bytes Value;
    };
    const Row rows[] = {
        {"Longer", 7, Bytes(40, 0x5A)},
        {"Shorter", 3, U16(9)},
        {"Empty", 7, Bytes{}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TVekImageMetadata metadata;
        metadata.SetItem(1, 2, Ascii("first"));
        metadata.SetItem(2, 2, Ascii("second"));
        metadata.SetItem(3, 2, Ascii("third"));
        metadata.SetItem(2, row.Type, row.Value);
        ASSERT_EQ(metadata.Count(), 3);
        const TPropertyItem& item = metadata.GetItem(1);
        EXPECT_EQ(item.id, 2u);
        EXPECT_EQ(item.type, row.Type);
        EXPECT_EQ(item.length, row.Value.size());
        EXPECT_EQ(ValueOf(item), row.Value);
        EXPECT_EQ(ValueOf(metadata.GetItem(2)), Ascii("third"));
    }
}

TEST(ImageMetadata, HandedOutValuesSurviveChangesToOtherItems)
{
    TVekImageMetadata metadata;
    metadata.SetItem(1, 2, Ascii("kept"));
    const TPropertyItem* kept = metadata.Find(1);
    for (std::uint32_t id = 2; id < 200; ++id)
        metadata.SetItem(id, 4, Bytes(id, 1));
    metadata.SetItem(50, 4, Bytes(1000, 2));
    EXPECT_EQ(ValueOf(*kept), Ascii("kept"));
}

TEST(ImageMetadata, ItemCanBeSetFromItsOwnValue)
{
    TVekImageMetadata metadata;
    metadata.SetItem(9, 7, Bytes{1, 2, 3, 4, 5, 6});
    const TPropertyItem item = metadata.GetItem(0);
    metadata.SetItem(9, 7, item.length - 2, item.value + 2);
    EXPECT_EQ(ValueOf(metadata.GetItem(0)), (Bytes{3, 4, 5, 6}));
}

TEST(ImageMetadata, SetStringStoresATerminatedAsciiItem)
{
    struct Row {
        const char* Name;
        std::string Text;
    };
    for (const Row& row : {Row{"Empty", ""}, Row{"Text", "Canon"}, Row{"Utf8", "Caf\xC3\xA9"}}) {
        SCOPED_TRACE(row.Name);
        TVekImageMetadata metadata;
        metadata.SetString(0x10E, row.Text);
        const TPropertyItem& item = metadata.GetItem(0);
        EXPECT_EQ(item.type, 2);
        EXPECT_EQ(item.length, row.Text.size() + 1);
        EXPECT_EQ(ValueOf(item), Ascii(row.Text));
    }
}

TEST(ImageMetadata, ClearEmptiesTheList)
{
    TVekImageMetadata metadata;
    metadata.SetString(1, "a");
    metadata.SetString(2, "b");
    metadata.Clear();
    EXPECT_EQ(metadata.Count(), 0);
    EXPECT_FALSE(metadata.Has(1));
    metadata.SetString(2, "c");
    EXPECT_EQ(metadata.IndexOf(2), 0);
}

TEST(ImageMetadata, LoadsAndAppliesThroughAnImage)
{
    auto image = imaging::Image::FromPixels(imaging::RgbaImage{2, 2, Bytes(16, 0xFF)});
    ASSERT_EQ(image->GetLastStatus(), imaging::Status::Ok);
    TVekImageMetadata source;
    source.SetString(271, "Make");
    source.SetItem(274, 3, U16(6));
    source.ApplyTo(*image);

    TVekImageMetadata loaded;
    loaded.SetString(999, "dropped by the load");
    loaded.LoadFromImage(*image);
    ASSERT_EQ(loaded.Count(), static_cast<int>(image->GetPropertyCount()));
    ASSERT_TRUE(loaded.Has(271));
    EXPECT_FALSE(loaded.Has(999));
    EXPECT_EQ(ValueOf(*loaded.Find(271)), Ascii("Make"));
    EXPECT_EQ(loaded.Find(274)->type, 3);
    EXPECT_EQ(ValueOf(*loaded.Find(274)), U16(6));
}

TEST(ImageMetadata, ALookupFindsTheLastItemOfAnIdAmongMany)
{
    // Eleven IFD0 texts, then GPS ids 1 to 6 and the interoperability ids 1 and 2, which the list holds twice:
    // the lookups cross groups of eight from the end.
    fx::TiffBytes block;
    for (std::uint16_t tag = 0x010D; tag < 0x010D + 11; ++tag)
        block.Ascii(fx::Dir::Ifd0, tag, "text");
    for (std::uint16_t tag = 1; tag <= 6; ++tag)
        block.Ascii(fx::Dir::Gps, tag, "gps");
    block.Ascii(fx::Dir::Interop, 1, "R98").Ascii(fx::Dir::Interop, 2, "0100");
    auto image = imaging::Image::FromMemory(fx::JpegBytes().Exif(block.Build()).Frame(8, 8).Build());
    ASSERT_EQ(image->GetLastStatus(), imaging::Status::Ok);
    TVekImageMetadata metadata;
    metadata.LoadFromImage(*image);
    const auto& items = image->GetAllPropertyItems();
    ASSERT_EQ(metadata.Count(), static_cast<int>(items.size()));
    for (std::uint32_t id :
         {1u, 2u, 3u, 6u, 0x010Du, 0x0117u, imaging::PropertyTagGpsIFD, imaging::PropertyTagLuminanceTable}) {
        SCOPED_TRACE(id);
        int last = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].Id == id)
                last = static_cast<int>(i);
        ASSERT_GE(last, 0);
        EXPECT_EQ(metadata.IndexOf(id), last);
        EXPECT_EQ(ValueOf(*metadata.Find(id)), items[static_cast<std::size_t>(last)].Value);
    }
    EXPECT_EQ(ValueOf(*metadata.Find(1)), Ascii("R98"));
    EXPECT_EQ(metadata.IndexOf(0x0118), -1);
    EXPECT_EQ(metadata.IndexOf(7), -1);
}

TEST(ImageMetadata, ALookupSeesWhatWasAddedOrClearedSinceTheLookupBefore)
{
    TVekImageMetadata metadata;
    metadata.SetString(1, "a");
    EXPECT_FALSE(metadata.Has(2));
    metadata.SetString(2, "b");
    EXPECT_EQ(metadata.IndexOf(2), 1);
    EXPECT_EQ(ValueOf(*metadata.Find(2)), Ascii("b"));
    metadata.Clear();
    EXPECT_FALSE(metadata.Has(2));
    EXPECT_EQ(metadata.Find(2), nullptr);
    metadata.SetString(2, "c");
    EXPECT_EQ(ValueOf(*metadata.Find(2)), Ascii("c"));

    TVekImageMetadata other;
    other.SetString(3, "d");
    EXPECT_FALSE(metadata.Has(3));
    EXPECT_TRUE(other.Has(3));
    metadata.Swap(other);
    EXPECT_TRUE(metadata.Has(3));
    EXPECT_FALSE(other.Has(3));
    EXPECT_EQ(ValueOf(*other.Find(2)), Ascii("c"));
}

TEST(ImageMetadata, LoadedItemsStayValidWhileOthersAreReplacedAndGoWithTheList)
{
    fx::TiffBytes block;
    for (std::uint16_t tag = 0x010D; tag < 0x010D + 5; ++tag)
        block.Ascii(fx::Dir::Ifd0, tag, std::string(static_cast<std::size_t>(tag - 0x0100), 'a'));
    auto image = imaging::Image::FromMemory(fx::JpegBytes().Exif(block.Build()).Frame(8, 8).Build());
    ASSERT_EQ(image->GetLastStatus(), imaging::Status::Ok);
    auto metadata = std::make_unique<TVekImageMetadata>();
    metadata->LoadFromImage(*image);
    const TPropertyItem* kept = metadata->Find(0x010F);
    ASSERT_NE(kept, nullptr);
    const Bytes keptValue = ValueOf(*kept);
    metadata->SetItem(0x010D, 7, Bytes(300, 1));  // larger than before
    metadata->SetItem(0x0111, 2, Ascii("b"));  // smaller
    metadata->SetString(0x0131, "appended");
    metadata->SetItem(0x010D, 7, Bytes(2, 3));  // an item of its own replaced again
    EXPECT_EQ(ValueOf(*kept), keptValue);
    EXPECT_EQ(ValueOf(*metadata->Find(0x010D)), Bytes(2, 3));
    EXPECT_EQ(ValueOf(*metadata->Find(0x0111)), Ascii("b"));
    // Every block is freed exactly once, whichever way it went (the sanitizer build checks).
    metadata->LoadFromImage(*image);
    EXPECT_EQ(ValueOf(*metadata->Find(0x010D)), Ascii(std::string(13, 'a')));
    metadata.reset();
}

TEST(ImageMetadata, ImageWithoutMetadataGivesAnEmptyList)
{
    auto image = imaging::Image::FromPixels(imaging::RgbaImage{1, 1, Bytes(4, 0)});
    TVekImageMetadata metadata;
    metadata.SetString(1, "old");
    metadata.LoadFromImage(*image);
    EXPECT_EQ(metadata.Count(), static_cast<int>(image->GetPropertyCount()));
    EXPECT_FALSE(metadata.Has(1));
}

struct TRecordedSet {
    toolkit::TObject* Component = nullptr;
    std::string Name;
    std::string Value;
    int Calls = 0;
};
TRecordedSet GRecorded;

void RecordSet(toolkit::TObject* component, std::string_view name, std::string_view value)
{
    GRecorded.Component = component;
    GRecorded.Name = name;
    GRecorded.Value = value;
    ++GRecorded.Calls;
}

TEST(SetStringProperty, GoesThroughTheRegisteredSetterForAComponent)
{
    toolkit::TObject component;
    GRecorded = {};
    SetStringProperty(&component, "Caption", "without a setter");
    EXPECT_EQ(GRecorded.Calls, 0);

    SetStringPropertySetter(&RecordSet);
    SetStringProperty(nullptr, "Caption", "no component");
    EXPECT_EQ(GRecorded.Calls, 0);
    SetStringProperty(&component, "Caption", "Datei");
    SetStringPropertySetter(nullptr);
    EXPECT_EQ(GRecorded.Calls, 1);
    EXPECT_EQ(GRecorded.Component, &component);
    EXPECT_EQ(GRecorded.Name, "Caption");
    EXPECT_EQ(GRecorded.Value, "Datei");
}

}  // namespace
}  // namespace ovrel::core
