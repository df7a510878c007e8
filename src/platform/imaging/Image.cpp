// Opening images by their content, the item list, and saving through an encoder with a checked
// replacement of the file.

#include "platform/imaging/Image.h"

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Structure_p.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace ovrel::imaging {

using detail::FileKind;
using detail::ImageData;

namespace {

FileKind DetectKind(std::span<const std::uint8_t> bytes) noexcept
{
    const detail::ByteReader r(bytes);
    static constexpr std::uint8_t Jpeg[] = {0xFF, 0xD8, 0xFF};
    static constexpr std::uint8_t TiffLittle[] = {'I', 'I', 42, 0};
    static constexpr std::uint8_t TiffBig[] = {'M', 'M', 0, 42};
    static constexpr std::uint8_t Png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static constexpr std::uint8_t Bmp[] = {'B', 'M'};
    static constexpr std::uint8_t Gif87[] = {'G', 'I', 'F', '8', '7', 'a'};
    static constexpr std::uint8_t Gif89[] = {'G', 'I', 'F', '8', '9', 'a'};
    if (r.Matches(0, Jpeg))
        return FileKind::Jpeg;
    if (r.Matches(0, TiffLittle) || r.Matches(0, TiffBig))
        return FileKind::Tiff;
    if (r.Matches(0, Png))
        return FileKind::Png;
    if (r.Matches(0, Gif87) || r.Matches(0, Gif89))
        return FileKind::Gif;
    if (r.Matches(0, Bmp))
        return FileKind::Bmp;
    return FileKind::None;
}

// Everything a JPEG's reader looks at comes before its first scan, and the segment lengths say how far that
// reaches: a small first read, then the bytes the segments seen so far still need. A camera file's headers are
// read in two steps, without the scan data behind them.
inline constexpr std::size_t JpegFirstRead = 4096;
// Read past the end of a segment in the same step, for the small segments that usually follow it.
inline constexpr std::size_t JpegReadAhead = 4096;
// Room for the headers of most camera files, kept between reads.
inline constexpr std::size_t JpegHeadBuffer = 64 * 1024;
// Headers that reach further are read from a mapping of the whole file instead.
inline constexpr std::size_t JpegHeadLimit = std::size_t{1} << 20;

// Closes a descriptor on every path.
class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : FFd(fd) {}
    ~Descriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int Get() const noexcept { return FFd; }

private:
    int FFd;
};

// Reads exactly count bytes at offset; false on an error or when the file ends first.
bool ReadAt(int fd, std::uint8_t* to, std::size_t count, std::size_t offset) noexcept
{
    while (count > 0) {
        const ssize_t n = ::pread(fd, to, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        to += n;
        offset += static_cast<std::size_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// The bytes the head of a JPEG file is read into, kept from one file to the next: a folder read opens
// thousands of them. What grew for an unusual file is given back once that file is read.
class HeadBuffer {
public:
    // At least size bytes, the first keep of them kept from before.
    std::uint8_t* Reserve(std::size_t size, std::size_t keep)
    {
        if (size > FSize) {
            std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[size]);  // not zeroed: read over before use
            std::copy_n(FBytes.get(), keep, grown.get());
            FBytes = std::move(grown);
            FSize = size;
        }
        return FBytes.get();
    }
    void Trim() noexcept
    {
        if (FSize > JpegHeadBuffer) {
            FBytes.reset();
            FSize = 0;
        }
    }

private:
    std::unique_ptr<std::uint8_t[]> FBytes;
    std::size_t FSize = 0;
};

// Opens a JPEG from the head of its file; false (data untouched) when the file is no JPEG, its headers are
// damaged or reach past JpegHeadLimit, and the caller reads the whole file instead.
bool ReadJpegFromHead(const std::string& fileName, ImageData& data)
{
    const Descriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
        return false;
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    const auto upTo = [fileSize](std::size_t size) {
        return static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, size));
    };
    thread_local HeadBuffer buffer;
    struct Trimmed {
        ~Trimmed() { buffer.Trim(); }
    } trimmed;
    std::size_t have = 0;
    std::size_t want = upTo(JpegFirstRead);
    for (;;) {
        std::uint8_t* head = buffer.Reserve(std::max(want, JpegHeadBuffer), have);
        if (!ReadAt(file.Get(), head + have, want - have, have))
            return false;
        have = want;
        const std::span<const std::uint8_t> bytes(head, have);
        const auto length = detail::JpegHeaderLength(bytes);
        if (!length || *length > fileSize || *length > JpegHeadLimit)
            return false;
        if (*length <= have) {
            ImageData read;
            if (detail::ReadJpeg(bytes, read) != Status::Ok)
                return false;
            read.FileName = std::move(data.FileName);
            read.SourceSize = fileSize;
            read.SourceModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            data = std::move(read);
            return true;
        }
        want = upTo(*length + JpegReadAhead);
    }
}

// An image that failed keeps only its status and name.
void Fail(ImageData& data, Status status)
{
    std::string name = std::move(data.FileName);
    data = ImageData{};
    data.FileName = std::move(name);
    data.LastStatus = status;
}

Status StatusOfErrno(int error) noexcept
{
    switch (error) {
    case 0: return Status::Ok;
    case ENOENT:
    case ENOTDIR: return Status::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return Status::AccessDenied;
    case ENOMEM: return Status::OutOfMemory;
    default: return Status::Win32Error;
    }
}

FileKind KindOfFormat(const GUID& format) noexcept
{
    if (format == ImageFormatJPEG)
        return FileKind::Jpeg;
    if (format == ImageFormatTIFF)
        return FileKind::Tiff;
    if (format == ImageFormatPNG)
        return FileKind::Png;
    if (format == ImageFormatBMP)
        return FileKind::Bmp;
    if (format == ImageFormatGIF)
        return FileKind::Gif;
    return FileKind::None;
}

// The new file's bytes: the source with the current items, through an encoder of the source's own format.
Status BuildFile(const ImageData& data, const GUID& encoderClsid, std::vector<std::uint8_t>& out)
{
    if (data.LastStatus != Status::Ok)
        return Status::WrongState;
    const auto& encoders = GetImageEncoders();
    const auto encoder = std::find_if(encoders.begin(), encoders.end(),
                                      [&](const ImageCodecInfo& e) { return e.Clsid == encoderClsid; });
    if (encoder == encoders.end())
        return Status::FileNotFound;  // no such encoder
    if (KindOfFormat(encoder->FormatID) != data.Kind)
        return Status::InvalidParameter;
    if (data.Kind == FileKind::Bmp || data.Kind == FileKind::Gif)
        return Status::PropertyNotSupported;  // these formats hold no property items

    detail::MappedFile file;
    std::span<const std::uint8_t> original = data.MemoryBytes;
    if (data.MemoryBytes.empty()) {
        if (const int error = file.Open(data.FileName); error != 0)
            return StatusOfErrno(error);
        // Items of another version of the file must not be written into this one.
        if (file.Bytes().size() != data.SourceSize || file.ModifiedNs() != data.SourceModifiedNs)
            return Status::WrongState;
        original = file.Bytes();
    }
    return detail::WriteImage(original, data, out);
}

// Closes the descriptor, and removes the file unless Keep() was called.
class OutputFile {
public:
    explicit OutputFile(std::string name) : FName(std::move(name)) {}
    ~OutputFile()
    {
        if (FFd >= 0)
            ::close(FFd);
        if (FCreated && !FKept)
            ::unlink(FName.c_str());
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    Status Write(std::span<const std::uint8_t> bytes, bool sync, std::optional<mode_t> mode)
    {
        FFd = ::open(FName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (FFd < 0)
            return StatusOfErrno(errno);
        FCreated = true;
        if (mode && ::fchmod(FFd, *mode & 07777) != 0)
            return StatusOfErrno(errno);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return StatusOfErrno(n < 0 ? errno : EIO);
            done += static_cast<std::size_t>(n);
        }
        if (sync && ::fsync(FFd) != 0)
            return StatusOfErrno(errno);
        const int fd = std::exchange(FFd, -1);
        if (::close(fd) != 0)
            return StatusOfErrno(errno);
        return Status::Ok;
    }
    void Keep() noexcept { FKept = true; }

private:
    std::string FName;
    int FFd = -1;
    bool FCreated = false;
    bool FKept = false;
};

bool IsDerived(const ImageData& data, std::uint32_t id)
{
    return std::find(data.DerivedIds.begin(), data.DerivedIds.end(), id) != data.DerivedIds.end() ||
           detail::IsDerivedExifId(id);
}

// The items a save writes from the list, in a comparable order.
std::vector<PropertyItem> StoredItems(const ImageData& data, const ImageData& other)
{
    std::vector<PropertyItem> items;
    for (const auto& item : data.Items)
        if (!IsDerived(data, item.Id) && !IsDerived(other, item.Id))
            items.push_back(item);
    std::sort(items.begin(), items.end(), [](const PropertyItem& a, const PropertyItem& b) {
        return std::tie(a.Id, a.Type, a.Value) < std::tie(b.Id, b.Type, b.Value);
    });
    return items;
}

void SyncFolderOf(const std::string& fileName)
{
    const auto slash = fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : fileName.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);  // best effort: the rename itself already happened
        ::close(fd);
    }
}

ContentTypeResolver& Resolver()
{
    static ContentTypeResolver resolver;
    return resolver;
}

}  // namespace

Status detail::ReadImage(std::span<const std::uint8_t> bytes, ImageData& data) noexcept
{
    switch (DetectKind(bytes)) {
    case FileKind::Jpeg: return ReadJpeg(bytes, data);
    case FileKind::Tiff: return ReadTiff(bytes, data);
    case FileKind::Png: return ReadPng(bytes, data);
    case FileKind::Bmp: return ReadBmp(bytes, data);
    case FileKind::Gif: return ReadGif(bytes, data);
    default: return Status::UnknownImageFormat;
    }
}

Status detail::WriteImage(std::span<const std::uint8_t> original, const ImageData& image,
                          std::vector<std::uint8_t>& out) noexcept
{
    switch (image.Kind) {
    case FileKind::Jpeg: return WriteJpeg(original, image, out);
    case FileKind::Tiff: return WriteTiff(original, image, out);
    case FileKind::Png: return WritePng(original, image, out);
    default: return Status::NotImplemented;
    }
}

Image::Image() : FData(std::make_unique<ImageData>()) {}

Image::~Image() = default;

std::unique_ptr<Image> Image::FromFile(const std::string& fileName)
{
    try {
        std::unique_ptr<Image> image(new Image());
        ImageData& data = *image->FData;
        data.FileName = fileName;
        if (ReadJpegFromHead(fileName, data)) {
            data.LastStatus = Status::Ok;
            return image;
        }
        detail::MappedFile file;
        if (const int error = file.Open(fileName); error != 0) {
            Fail(data, StatusOfErrno(error));
            return image;
        }
        const Status status = detail::ReadImage(file.Bytes(), data);
        if (status != Status::Ok) {
            Fail(data, status);
            return image;
        }
        data.SourceSize = file.Bytes().size();
        data.SourceModifiedNs = file.ModifiedNs();
        data.LastStatus = Status::Ok;
        return image;
    } catch (...) {
        return nullptr;  // not even an empty image could be made
    }
}

std::unique_ptr<Image> Image::FromMemory(std::span<const std::uint8_t> bytes)
{
    try {
        std::unique_ptr<Image> image(new Image());
        ImageData& data = *image->FData;
        data.MemoryBytes.assign(bytes.begin(), bytes.end());
        const Status status = detail::ReadImage(data.MemoryBytes, data);
        if (status != Status::Ok) {
            Fail(data, status);
            return image;
        }
        data.LastStatus = Status::Ok;
        return image;
    } catch (...) {
        return nullptr;
    }
}

Status Image::GetLastStatus() const noexcept { return FData->LastStatus; }
GUID Image::GetRawFormat() const noexcept { return FData->RawFormat; }
std::uint32_t Image::GetFlags() const noexcept { return FData->Flags; }
PixelFormat Image::GetPixelFormat() const noexcept { return FData->Format; }
std::uint32_t Image::GetWidth() const noexcept { return FData->Width; }
std::uint32_t Image::GetHeight() const noexcept { return FData->Height; }
float Image::GetHorizontalResolution() const noexcept { return FData->DpiX; }
float Image::GetVerticalResolution() const noexcept { return FData->DpiY; }
bool Image::IsMetadataBigEndian() const noexcept { return FData->MetadataBigEndian; }
const std::string& Image::GetFileName() const noexcept { return FData->FileName; }

std::uint32_t Image::GetPropertyCount() const noexcept { return static_cast<std::uint32_t>(FData->Items.size()); }

std::uint32_t Image::GetPropertySize() const noexcept
{
    std::uint64_t size = 0;
    for (const auto& item : FData->Items)
        size += 16 + item.Value.size();
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFFu));
}

const std::vector<PropertyItem>& Image::GetAllPropertyItems() const noexcept { return FData->Items; }

// With several items of one id (an image may list them so), the last one is the item of that id.
Status Image::GetPropertyItem(std::uint32_t id, PropertyItem& item) const noexcept
{
    return detail::Guarded([&] {
        const PropertyItem* found = detail::FindItem(FData->Items, id);
        if (!found)
            return Status::PropertyNotFound;
        item = *found;  // copying the value can only fail for want of memory
        return Status::Ok;
    });
}

Status Image::SetPropertyItem(const PropertyItem& item) noexcept
{
    return detail::Guarded([&] {
        if (FData->LastStatus != Status::Ok)
            return Status::WrongState;
        const std::uint32_t unit = detail::ElementSize(item.Type);
        if (unit == 0 || item.Value.size() % unit != 0)
            return Status::InvalidParameter;
        auto& items = FData->Items;
        // Applying an image's own list back to it must not fold duplicates of one id into one.
        if (std::find(items.begin(), items.end(), item) != items.end())
            return Status::Ok;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->Id == item.Id) {
                *it = item;
                return Status::Ok;
            }
        }
        items.push_back(item);
        return Status::Ok;
    });
}

Status Image::RemovePropertyItem(std::uint32_t id) noexcept
{
    auto& items = FData->Items;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->Id == id) {
            items.erase(std::next(it).base());
            return Status::Ok;
        }
    }
    return Status::PropertyNotFound;
}

Status Image::Save(const std::string& fileName, const GUID& encoderClsid) const noexcept
{
    return detail::Guarded([&] {
        if (fileName.empty())
            return Status::InvalidParameter;
        std::vector<std::uint8_t> bytes;
        if (const Status status = BuildFile(*FData, encoderClsid, bytes); status != Status::Ok)
            return status;
        OutputFile out(fileName);
        const Status status = out.Write(bytes, false, std::nullopt);
        if (status == Status::Ok)
            out.Keep();
        return status;
    });
}

Status Image::SaveReplacing(const std::string& target, const GUID& encoderClsid) const noexcept
{
    return detail::Guarded([&] {
        if (target.empty())
            return Status::InvalidParameter;
        std::vector<std::uint8_t> bytes;
        if (const Status status = BuildFile(*FData, encoderClsid, bytes); status != Status::Ok)
            return status;
        std::optional<mode_t> mode;
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0) {
            // A file its user may not write stays as it is, though the rename would replace it.
            if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
                return StatusOfErrno(errno);
            mode = st.st_mode;  // the replacement keeps the permissions of the file it replaces
        }
        const std::string temp = target + ".ExifTemp";
        OutputFile out(temp);
        if (const Status status = out.Write(bytes, true, mode); status != Status::Ok)
            return status;
        const auto back = FromFile(temp);
        if (!back || back->GetLastStatus() != Status::Ok || back->FData->Kind != FData->Kind ||
            StoredItems(*back->FData, *FData) != StoredItems(*FData, *back->FData))
            return Status::GenericError;
        if (::rename(temp.c_str(), target.c_str()) != 0)
            return StatusOfErrno(errno);
        out.Keep();
        SyncFolderOf(target);
        return Status::Ok;
    });
}

const std::vector<ImageCodecInfo>& GetImageEncoders()
{
    static const std::vector<ImageCodecInfo> encoders = {
        {CodecBMP, ImageFormatBMP, "Built-in BMP Codec", "BMP", "*.BMP;*.DIB;*.RLE", "image/bmp"},
        {CodecJPEG, ImageFormatJPEG, "Built-in JPEG Codec", "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg"},
        {CodecGIF, ImageFormatGIF, "Built-in GIF Codec", "GIF", "*.GIF", "image/gif"},
        {CodecTIFF, ImageFormatTIFF, "Built-in TIFF Codec", "TIFF", "*.TIF;*.TIFF", "image/tiff"},
        {CodecPNG, ImageFormatPNG, "Built-in PNG Codec", "PNG", "*.PNG", "image/png"},
    };
    return encoders;
}

void SetContentTypeResolver(ContentTypeResolver resolver) { Resolver() = std::move(resolver); }

std::string ContentTypeOfExtension(std::string_view extension)
{
    std::string lower(extension);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static constexpr std::pair<std::string_view, std::string_view> BuiltIn[] = {
        {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".jpe", "image/jpeg"},
        {".tif", "image/tiff"}, {".tiff", "image/tiff"}, {".png", "image/png"},
    };
    for (auto [ext, type] : BuiltIn)
        if (lower == ext)
            return std::string(type);
    if (lower.empty() || !Resolver())
        return {};
    try {
        return Resolver()(extension);
    } catch (...) {
        return {};  // a failing lookup knows no type
    }
}

std::string StatusText(Status status)
{
    switch (status) {
    case Status::Ok: return "Ok";
    case Status::GenericError: return "Generic error";
    case Status::InvalidParameter: return "Invalid parameter";
    case Status::OutOfMemory: return "Out of memory";
    case Status::ObjectBusy: return "Object busy";
    case Status::InsufficientBuffer: return "Insufficient buffer";
    case Status::NotImplemented: return "Not implemented";
    case Status::Win32Error: return "System error";
    case Status::WrongState: return "Wrong state";
    case Status::Aborted: return "Aborted";
    case Status::FileNotFound: return "File not found";
    case Status::ValueOverflow: return "Value overflow";
    case Status::AccessDenied: return "Access denied";
    case Status::UnknownImageFormat: return "Unknown image format";
    case Status::FontFamilyNotFound: return "Font family not found";
    case Status::FontStyleNotFound: return "Font style not found";
    case Status::NotTrueTypeFont: return "Not a TrueType font";
    case Status::UnsupportedGdiplusVersion: return "Unsupported version";
    case Status::GdiplusNotInitialized: return "Not initialized";
    case Status::PropertyNotFound: return "Property not found";
    case Status::PropertyNotSupported: return "Property not supported";
    case Status::ProfileNotFound: return "Profile not found";
    }
    return "Unknown status";
}

}  // namespace ovrel::imaging
