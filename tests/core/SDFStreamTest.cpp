#include "core/SDFStream.h"

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ovrel::core {
namespace {

using toolkit::TMemoryStream;
using Bytes = std::vector<std::uint8_t>;

Bytes Contents(const TMemoryStream& memory)
{
    const auto bytes = memory.GetBytes();
    return Bytes(bytes.begin(), bytes.end());
}

Bytes Written(const std::function<void(TVekSDFStream&)>& write)
{
    TMemoryStream memory;
    TVekSDFStream stream(&memory);
    write(stream);
    return Contents(memory);
}

// A stream over the bytes, positioned at the start.
struct TReader {
    explicit TReader(const Bytes& bytes)
    {
        if (!bytes.empty())
            Memory.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        Memory.SetPosition(0);
    }
    TMemoryStream Memory;
    TVekSDFStream Stream{&Memory};
};

struct EncodingRow {
    const char* Name;
    std::function<void(TVekSDFStream&)> Write;
    Bytes Expected;
};

class SDFEncoding : public ::testing::TestWithParam<EncodingRow> {};

TEST_P(SDFEncoding, WritesTheExactBytes) { EXPECT_EQ(Written(GetParam().Write), GetParam().Expected); }

Bytes BlobBytes()
{
    Bytes bytes{0x55, 0x05, 0x11, 0x2C};
    for (int i = 0; i < 44; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SDFEncoding,
    ::testing::Values(
        EncodingRow{"Word", [](TVekSDFStream& s) { s.WriteWord(11, 0x0409); }, {0x55, 0x0B, 0x06, 0x02, 0x09, 0x04}},
        EncodingRow{"SectionStart", [](TVekSDFStream& s) { s.BeginSection(4); }, {0x90, 0x04}},
        EncodingRow{"SectionEnd", [](TVekSDFStream& s) { s.EndSection(); }, {0x00}},
        EncodingRow{"Blob",
                    [](TVekSDFStream& s) {
                        std::array<std::uint8_t, 44> data{};
                        for (int i = 0; i < 44; ++i)
                            data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
                        s.WriteBlob(5, data.data(), 44);
                    },
                    BlobBytes()},
        // id 300 needs two bytes; the payload size 1 one byte
        EncodingRow{"TwoByteId", [](TVekSDFStream& s) { s.WriteByte(300, 7); }, {0x65, 0x2C, 0x01, 0x04, 0x01, 0x07}},
        // an id of 0x10000 takes width code 3 and four bytes
        EncodingRow{"FourByteId",
                    [](TVekSDFStream& s) { s.WriteLongWord(0x10000, 0x12345678); },
                    {0x75, 0x00, 0x00, 0x01, 0x00, 0x08, 0x04, 0x78, 0x56, 0x34, 0x12}},
        // size 0 leaves the size field out
        EncodingRow{"EmptyString", [](TVekSDFStream& s) { s.WriteString(1, ""); }, {0x54, 0x01, 0x0F}},
        EncodingRow{"Integer",
                    [](TVekSDFStream& s) { s.WriteInteger(2, -2); },
                    {0x55, 0x02, 0x09, 0x04, 0xFE, 0xFF, 0xFF, 0xFF}},
        EncodingRow{"Single",
                    [](TVekSDFStream& s) { s.WriteSingle(3, 1.5f); },
                    {0x55, 0x03, 0x0B, 0x04, 0x00, 0x00, 0xC0, 0x3F}},
        EncodingRow{"String", [](TVekSDFStream& s) { s.WriteString(6, "ab"); }, {0x55, 0x06, 0x0F, 0x02, 'a', 'b'}}),
    [](const auto& row) { return std::string(row.param.Name); });

Bytes SampleFile()
{
    return Written([](TVekSDFStream& s) {
        s.WriteInteger(1, -7);
        s.WriteString(2, "two");
        s.BeginSection(3);
        s.WriteWord(1, 0x0101);
        s.WriteByte(4, 44);
        s.EndSection();
        s.WriteLongWord(4, 0xDEADBEEF);
        s.WriteSingle(5, 0.25f);
        s.EndSection();
    });
}

TEST(SDFStream, ReadsTheElementsOfALevelInAnyOrder)
{
    TReader reader(SampleFile());
    std::uint32_t longWord = 0;
    float single = 0;
    std::string text;
    std::int32_t integer = 0;
    EXPECT_TRUE(reader.Stream.ReadSingle(5, single));
    EXPECT_TRUE(reader.Stream.ReadLongWord(4, longWord));
    EXPECT_TRUE(reader.Stream.ReadString(2, text));
    EXPECT_TRUE(reader.Stream.ReadInteger(1, integer));
    EXPECT_EQ(single, 0.25f);
    EXPECT_EQ(longWord, 0xDEADBEEFu);
    EXPECT_EQ(text, "two");
    EXPECT_EQ(integer, -7);
    EXPECT_EQ(reader.Stream.GetPosition(), 0) << "reads never move the stream";
}

TEST(SDFStream, FindsSectionElementsOnlyInsideTheirSection)
{
    TReader reader(SampleFile());
    std::uint16_t word = 0;
    EXPECT_FALSE(reader.Stream.ReadWord(1, word)) << "id 1 at the top level is an integer";
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.Stream.ReadByte(4, byte)) << "the byte with id 4 is inside section 3";

    ASSERT_TRUE(reader.Stream.OpenSection(3));
    EXPECT_TRUE(reader.Stream.ReadByte(4, byte));
    EXPECT_TRUE(reader.Stream.ReadWord(1, word));
    EXPECT_EQ(byte, 44);
    EXPECT_EQ(word, 0x0101);
    std::uint32_t longWord = 0;
    EXPECT_FALSE(reader.Stream.ReadLongWord(4, longWord)) << "the section's id 4 is a byte";
    float single = 0;
    EXPECT_FALSE(reader.Stream.ReadSingle(5, single)) << "the search stops at the section's end";
    reader.Stream.CloseSection();

    EXPECT_TRUE(reader.Stream.ReadLongWord(4, longWord));
    EXPECT_EQ(longWord, 0xDEADBEEFu);
}

TEST(SDFStream, MissingSectionLeavesThePosition)
{
    TReader reader(SampleFile());
    EXPECT_FALSE(reader.Stream.OpenSection(9));
    EXPECT_FALSE(reader.Stream.OpenSection(2)) << "id 2 is a value, not a section";
    EXPECT_EQ(reader.Stream.GetPosition(), 0);
    std::int32_t integer = 0;
    EXPECT_TRUE(reader.Stream.ReadInteger(1, integer));
}

TEST(SDFStream, WrongTypeCodeIsNotAccepted)
{
    TReader reader(Written([](TVekSDFStream& s) {
        s.WriteLongWord(1, 5);
        s.WriteInteger(2, 6);
    }));
    std::int32_t integer = 99;
    std::uint32_t longWord = 99;
    EXPECT_FALSE(reader.Stream.ReadInteger(1, integer));
    EXPECT_FALSE(reader.Stream.ReadLongWord(2, longWord));
    EXPECT_EQ(integer, 99);
    EXPECT_EQ(longWord, 99u);
    std::string text = "left";
    EXPECT_FALSE(reader.Stream.ReadString(1, text));
    EXPECT_EQ(text, "") << "a string target is emptied even when nothing is read";
}

TEST(SDFStream, BlobOfAnotherSizeLeavesTheBuffer)
{
    std::array<std::uint8_t, 44> data{};
    data.fill(0xAB);
    TReader reader(Written([&](TVekSDFStream& s) { s.WriteBlob(5, data.data(), 44); }));
    std::array<std::uint8_t, 47> buffer{};
    buffer.fill(0x11);
    EXPECT_FALSE(reader.Stream.ReadBlob(5, buffer.data(), 47));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0x11; }));

    std::array<std::uint8_t, 44> exact{};
    EXPECT_TRUE(reader.Stream.ReadBlob(5, exact.data(), 44));
    EXPECT_EQ(exact, data);
}

TEST(SDFStream, EmptyStreamAndNoStreamReadNothing)
{
    TReader empty(Bytes{});
    TVekSDFStream none(static_cast<toolkit::TStream*>(nullptr));
    for (TVekSDFStream* stream : {&empty.Stream, &none}) {
        std::uint8_t byte = 1;
        std::uint16_t word = 1;
        std::uint32_t longWord = 1;
        std::int32_t integer = 1;
        float single = 1;
        std::string text = "x";
        std::uint8_t blob[2] = {1, 1};
        EXPECT_FALSE(stream->ReadByte(1, byte));
        EXPECT_FALSE(stream->ReadWord(1, word));
        EXPECT_FALSE(stream->ReadLongWord(1, longWord));
        EXPECT_FALSE(stream->ReadInteger(1, integer));
        EXPECT_FALSE(stream->ReadSingle(1, single));
        EXPECT_FALSE(stream->ReadString(1, text));
        EXPECT_FALSE(stream->ReadBlob(1, blob, 2));
        EXPECT_FALSE(stream->OpenSection(1));
        stream->PopPosition();  // an empty stack does nothing
        EXPECT_EQ(byte, 1);
        EXPECT_EQ(integer, 1);
    }
}

TEST(SDFStream, WideFieldsRoundTrip)
{
    const Bytes text(70000, 'x');
    TReader reader(Written([&](TVekSDFStream& s) {
        s.WriteString(0x12345, std::string(text.begin(), text.end()));
        s.BeginSection(0x10000);
        s.WriteWord(0xFFFF, 0xFFFF);
        s.EndSection();
    }));
    std::string value;
    EXPECT_TRUE(reader.Stream.ReadString(0x12345, value));
    EXPECT_EQ(value.size(), 70000u);
    ASSERT_TRUE(reader.Stream.OpenSection(0x10000));
    std::uint16_t word = 0;
    EXPECT_TRUE(reader.Stream.ReadWord(0xFFFF, word));
    EXPECT_EQ(word, 0xFFFF);
}

TEST(SDFStream, PayloadCutShortRaisesReadError)
{
    Bytes bytes = Written([](TVekSDFStream& s) { s.WriteString(1, "hello"); });
    bytes.resize(bytes.size() - 2);
    TReader reader(bytes);
    std::string text;
    EXPECT_THROW((void)reader.Stream.ReadString(1, text), toolkit::EReadError);
    EXPECT_EQ(reader.Stream.GetPosition(), 0) << "the position is restored on the way out";

    Bytes integer = Written([](TVekSDFStream& s) { s.WriteInteger(1, 5); });
    integer.resize(integer.size() - 1);
    TReader shortInteger(integer);
    std::int32_t value = 0;
    EXPECT_THROW((void)shortInteger.Stream.ReadInteger(1, value), toolkit::EReadError);
}

TEST(SDFStream, SizeRunningPastTheEndReadsAsTheEnd)
{
    // A string element claiming 0x7FFFFFF0 bytes, followed by nothing.
    TReader reader(Bytes{0x57, 0x01, 0x0F, 0xF0, 0xFF, 0xFF, 0x7F, 'a'});
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.Stream.ReadByte(2, byte));
    std::string text;
    EXPECT_THROW((void)reader.Stream.ReadString(1, text), toolkit::EReadError) << "no allocation of the claimed size";
}

TEST(SDFStream, HeaderCutOffByTheEndReadsAsAnEndMarker)
{
    TReader reader(Bytes{0x75, 0x00, 0x00});  // a four-byte id of which two bytes exist
    const TSDFHeader header = reader.Stream.ReadHeader();
    EXPECT_EQ(header.Kind, TSDFElementKind::ekValue);
    EXPECT_EQ(header.Id, 0u);
    EXPECT_EQ(header.Size, 0u);
    EXPECT_EQ(reader.Stream.ReadHeader().Kind, TSDFElementKind::ekEnd);
}

struct DepthRow {
    const char* Name;
    int Depth;
    bool FoundAfter;
};

class SDFSectionDepth : public ::testing::TestWithParam<DepthRow> {};

TEST_P(SDFSectionDepth, DeepNestingReadsAsTheEnd)
{
    const int depth = GetParam().Depth;
    TReader reader(Written([&](TVekSDFStream& s) {
        for (int i = 0; i < depth; ++i)
            s.BeginSection(1);
        s.WriteByte(9, 1);
        for (int i = 0; i < depth; ++i)
            s.EndSection();
        s.WriteByte(2, 5);
    }));
    std::uint8_t byte = 0;
    EXPECT_EQ(reader.Stream.ReadByte(2, byte), GetParam().FoundAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, SDFSectionDepth,
                         ::testing::Values(DepthRow{"Shallow", 3, true}, DepthRow{"AtTheCap", SDFMaxSectionDepth, true},
                                           DepthRow{"PastTheCap", SDFMaxSectionDepth + 1, false},
                                           DepthRow{"FarPastTheCap", 5000, false}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(SDFStream, ALevelScanFindsWhatASearchFromTheLevelStartFinds)
{
    // Ids repeat, hide in a nested section, and one comes as an end marker that carries it.
    const Bytes bytes = Written([](TVekSDFStream& s) {
        s.WriteInteger(1, 10);
        s.WriteInteger(2, 20);
        s.BeginSection(3);
        s.WriteInteger(4, 40);  // not of the outer level
        s.EndSection();
        s.WriteInteger(1, 11);  // a search finds the first one
        s.WriteLongWord(5, 50);
        s.RawWriteByte(0x10);  // an end marker carrying id 6: found, and the level ends there
        s.RawWriteByte(6);
        s.WriteInteger(7, 70);
    });
    TReader reader(bytes);
    TVekSDFStream& stream = reader.Stream;
    const TSDFLevel level = stream.ScanLevel();
    EXPECT_EQ(stream.GetPosition(), 0);
    EXPECT_TRUE(level.IsComplete());
    for (std::uint32_t id = 1; id <= 8; ++id) {
        SCOPED_TRACE(id);
        std::int32_t searched = -1;
        const bool foundBySearch = stream.ReadInteger(id, searched);
        const bool openedBySearch = stream.OpenSection(id);
        if (openedBySearch)
            stream.CloseSection();
        const std::optional<std::int64_t> start = level.Find(id);
        EXPECT_EQ(start.has_value(), id <= 3 || id == 5 || id == 6);
        std::int32_t scanned = -1;
        bool foundByScan = false;
        bool openedByScan = false;
        if (start) {
            stream.SetPosition(*start);
            foundByScan = stream.ReadInteger(id, scanned);
            openedByScan = stream.OpenSection(id);
            if (openedByScan)
                stream.CloseSection();
            stream.SetPosition(0);
        }
        EXPECT_EQ(foundByScan, foundBySearch);
        EXPECT_EQ(scanned, searched);
        EXPECT_EQ(openedByScan, openedBySearch);
    }
    // Cut before its end marker (the last element takes 8 bytes), the level is not complete.
    for (const std::size_t length : {bytes.size() - 10, std::size_t{9}, std::size_t{1}}) {
        SCOPED_TRACE(length);
        TReader cut(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_FALSE(cut.Stream.ScanLevel().IsComplete());
    }
}

TEST(SDFStream, PushAndPopRestorePositionsInOrder)
{
    TReader reader(Bytes(10, 0));
    reader.Stream.SetPosition(2);
    reader.Stream.PushPosition();
    reader.Stream.SetPosition(5);
    reader.Stream.PushPosition();
    reader.Stream.SetPosition(9);
    reader.Stream.PopPosition();
    EXPECT_EQ(reader.Stream.GetPosition(), 5);
    reader.Stream.PopPosition();
    EXPECT_EQ(reader.Stream.GetPosition(), 2);
    reader.Stream.PopPosition();
    EXPECT_EQ(reader.Stream.GetPosition(), 2);
}

class TTrackedStream : public TMemoryStream {
public:
    explicit TTrackedStream(bool& destroyed) : FDestroyed(destroyed) {}
    ~TTrackedStream() override { FDestroyed = true; }

private:
    bool& FDestroyed;
};

TEST(VekStream, DestroysOnlyAnOwnedInnerStream)
{
    bool ownedGone = false;
    {
        TVekStream stream(std::make_unique<TTrackedStream>(ownedGone));
    }
    EXPECT_TRUE(ownedGone);

    bool borrowedGone = false;
    TTrackedStream borrowed(borrowedGone);
    {
        TVekStream stream(&borrowed);
    }
    EXPECT_FALSE(borrowedGone);
}

TEST(VekStream, RawReadsAreLittleEndianAndExact)
{
    TMemoryStream memory;
    const std::uint8_t bytes[] = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0x3F, 'h', 'i', 0x07};
    memory.WriteBuffer(bytes, sizeof bytes);
    memory.SetPosition(0);
    TVekStream stream(&memory);
    EXPECT_EQ(stream.GetRemaining(), 13);
    EXPECT_EQ(stream.RawReadWord(), 0x1234);
    EXPECT_EQ(stream.RawReadLongWord(), 0x12345678u);
    EXPECT_EQ(stream.RawReadSingle(), 1.0f);
    EXPECT_EQ(stream.RawReadString(2), "hi");
    EXPECT_EQ(stream.RawReadByte(), 7);
    EXPECT_EQ(stream.GetRemaining(), 0);
    EXPECT_THROW((void)stream.RawReadByte(), toolkit::EReadError);
}

}  // namespace
}  // namespace ovrel::core
