#include "toolkit/Streams.h"

#include "toolkit/Base_p.h"
#include "toolkit/SysUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <random>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// TStream

TStream::~TStream() = default;

std::int64_t TStream::GetSize()
{
    const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t /*size*/) { throw EStreamError("Stream size cannot be changed"); }

std::int64_t TStream::GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }

void TStream::SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

void TStream::ReadBuffer(void* buffer, std::int32_t count)
{
    if (count < 0)
        throw EReadError("Stream read error");
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const std::int32_t got = Read(bytes + done, count - done);
        if (got <= 0)
            throw EReadError("Stream read error");
        done += got;
    }
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count)
{
    if (count < 0)
        throw EWriteError("Stream write error");
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const std::int32_t put = Write(bytes + done, count - done);
        if (put <= 0)
            throw EWriteError("Stream write error");
        done += put;
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    if (count < 0)
        throw EReadError("Stream read error");
    constexpr std::int32_t BufferSize = 64 * 1024;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, BufferSize)));
    std::int64_t left = count;
    while (left > 0) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::int64_t>(left, BufferSize));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

// ---------------------------------------------------------------------------------------------------------
// THandleStream

THandleStream::THandleStream(int handle) : FHandle(handle) {}

THandleStream::~THandleStream() = default;

std::int32_t THandleStream::Read(void* buffer, std::int32_t count)
{
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(FHandle, bytes + done, static_cast<std::size_t>(count - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::int32_t>(got);
    }
    return done;
}

std::int32_t THandleStream::Write(const void* buffer, std::int32_t count)
{
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(FHandle, bytes + done, static_cast<std::size_t>(count - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += static_cast<std::int32_t>(put);
    }
    return done;
}

std::int64_t THandleStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    const off_t result = ::lseek(FHandle, static_cast<off_t>(offset), whence);
    if (result < 0)
        throw EStreamError("Stream seek error. " + detail::ErrnoText(errno));
    return static_cast<std::int64_t>(result);
}

void THandleStream::SetSize(std::int64_t size)
{
    if (size < 0 || ::ftruncate(FHandle, static_cast<off_t>(size)) != 0)
        throw EWriteError("Stream write error");
    if (GetPosition() > size)
        SetPosition(size);
}

// ---------------------------------------------------------------------------------------------------------
// TFileStream

namespace {

int OpenFile(const std::string& fileName, std::uint16_t mode)
{
    if ((mode & fmCreate) == fmCreate) {
        const int fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + detail::ErrnoText(errno));
        return fd;
    }
    int flags = O_CLOEXEC;
    switch (mode & 3) {
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    default: throw EFOpenError("Cannot open file \"" + fileName + "\". " + detail::ErrnoText(EINVAL));
    }
    const int fd = ::open(fileName.c_str(), flags);
    if (fd < 0)
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + detail::ErrnoText(errno));
    // A folder opens for reading on Linux, but is no file to read.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + detail::ErrnoText(EISDIR));
    }
    return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, std::uint16_t mode)
    : THandleStream(OpenFile(fileName, mode)), FFileName(fileName)
{}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

// ---------------------------------------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::~TMemoryStream() = default;

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count)
{
    const auto size = static_cast<std::int64_t>(FData.size());
    if (count <= 0 || FPosition >= size)
        return 0;
    const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(count, size - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0)
        return 0;
    const std::int64_t end = FPosition + count;
    if (end > static_cast<std::int64_t>(FData.size()))
        SetSize(end);
    std::memcpy(FData.data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0
                              : origin == TSeekOrigin::soCurrent ? FPosition
                                                                 : static_cast<std::int64_t>(FData.size());
    if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0)
        throw EStreamError("Stream seek error");
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    if (size < 0)
        throw EStreamError("Stream size cannot be negative");
    if (static_cast<std::uint64_t>(size) > FData.max_size())
        throw EOutOfMemory("Out of memory");
    try {
        FData.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
    FPosition = std::min(FPosition, size);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const std::int64_t size = stream.GetSize();
    SetSize(size);
    FPosition = 0;
    std::int64_t done = 0;
    while (done < size) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::int64_t>(size - done, INT32_MAX));
        stream.ReadBuffer(FData.data() + done, chunk);
        done += chunk;
    }
}

void TMemoryStream::SaveToStream(TStream& stream) const
{
    std::size_t done = 0;
    while (done < FData.size()) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::size_t>(FData.size() - done, INT32_MAX));
        stream.WriteBuffer(FData.data() + done, chunk);
        done += static_cast<std::size_t>(chunk);
    }
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    FData = ReadFileBytes(fileName);
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const { WriteFileAtomically(fileName, FData); }

// ---------------------------------------------------------------------------------------------------------
// Whole files

namespace {

// Removes the temporary file unless the rename made it the real one.
class TTemporaryFile {
public:
    TTemporaryFile(std::string name, int fd) : FName(std::move(name)), FHandle(fd) {}
    ~TTemporaryFile()
    {
        Close();
        if (!FName.empty())
            ::unlink(FName.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    int GetHandle() const { return FHandle; }
    const std::string& GetName() const { return FName; }
    bool Close()
    {
        if (FHandle < 0)
            return true;
        const bool ok = ::close(FHandle) == 0;
        FHandle = -1;
        return ok;
    }
    void Keep() { FName.clear(); }

private:
    std::string FName;
    int FHandle;
};

// The file a name finally stands for, so writing over a symbolic link replaces its target, not the link.
std::string ResolveTarget(const std::string& fileName)
{
    struct stat info {};
    if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return fileName;
    char* resolved = ::realpath(fileName.c_str(), nullptr);
    if (!resolved)
        return fileName;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

}  // namespace

void WriteFileAtomically(const std::string& fileName, std::span<const std::uint8_t> bytes)
{
    const std::string target = ResolveTarget(fileName);
    std::random_device random;
    int fd = -1;
    std::string tempName;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tempName = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + detail::ErrnoText(errno));
    TTemporaryFile temp(tempName, fd);
    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    const auto fail = [&](int error) {
        throw EWriteError("Cannot write file \"" + fileName + "\". " + detail::ErrnoText(error));
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            fail(put < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (!temp.Close())
        fail(errno);
    if (::rename(tempName.c_str(), target.c_str()) != 0)
        fail(errno);
    temp.Keep();
    // Make the rename itself durable; a folder that cannot be synced does not undo the write.
    const std::string folder = ExtractFileDir(target);
    const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead);
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[64 * 1024];
    while (true) {
        const ssize_t got = ::read(file.GetHandle(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EReadError("Cannot read file \"" + fileName + "\". " + detail::ErrnoText(errno));
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

}  // namespace ovrel::toolkit
