#pragma once
// Private to the image layer: the one bounds-checked reader every format parser goes through, a small
// writer for the byte orders of TIFF structures, and a read-only mapping of a whole file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ovrel::imaging::detail {

// Reads fixed-width numbers in one byte order. Every read is checked against the end of the bytes.
class ByteReader {
public:
    // Borrowed: the bytes must outlive the reader.
    explicit ByteReader(std::span<const std::uint8_t> bytes, bool bigEndian = false) noexcept
        : FBytes(bytes), FBigEndian(bigEndian)
    {}

    [[nodiscard]] std::size_t Size() const noexcept { return FBytes.size(); }
    [[nodiscard]] bool IsBigEndian() const noexcept { return FBigEndian; }
    void SetBigEndian(bool bigEndian) noexcept { FBigEndian = bigEndian; }
    [[nodiscard]] std::span<const std::uint8_t> All() const noexcept { return FBytes; }

    [[nodiscard]] bool Has(std::size_t at, std::size_t count) const noexcept
    {
        return at <= FBytes.size() && count <= FBytes.size() - at;  // subtract: a sum could wrap
    }

    [[nodiscard]] std::optional<std::span<const std::uint8_t>> Bytes(std::size_t at, std::size_t count) const noexcept
    {
        if (!Has(at, count))
            return std::nullopt;
        return FBytes.subspan(at, count);
    }

    [[nodiscard]] std::optional<std::uint8_t> U8(std::size_t at) const noexcept
    {
        if (!Has(at, 1))
            return std::nullopt;
        return FBytes[at];
    }

    [[nodiscard]] std::optional<std::uint16_t> U16(std::size_t at) const noexcept
    {
        if (!Has(at, 2))
            return std::nullopt;
        const auto a = FBytes[at], b = FBytes[at + 1];
        return static_cast<std::uint16_t>(FBigEndian ? (a << 8) | b : (b << 8) | a);
    }

    [[nodiscard]] std::optional<std::uint32_t> U32(std::size_t at) const noexcept
    {
        if (!Has(at, 4))
            return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t k = FBigEndian ? i : 3 - i;
            v = (v << 8) | FBytes[at + k];
        }
        return v;
    }

    // Big-endian regardless of the reader's order (JPEG and PNG structures).
    [[nodiscard]] std::optional<std::uint16_t> BigU16(std::size_t at) const noexcept
    {
        if (!Has(at, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>((FBytes[at] << 8) | FBytes[at + 1]);
    }

    [[nodiscard]] std::optional<std::uint32_t> BigU32(std::size_t at) const noexcept
    {
        if (!Has(at, 4))
            return std::nullopt;
        return (std::uint32_t{FBytes[at]} << 24) | (std::uint32_t{FBytes[at + 1]} << 16) |
               (std::uint32_t{FBytes[at + 2]} << 8) | std::uint32_t{FBytes[at + 3]};
    }

    [[nodiscard]] bool Matches(std::size_t at, std::span<const std::uint8_t> expected) const noexcept
    {
        const auto got = Bytes(at, expected.size());
        if (!got)
            return false;
        for (std::size_t i = 0; i < expected.size(); ++i)
            if ((*got)[i] != expected[i])
                return false;
        return true;
    }

private:
    std::span<const std::uint8_t> FBytes;
    bool FBigEndian = false;
};

// Stores numbers in one byte order into a growing buffer; Put* overwrite at a position that exists.
class ByteWriter {
public:
    // Borrowed: the buffer must outlive the writer.
    ByteWriter(std::vector<std::uint8_t>& out, bool bigEndian) noexcept : FOut(out), FBigEndian(bigEndian) {}

    void PutU16(std::size_t at, std::uint16_t v) noexcept
    {
        FOut[at] = static_cast<std::uint8_t>(FBigEndian ? v >> 8 : v);
        FOut[at + 1] = static_cast<std::uint8_t>(FBigEndian ? v : v >> 8);
    }
    void PutU32(std::size_t at, std::uint32_t v) noexcept
    {
        for (std::size_t i = 0; i < 4; ++i) {
            const unsigned shift = static_cast<unsigned>(FBigEndian ? (3 - i) * 8 : i * 8);
            FOut[at + i] = static_cast<std::uint8_t>(v >> shift);
        }
    }

private:
    std::vector<std::uint8_t>& FOut;
    bool FBigEndian;
};

// A whole file mapped read-only. Pages are only touched when read, so opening a large image costs only
// what its headers take.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // errno-style failure: 0 on success.
    [[nodiscard]] int Open(const std::string& fileName) noexcept;
    [[nodiscard]] std::span<const std::uint8_t> Bytes() const noexcept { return {FData, FSize}; }
    [[nodiscard]] std::int64_t ModifiedNs() const noexcept { return FModifiedNs; }

private:
    void Close() noexcept;

    const std::uint8_t* FData = nullptr;
    std::size_t FSize = 0;
    std::int64_t FModifiedNs = 0;
    bool FMapped = false;
};

}  // namespace ovrel::imaging::detail
