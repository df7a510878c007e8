#pragma once
// A tagged binary stream: numbered, typed values and nested sections that a reader picks out by number,
// in any order, skipping what it does not know.

#include "toolkit/Streams.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ovrel::core {

/// A stream that forwards to an inner stream and adds raw little-endian reads.
class TVekStream : public toolkit::TStream {
public:
    /// Borrowed: the inner stream must outlive this one; it may be null.
    explicit TVekStream(toolkit::TStream* inner);
    /// Takes ownership of the inner stream.
    explicit TVekStream(std::unique_ptr<toolkit::TStream> inner);
    ~TVekStream() override;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    std::int64_t Seek(std::int64_t offset, toolkit::TSeekOrigin origin) override;
    std::int64_t GetSize() override;
    void SetSize(std::int64_t size) override;

    [[nodiscard]] toolkit::TStream* GetInner() const noexcept { return FInner; }
    /// Bytes from the current position to the end; 0 without an inner stream.
    [[nodiscard]] std::int64_t GetRemaining();

    // Exact reads and writes at the current position; they raise EReadError / EWriteError.
    std::string RawReadString(std::uint32_t length);
    std::uint8_t RawReadByte();
    std::uint32_t RawReadLongWord();
    float RawReadSingle();
    std::uint16_t RawReadWord();
    void RawWriteByte(std::uint8_t value);

private:
    std::unique_ptr<toolkit::TStream> FOwned;
    toolkit::TStream* FInner = nullptr;
};

enum class TSDFElementKind : std::uint8_t { ekEnd = 0, ekValue = 1, ekSection = 2, ekReserved = 3 };

struct TSDFHeader {
    TSDFElementKind Kind = TSDFElementKind::ekEnd;
    std::uint32_t Id = 0;
    std::uint32_t TypeCode = 0;
    std::uint32_t Size = 0;
};

// Type codes of values.
inline constexpr std::uint32_t SDFTypeByte = 4;
inline constexpr std::uint32_t SDFTypeWord = 6;
inline constexpr std::uint32_t SDFTypeLongWord = 8;
inline constexpr std::uint32_t SDFTypeInteger = 9;
inline constexpr std::uint32_t SDFTypeSingle = 11;
inline constexpr std::uint32_t SDFTypeString = 15;
inline constexpr std::uint32_t SDFTypeBlob = 17;

/// Sections nested deeper than this read as the end of the stream.
inline constexpr int SDFMaxSectionDepth = 64;

/// Where the elements of one level start, found in one pass over it: for each id, the first element of
/// that id, which is the one a search from the level's start finds.
class TSDFLevel {
public:
    /// The position of the element's header, or nothing when the level has no element of that id.
    [[nodiscard]] std::optional<std::int64_t> Find(std::uint32_t id) const;
    /// False when the stream ended before the level's end marker: it was cut short.
    [[nodiscard]] bool IsComplete() const noexcept { return FComplete; }

private:
    friend class TVekSDFStream;
    std::unordered_map<std::uint32_t, std::int64_t> FStarts;
    bool FComplete = false;
};

/// Writes and reads tagged elements. Reads never move the stream: each searches its level from the start
/// of that level (the stream's start, or just inside the section opened last). Ids are 1 or greater.
class TVekSDFStream : public TVekStream {
public:
    using TVekStream::TVekStream;
    ~TVekSDFStream() override;

    void WriteByte(std::uint32_t id, std::uint8_t value);
    void WriteWord(std::uint32_t id, std::uint16_t value);
    void WriteLongWord(std::uint32_t id, std::uint32_t value);
    void WriteInteger(std::uint32_t id, std::int32_t value);
    void WriteSingle(std::uint32_t id, float value);
    void WriteString(std::uint32_t id, std::string_view value);
    void WriteBlob(std::uint32_t id, const void* buffer, std::uint32_t count);
    void BeginSection(std::uint32_t id);
    void EndSection();

    // True when a value of that id and type was read; the target is unchanged otherwise. A payload
    // shorter than its size raises EReadError.
    bool ReadByte(std::uint32_t id, std::uint8_t& value);
    bool ReadWord(std::uint32_t id, std::uint16_t& value);
    bool ReadLongWord(std::uint32_t id, std::uint32_t& value);
    bool ReadInteger(std::uint32_t id, std::int32_t& value);
    bool ReadSingle(std::uint32_t id, float& value);
    /// Empties the target first.
    bool ReadString(std::uint32_t id, std::string& value);
    /// True only when the blob holds exactly count bytes.
    bool ReadBlob(std::uint32_t id, void* buffer, std::uint32_t count);

    /// Enters the section of that id, keeping the position of the call on the stack for CloseSection;
    /// false leaves the position as it was.
    bool OpenSection(std::uint32_t id);
    void CloseSection();
    void PushPosition();
    /// Nothing when the stack is empty or there is no inner stream.
    void PopPosition();

    /// The header at the current position; the end of the stream reads as an end marker.
    TSDFHeader ReadHeader();

    /// Reads the level from the current position to its end marker once, in order, and comes back. A
    /// reader of many elements of one level then moves to each with SetPosition, where the reads find it
    /// at once, instead of searching the level from its start for every one.
    [[nodiscard]] TSDFLevel ScanLevel();

private:
    /// As ReadHeader; false when not even the header's first byte was there.
    bool ReadHeader(TSDFHeader& header);
    /// Moves past the element whose header was just read, as a search does.
    void SkipElement(const TSDFHeader& header);
    void WriteHeader(TSDFElementKind kind, std::uint32_t id, std::uint32_t typeCode, std::uint32_t size);
    void WriteValue(std::uint32_t id, std::uint32_t typeCode, const void* payload, std::uint32_t size);
    /// Reads the payload of a value of that id, type and size into buffer.
    bool ReadValue(std::uint32_t id, std::uint32_t typeCode, void* buffer, std::uint32_t size);
    bool Find(std::uint32_t id, TSDFHeader& header);
    /// Moves forward by count bytes, or to the end when fewer remain.
    void SkipBytes(std::uint32_t count);
    void SkipSection();
    bool ReadField(int widthCode, std::uint32_t& value);

    std::vector<std::int64_t> FPositionStack;
};

}  // namespace ovrel::core
