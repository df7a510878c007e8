#pragma once
// The image-file service: opens JPEG, TIFF, PNG, BMP and GIF files by their content, lists their metadata as
// flat property items, writes changed items back losslessly and decodes pixels for thumbnails and drawing.
// No entry point lets an exception out; failures are a Status.

#include "platform/imaging/Constants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::imaging {

// One metadata entry. Values are in the machine's byte order, element by element; the length is
// Value.size().
struct PropertyItem {
    std::uint32_t Id = 0;
    std::uint16_t Type = 0;
    std::vector<std::uint8_t> Value;

    [[nodiscard]] std::uint32_t Length() const noexcept { return static_cast<std::uint32_t>(Value.size()); }
    friend bool operator==(const PropertyItem&, const PropertyItem&) = default;
};

// 8-bit RGBA pixels, rows top to bottom, no padding (stride = Width * 4), straight (not premultiplied) alpha.
struct RgbaImage {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint8_t> Pixels;
};

struct ImageCodecInfo {
    GUID Clsid;
    GUID FormatID;  // the raw format it writes
    std::string CodecName;
    std::string FormatDescription;
    std::string FilenameExtension;  // "*.JPG;*.JPEG;*.JPE;*.JFIF"
    std::string MimeType;
};

namespace detail {
struct ImageData;
}

class Image {
public:
    // Reads the headers and metadata only. Never null: a file that cannot be read gives an image whose
    // GetLastStatus() is not Ok and which has no other facts.
    [[nodiscard]] static std::unique_ptr<Image> FromFile(const std::string& fileName);
    [[nodiscard]] static std::unique_ptr<Image> FromMemory(std::span<const std::uint8_t> bytes);
    // An in-memory 32bppARGB bitmap (raw format MemoryBMP) holding these pixels.
    [[nodiscard]] static std::unique_ptr<Image> FromPixels(RgbaImage pixels);
    ~Image();

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    [[nodiscard]] Status GetLastStatus() const noexcept;
    [[nodiscard]] GUID GetRawFormat() const noexcept;
    [[nodiscard]] std::uint32_t GetFlags() const noexcept;
    [[nodiscard]] PixelFormat GetPixelFormat() const noexcept;
    [[nodiscard]] std::uint32_t GetWidth() const noexcept;
    [[nodiscard]] std::uint32_t GetHeight() const noexcept;
    [[nodiscard]] float GetHorizontalResolution() const noexcept;  // dpi; 96 when the file gives none
    [[nodiscard]] float GetVerticalResolution() const noexcept;
    // The byte order of the file's Exif structure, which a save keeps; false (little-endian) without one.
    // Undefined values such as a UTF-16 user comment are stored in it.
    [[nodiscard]] bool IsMetadataBigEndian() const noexcept;

    // The items in listing order: IFD0, Exif, GPS, interoperability, first IFD (0x50xx), derived items,
    // and for a JPEG the two quantisation tables last.
    [[nodiscard]] std::uint32_t GetPropertyCount() const noexcept;
    // Bytes a flat buffer of all items would take: 16 per record plus the values.
    [[nodiscard]] std::uint32_t GetPropertySize() const noexcept;
    [[nodiscard]] const std::vector<PropertyItem>& GetAllPropertyItems() const noexcept;
    [[nodiscard]] Status GetPropertyItem(std::uint32_t id, PropertyItem& item) const noexcept;
    // Replaces the item of that id in place, or appends it. Memory only, until Save.
    Status SetPropertyItem(const PropertyItem& item) noexcept;
    Status RemovePropertyItem(std::uint32_t id) noexcept;

    // Writes the image with the current items to fileName through the encoder. The image data stays
    // byte-identical to the source file; an encoder of another format than the file's own is refused.
    [[nodiscard]] Status Save(const std::string& fileName, const GUID& encoderClsid) const noexcept;
    // Writes to target + ".ExifTemp", flushes it, checks that it reads back with the items written, then
    // renames it over target. On any failure target is untouched and no temporary file is left. A target
    // that its user may not write is refused (AccessDenied), though its folder would allow the rename.
    [[nodiscard]] Status SaveReplacing(const std::string& target, const GUID& encoderClsid) const noexcept;

    // A width x height bitmap: the embedded thumbnail when there is one, else the scaled image.
    [[nodiscard]] std::unique_ptr<Image> GetThumbnailImage(std::uint32_t width, std::uint32_t height) const noexcept;
    // Decodes the pixels. With a nonzero box the decoder may scale down (by whole factors, at least to the
    // box) to save time; the result is then between the box and the full size.
    [[nodiscard]] Status Decode(RgbaImage& out, std::uint32_t boxWidth = 0, std::uint32_t boxHeight = 0) const noexcept;

    [[nodiscard]] const std::string& GetFileName() const noexcept;

private:
    Image();
    std::unique_ptr<detail::ImageData> FData;
};

// The encoders, in the order the library lists them.
[[nodiscard]] const std::vector<ImageCodecInfo>& GetImageEncoders();

// The content type of an extension that the built-in table does not know (".jpg" -> "image/jpeg" is
// built in). The program installs the desktop's MIME database here; until then unknown extensions give "".
using ContentTypeResolver = std::function<std::string(std::string_view extension)>;
void SetContentTypeResolver(ContentTypeResolver resolver);
[[nodiscard]] std::string ContentTypeOfExtension(std::string_view extension);

}  // namespace ovrel::imaging
