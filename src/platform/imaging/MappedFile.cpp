// The read-only file mapping of ByteReader.h.

#include "platform/imaging/ByteReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ovrel::imaging::detail {

MappedFile::~MappedFile() { Close(); }

void MappedFile::Close() noexcept
{
    if (FMapped)
        ::munmap(const_cast<std::uint8_t*>(FData), FSize);
    FData = nullptr;
    FSize = 0;
    FMapped = false;
}

int MappedFile::Open(const std::string& fileName) noexcept
{
    Close();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = EISDIR;
    } else if (st.st_size > 0) {
        void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p == MAP_FAILED) {
            error = errno;
        } else {
            FData = static_cast<const std::uint8_t*>(p);
            FSize = static_cast<std::size_t>(st.st_size);
            FMapped = true;
        }
    }
    if (error == 0)
        FModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    ::close(fd);  // the mapping stays valid without the descriptor
    return error;
}

}  // namespace ovrel::imaging::detail
