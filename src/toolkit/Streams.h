#pragma once

#include "toolkit/System.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ovrel::toolkit {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

inline constexpr std::uint16_t fmCreate = 0xFF00;  // create, or truncate an existing file; read and write
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
// Share modes are accepted and ignored: Linux has no mandatory file sharing.
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

/// A sequence of bytes with a position. Read and Write may move fewer bytes than asked; ReadBuffer and
/// WriteBuffer move exactly the count or raise.
class TStream : public TObject {
public:
    ~TStream() override;

    /// Bytes read (0 at the end); a count <= 0 reads nothing.
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    /// Bytes written.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
    /// The new position; raises EStreamError when the position would be negative or the device cannot seek.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    virtual std::int64_t GetSize();
    virtual void SetSize(std::int64_t size);
    std::int64_t GetPosition();
    void SetPosition(std::int64_t position);

    /// Exactly `count` bytes or EReadError("Stream read error").
    void ReadBuffer(void* buffer, std::int32_t count);
    /// Exactly `count` bytes or EWriteError("Stream write error").
    void WriteBuffer(const void* buffer, std::int32_t count);
    /// Copies `count` bytes from the source's position, or the whole source from its start when count is 0.
    /// Raises EReadError when the source ends early. Returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

/// A stream over an open file descriptor, which it does not close.
class THandleStream : public TStream {
public:
    explicit THandleStream(int handle);
    ~THandleStream() override;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    /// Truncates or extends the file; raises EWriteError on failure.
    void SetSize(std::int64_t size) override;
    int GetHandle() const { return FHandle; }

protected:
    int FHandle;
};

/// A file opened by name, closed with the stream. Mode: fmCreate, or fmOpenRead / fmOpenWrite /
/// fmOpenReadWrite combined with a share flag. Raises EFCreateError("Cannot create file \"name\". reason")
/// or EFOpenError("Cannot open file \"name\". reason").
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& fileName, std::uint16_t mode);
    ~TFileStream() override;

    const std::string& GetFileName() const { return FFileName; }

private:
    std::string FFileName;
};

/// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    /// Any position >= 0 is allowed; writing past the end fills the gap with zero bytes.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(FData.size()); }
    /// Keeps the position, clipped to the new size.
    void SetSize(std::int64_t size) override;

    const void* GetMemory() const { return FData.data(); }
    void* GetMemory() { return FData.data(); }
    std::span<const std::uint8_t> GetBytes() const { return FData; }
    void Clear();
    /// Replaces the content with the stream's from its start; position 0 afterwards.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    /// Raises EFOpenError when the file cannot be read.
    void LoadFromFile(const std::string& fileName);
    /// Writes atomically; raises EFCreateError / EWriteError.
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

/// Writes a whole file safely: a temporary file beside it, flushed to disk, then renamed over the name.
/// On failure the temporary file is removed, the old file is untouched, and EFCreateError or EWriteError
/// is raised.
void WriteFileAtomically(const std::string& fileName, std::span<const std::uint8_t> bytes);
/// Reads a whole file; raises EFOpenError when it cannot be opened, EReadError when reading fails.
std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName);

}  // namespace ovrel::toolkit
