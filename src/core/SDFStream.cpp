#include "core/SDFStream.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

namespace ovrel::core {

using namespace ovrel::toolkit;

namespace {

int WidthCode(std::uint32_t value) noexcept
{
    if (value == 0)
        return 0;
    if (value < 0x100)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    return 3;
}

constexpr std::size_t WidthOfCode(int code) noexcept { return code == 3 ? 4 : static_cast<std::size_t>(code); }

// Little-endian bytes of the low `width` bytes of value.
std::size_t StoreLittleEndian(std::uint32_t value, std::size_t width, std::uint8_t* out) noexcept
{
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return width;
}

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t width) noexcept
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

std::int32_t ToCount(std::uint32_t count)
{
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        throw EWriteError("Stream write error");
    return static_cast<std::int32_t>(count);
}

// Restores the position saved on entry, however the read ends.
class TPositionScope {
public:
    explicit TPositionScope(TVekSDFStream& stream) : FStream(stream) { FStream.PushPosition(); }
    ~TPositionScope() { FStream.PopPosition(); }
    TPositionScope(const TPositionScope&) = delete;
    TPositionScope& operator=(const TPositionScope&) = delete;

private:
    TVekSDFStream& FStream;
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------

TVekStream::TVekStream(TStream* inner) : FInner(inner) {}

TVekStream::TVekStream(std::unique_ptr<TStream> inner) : FOwned(std::move(inner)), FInner(FOwned.get()) {}

TVekStream::~TVekStream() = default;

std::int32_t TVekStream::Read(void* buffer, std::int32_t count) { return FInner ? FInner->Read(buffer, count) : 0; }

std::int32_t TVekStream::Write(const void* buffer, std::int32_t count)
{
    return FInner ? FInner->Write(buffer, count) : 0;
}

std::int64_t TVekStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    return FInner ? FInner->Seek(offset, origin) : 0;
}

std::int64_t TVekStream::GetSize() { return FInner ? FInner->GetSize() : 0; }

void TVekStream::SetSize(std::int64_t size)
{
    if (FInner)
        FInner->SetSize(size);
}

std::int64_t TVekStream::GetRemaining()
{
    if (!FInner)
        return 0;
    const std::int64_t position = FInner->GetPosition();
    const std::int64_t size = FInner->GetSize();
    FInner->SetPosition(position);
    return std::max<std::int64_t>(0, size - position);
}

std::string TVekStream::RawReadString(std::uint32_t length)
{
    // Measured before allocating: a damaged length must not ask for gigabytes.
    if (length > GetRemaining())
        throw EReadError("Stream read error");
    std::string text(length, '\0');
    ReadBuffer(text.data(), static_cast<std::int32_t>(length));
    return text;
}

std::uint8_t TVekStream::RawReadByte()
{
    std::uint8_t value = 0;
    ReadBuffer(&value, 1);
    return value;
}

std::uint32_t TVekStream::RawReadLongWord()
{
    std::array<std::uint8_t, 4> bytes{};
    ReadBuffer(bytes.data(), 4);
    return LoadLittleEndian(bytes.data(), 4);
}

float TVekStream::RawReadSingle() { return std::bit_cast<float>(RawReadLongWord()); }

std::uint16_t TVekStream::RawReadWord()
{
    std::array<std::uint8_t, 2> bytes{};
    ReadBuffer(bytes.data(), 2);
    return static_cast<std::uint16_t>(LoadLittleEndian(bytes.data(), 2));
}

void TVekStream::RawWriteByte(std::uint8_t value) { WriteBuffer(&value, 1); }

// ---------------------------------------------------------------------------------------------------------

TVekSDFStream::~TVekSDFStream() = default;

void TVekSDFStream::WriteHeader(TSDFElementKind kind, std::uint32_t id, std::uint32_t typeCode, std::uint32_t size)
{
    const int idCode = WidthCode(id);
    const int typeWidthCode = WidthCode(typeCode);
    const int sizeCode = WidthCode(size);
    std::array<std::uint8_t, 13> bytes{};
    bytes[0] =
        static_cast<std::uint8_t>((static_cast<int>(kind) << 6) | (idCode << 4) | (typeWidthCode << 2) | sizeCode);
    std::size_t length = 1;
    length += StoreLittleEndian(id, WidthOfCode(idCode), bytes.data() + length);
    length += StoreLittleEndian(typeCode, WidthOfCode(typeWidthCode), bytes.data() + length);
    length += StoreLittleEndian(size, WidthOfCode(sizeCode), bytes.data() + length);
    WriteBuffer(bytes.data(), static_cast<std::int32_t>(length));
}

void TVekSDFStream::WriteValue(std::uint32_t id, std::uint32_t typeCode, const void* payload, std::uint32_t size)
{
    WriteHeader(TSDFElementKind::ekValue, id, typeCode, size);
    if (size > 0)
        WriteBuffer(payload, ToCount(size));
}

void TVekSDFStream::WriteByte(std::uint32_t id, std::uint8_t value) { WriteValue(id, SDFTypeByte, &value, 1); }

void TVekSDFStream::WriteWord(std::uint32_t id, std::uint16_t value)
{
    std::array<std::uint8_t, 2> bytes{};
    StoreLittleEndian(value, 2, bytes.data());
    WriteValue(id, SDFTypeWord, bytes.data(), 2);
}

void TVekSDFStream::WriteLongWord(std::uint32_t id, std::uint32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    StoreLittleEndian(value, 4, bytes.data());
    WriteValue(id, SDFTypeLongWord, bytes.data(), 4);
}

void TVekSDFStream::WriteInteger(std::uint32_t id, std::int32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    StoreLittleEndian(static_cast<std::uint32_t>(value), 4, bytes.data());
    WriteValue(id, SDFTypeInteger, bytes.data(), 4);
}

void TVekSDFStream::WriteSingle(std::uint32_t id, float value)
{
    std::array<std::uint8_t, 4> bytes{};
    StoreLittleEndian(std::bit_cast<std::uint32_t>(value), 4, bytes.data());
    WriteValue(id, SDFTypeSingle, bytes.data(), 4);
}

void TVekSDFStream::WriteString(std::uint32_t id, std::string_view value)
{
    if (value.size() > std::numeric_limits<std::uint32_t>::max())
        throw EWriteError("Stream write error");
    WriteValue(id, SDFTypeString, value.data(), static_cast<std::uint32_t>(value.size()));
}

void TVekSDFStream::WriteBlob(std::uint32_t id, const void* buffer, std::uint32_t count)
{
    WriteValue(id, SDFTypeBlob, buffer, count);
}

void TVekSDFStream::BeginSection(std::uint32_t id) { WriteHeader(TSDFElementKind::ekSection, id, 0, 0); }

void TVekSDFStream::EndSection() { RawWriteByte(0); }

bool TVekSDFStream::ReadField(int widthCode, std::uint32_t& value)
{
    const std::size_t width = WidthOfCode(widthCode);
    if (width == 0)
        return true;
    std::array<std::uint8_t, 4> bytes{};
    if (Read(bytes.data(), static_cast<std::int32_t>(width)) != static_cast<std::int32_t>(width))
        return false;
    value = LoadLittleEndian(bytes.data(), width);
    return true;
}

TSDFHeader TVekSDFStream::ReadHeader()
{
    TSDFHeader header;
    (void)ReadHeader(header);
    return header;
}

bool TVekSDFStream::ReadHeader(TSDFHeader& header)
{
    header = TSDFHeader();
    if (!GetInner())
        return false;
    std::uint8_t h = 0;
    if (Read(&h, 1) != 1)
        return false;
    header.Kind = static_cast<TSDFElementKind>(h >> 6);
    // A field cut off by the end of the stream stays 0, and so do the ones after it.
    if (ReadField((h >> 4) & 3, header.Id) && ReadField((h >> 2) & 3, header.TypeCode))
        (void)ReadField(h & 3, header.Size);
    return true;
}

void TVekSDFStream::SkipElement(const TSDFHeader& header)
{
    SkipBytes(header.Size);
    if (header.Kind == TSDFElementKind::ekSection)
        SkipSection();
}

void TVekSDFStream::SkipBytes(std::uint32_t count)
{
    if (count == 0)
        return;
    if (count >= GetRemaining())
        Seek(0, TSeekOrigin::soEnd);
    else
        Seek(count, TSeekOrigin::soCurrent);
}

void TVekSDFStream::SkipSection()
{
    // Iterative, with a depth cap: a damaged file of endless section starts reads as ending.
    int depth = 1;
    while (depth > 0) {
        const TSDFHeader header = ReadHeader();
        switch (header.Kind) {
        case TSDFElementKind::ekEnd: --depth; break;
        case TSDFElementKind::ekSection:
            SkipBytes(header.Size);
            if (++depth > SDFMaxSectionDepth) {
                Seek(0, TSeekOrigin::soEnd);
                return;
            }
            break;
        default: SkipBytes(header.Size); break;
        }
    }
}

bool TVekSDFStream::Find(std::uint32_t id, TSDFHeader& header)
{
    for (;;) {
        header = ReadHeader();
        if (header.Id == id)
            return true;
        if (header.Kind == TSDFElementKind::ekEnd)
            return false;
        SkipElement(header);
    }
}

TSDFLevel TVekSDFStream::ScanLevel()
{
    TSDFLevel level;
    const TPositionScope scope(*this);
    for (;;) {
        const std::int64_t start = GetInner() ? GetPosition() : 0;
        TSDFHeader header;
        const bool read = ReadHeader(header);
        // Searched for, an end marker with an id is found too; id 0 is never searched for.
        if (header.Id != 0)
            level.FStarts.try_emplace(header.Id, start);
        if (header.Kind == TSDFElementKind::ekEnd) {
            level.FComplete = read;
            return level;
        }
        SkipElement(header);
    }
}

std::optional<std::int64_t> TSDFLevel::Find(std::uint32_t id) const
{
    const auto found = FStarts.find(id);
    if (found == FStarts.end())
        return std::nullopt;
    return found->second;
}

bool TVekSDFStream::ReadValue(std::uint32_t id, std::uint32_t typeCode, void* buffer, std::uint32_t size)
{
    const TPositionScope scope(*this);
    TSDFHeader header;
    if (!Find(id, header) || header.Kind != TSDFElementKind::ekValue || header.TypeCode != typeCode ||
        header.Size != size)
        return false;
    ReadBuffer(buffer, ToCount(size));
    return true;
}

bool TVekSDFStream::ReadByte(std::uint32_t id, std::uint8_t& value) { return ReadValue(id, SDFTypeByte, &value, 1); }

bool TVekSDFStream::ReadWord(std::uint32_t id, std::uint16_t& value)
{
    std::array<std::uint8_t, 2> bytes{};
    if (!ReadValue(id, SDFTypeWord, bytes.data(), 2))
        return false;
    value = static_cast<std::uint16_t>(LoadLittleEndian(bytes.data(), 2));
    return true;
}

bool TVekSDFStream::ReadLongWord(std::uint32_t id, std::uint32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    if (!ReadValue(id, SDFTypeLongWord, bytes.data(), 4))
        return false;
    value = LoadLittleEndian(bytes.data(), 4);
    return true;
}

bool TVekSDFStream::ReadInteger(std::uint32_t id, std::int32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    if (!ReadValue(id, SDFTypeInteger, bytes.data(), 4))
        return false;
    value = static_cast<std::int32_t>(LoadLittleEndian(bytes.data(), 4));
    return true;
}

bool TVekSDFStream::ReadSingle(std::uint32_t id, float& value)
{
    std::array<std::uint8_t, 4> bytes{};
    if (!ReadValue(id, SDFTypeSingle, bytes.data(), 4))
        return false;
    value = std::bit_cast<float>(LoadLittleEndian(bytes.data(), 4));
    return true;
}

bool TVekSDFStream::ReadString(std::uint32_t id, std::string& value)
{
    value.clear();
    const TPositionScope scope(*this);
    TSDFHeader header;
    if (!Find(id, header) || header.Kind != TSDFElementKind::ekValue || header.TypeCode != SDFTypeString)
        return false;
    value = RawReadString(header.Size);
    return true;
}

bool TVekSDFStream::ReadBlob(std::uint32_t id, void* buffer, std::uint32_t count)
{
    // Read into a scratch buffer so a short payload leaves the caller's bytes as they were.
    std::vector<std::uint8_t> bytes(count);
    if (!ReadValue(id, SDFTypeBlob, bytes.data(), count))
        return false;
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(buffer));
    return true;
}

bool TVekSDFStream::OpenSection(std::uint32_t id)
{
    PushPosition();
    TSDFHeader header;
    if (Find(id, header) && header.Kind == TSDFElementKind::ekSection)
        return true;
    PopPosition();
    return false;
}

void TVekSDFStream::CloseSection() { PopPosition(); }

void TVekSDFStream::PushPosition()
{
    if (GetInner())
        FPositionStack.push_back(GetPosition());
}

void TVekSDFStream::PopPosition()
{
    if (!GetInner() || FPositionStack.empty())
        return;
    const std::int64_t position = FPositionStack.back();
    FPositionStack.pop_back();
    SetPosition(position);
}

}  // namespace ovrel::core
