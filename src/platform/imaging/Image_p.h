#pragma once
// Private to the image layer: what each format's reader fills and what its writer and decoder take.

#include "platform/imaging/Image.h"

#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ovrel::imaging::detail {

// The layer's edge: runs body, a function returning a Status, and turns whatever it throws into a status, so
// that no exception leaves an entry point (std::bad_alloc gives OutOfMemory).
template <class Body> Status Guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    } catch (...) {
        return Status::GenericError;
    }
}

enum class FileKind { None, Jpeg, Tiff, Png, Bmp, Gif, Memory };

struct ImageData {
    Status LastStatus = Status::GenericError;
    FileKind Kind = FileKind::None;
    std::string FileName;  // empty for images made in memory
    // The file as it was opened: a save refuses to rewrite it when it changed since.
    std::uint64_t SourceSize = 0;
    std::int64_t SourceModifiedNs = 0;
    GUID RawFormat = ImageFormatUndefined;
    std::uint32_t Flags = 0;
    PixelFormat Format = PixelFormatUndefined;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    float DpiX = 96.0f;
    float DpiY = 96.0f;
    std::vector<PropertyItem> Items;  // listing order
    bool MetadataBigEndian = false;  // the byte order of the file's Exif structure, which a save keeps
    // Ids of items that describe the encoding: listed, but regenerated on save.
    std::vector<std::uint32_t> DerivedIds;
    // For FromMemory images: the bytes themselves. For FromPixels and thumbnails: the pixels.
    std::vector<std::uint8_t> MemoryBytes;
    std::optional<RgbaImage> Pixels;
};

// Readers: fill everything but FileName and LastStatus from the whole file's bytes. They read only headers
// and metadata. Ok or a failure status; they never throw.
Status ReadJpeg(std::span<const std::uint8_t> file, ImageData& out) noexcept;
Status ReadTiff(std::span<const std::uint8_t> file, ImageData& out) noexcept;
Status ReadPng(std::span<const std::uint8_t> file, ImageData& out) noexcept;
Status ReadBmp(std::span<const std::uint8_t> file, ImageData& out) noexcept;
Status ReadGif(std::span<const std::uint8_t> file, ImageData& out) noexcept;

// The reader of the format the bytes hold, by their content; UnknownImageFormat for none.
Status ReadImage(std::span<const std::uint8_t> bytes, ImageData& out) noexcept;
// The writer of the image's format (NotImplemented for one without metadata to write).
Status WriteImage(std::span<const std::uint8_t> original, const ImageData& image,
                  std::vector<std::uint8_t>& out) noexcept;

// Writers: the new file from the original file's bytes and the current item list. Everything that is not
// metadata is copied byte for byte.
Status WriteJpeg(std::span<const std::uint8_t> original, const ImageData& image,
                 std::vector<std::uint8_t>& out) noexcept;
Status WriteTiff(std::span<const std::uint8_t> original, const ImageData& image,
                 std::vector<std::uint8_t>& out) noexcept;
Status WritePng(std::span<const std::uint8_t> original, const ImageData& image,
                std::vector<std::uint8_t>& out) noexcept;

// Decoders: pixels of the whole file, scaled down by the decoder when a box is given (see Image::Decode).
Status DecodeJpeg(std::span<const std::uint8_t> file, std::uint32_t boxWidth, std::uint32_t boxHeight,
                  RgbaImage& out) noexcept;
Status DecodeTiff(std::span<const std::uint8_t> file, RgbaImage& out) noexcept;
Status DecodePng(std::span<const std::uint8_t> file, RgbaImage& out) noexcept;
Status DecodeBmp(std::span<const std::uint8_t> file, RgbaImage& out) noexcept;
Status DecodeGif(std::span<const std::uint8_t> file, RgbaImage& out) noexcept;

// The Exif block (a TIFF structure: header, IFD0, Exif, GPS, interoperability and first IFD) shared by JPEG
// APP1, PNG eXIf and TIFF files.
// Appends its items in listing order; a damaged entry is dropped, a damaged header gives a failure.
Status ReadExifBlock(std::span<const std::uint8_t> tiff, std::vector<PropertyItem>& items) noexcept;
// True when the block's header says big-endian ("MM").
[[nodiscard]] bool ExifBlockIsBigEndian(std::span<const std::uint8_t> tiff) noexcept;
// Builds a block from the items that belong in one (0x50xx thumbnail items into the first IFD, the
// embedded thumbnail from 0x501B). When old is not empty, values that did not change keep their offsets
// from old, so maker notes stay readable; the byte order of old is kept (little-endian otherwise).
Status WriteExifBlock(std::span<const std::uint8_t> old, const std::vector<PropertyItem>& items,
                      std::vector<std::uint8_t>& out) noexcept;

// Scales pixels to exactly width x height (area average when shrinking).
RgbaImage ScalePixels(const RgbaImage& source, std::uint32_t width, std::uint32_t height);

}  // namespace ovrel::imaging::detail
