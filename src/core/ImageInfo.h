#pragma once
// One image file as the program sees it: its file facts, its metadata, a cached thumbnail, and the writes
// of its metadata back into the file.

#include "core/ImageMetadata.h"
#include "core/Rect.h"
#include "platform/imaging/Image.h"
#include "toolkit/DateUtils.h"
#include "toolkit/System.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ovrel::core {

// Pseudo-property ids: the file facts, the computed 35 mm equivalent, and "none".
inline constexpr std::uint32_t PropertyIdFileName = 0xFFFE;
inline constexpr std::uint32_t PropertyIdFileLocation = 0xFFFD;
inline constexpr std::uint32_t PropertyIdFileSize = 0xFFFC;
inline constexpr std::uint32_t PropertyIdFileFormat = 0xFFFB;
inline constexpr std::uint32_t PropertyIdFileColorSpace = 0xFFFA;
inline constexpr std::uint32_t PropertyIdPixelFormat = 0xFFF9;
inline constexpr std::uint32_t PropertyIdDimension = 0xFFF8;
inline constexpr std::uint32_t PropertyIdResolution = 0xFFF7;
inline constexpr std::uint32_t PropertyId35mmEquivalent = 0xFFF6;
inline constexpr std::uint32_t PropertyIdNone = 0xFFFF;
inline constexpr int PseudoPropertyCount = 8;

// Tags the core reads by number.
inline constexpr std::uint32_t TagMake = 271;
inline constexpr std::uint32_t TagModel = 272;
inline constexpr std::uint32_t TagFocalLength = 37386;
inline constexpr std::uint32_t TagExifVersion = 0x9000;
inline constexpr std::uint32_t TagUserComment = 37510;

/// Where a thumbnail is drawn; the user interface implements it over its device contexts.
class TThumbnailCanvas {
public:
    virtual ~TThumbnailCanvas();
    /// Draws the pixels into dest, which has the image's own size.
    virtual void DrawImage(const imaging::RgbaImage& image, const TRect& dest) = 0;
};

/// The date of an EXIF date text ("yyyy:mm:dd hh:nn:ss", separators not examined); the current date and
/// time when the fields do not form a valid date. Raises EConvertError when a field is not a number.
[[nodiscard]] toolkit::TDateTime ParseExifDateTime(std::string_view text);
/// As ParseExifDateTime, but false instead of the current date when the fields do not form a valid date.
[[nodiscard]] bool TryParseExifDateTime(std::string_view text, toolkit::TDateTime& value);
/// "yyyy:mm:dd hh:nn:ss" followed by one zero character; stored as ASCII it takes 21 bytes.
[[nodiscard]] std::string FormatExifDateTime(toolkit::TDateTime dateTime);

/// One image file with its file facts and its metadata.
class TVekImageInfo : public toolkit::TObject {
public:
    /// Reads the file's facts and metadata; a file that cannot be read gives a non-Ok load status.
    explicit TVekImageInfo(std::string fileName);
    /// As above, and hands the opened image to the caller.
    TVekImageInfo(std::string fileName, std::unique_ptr<imaging::Image>& image);
    /// As the first, with the file's size as the caller found it (a folder search has it), so that the file is
    /// not measured once more.
    TVekImageInfo(std::string fileName, std::int64_t fileSize);
    ~TVekImageInfo() override;

    [[nodiscard]] imaging::Status GetLoadStatus() const noexcept { return FLoadStatus; }
    [[nodiscard]] const std::string& GetFileName() const noexcept { return FFileName; }
    [[nodiscard]] std::int64_t GetFileSize() const noexcept { return FFileSize; }
    [[nodiscard]] const imaging::GUID& GetRawFormat() const noexcept { return FRawFormat; }
    [[nodiscard]] std::uint32_t GetImageFlags() const noexcept { return FImageFlags; }
    [[nodiscard]] imaging::PixelFormat GetPixelFormat() const noexcept { return FPixelFormat; }
    [[nodiscard]] std::uint32_t GetWidth() const noexcept { return FWidth; }
    [[nodiscard]] std::uint32_t GetHeight() const noexcept { return FHeight; }
    [[nodiscard]] float GetHorizontalResolution() const noexcept { return FHorizontalResolution; }
    [[nodiscard]] float GetVerticalResolution() const noexcept { return FVerticalResolution; }
    [[nodiscard]] const TVekImageMetadata& GetMetadata() const noexcept { return FMetadata; }
    [[nodiscard]] TVekImageMetadata& GetMetadata() noexcept { return FMetadata; }
    /// The cached thumbnail, null until the first DrawThumbnail that could open the file.
    [[nodiscard]] const imaging::Image* GetThumbnail() const noexcept { return FThumbnail.get(); }

    /// Takes the facts and the metadata of an opened image; a non-Ok image leaves everything else empty.
    void ReadAttributes(const imaging::Image& image);

    /// The eight file facts (indices 0 to 7), then the metadata items.
    [[nodiscard]] int GetPropertyCount() const noexcept { return FMetadata.Count() + PseudoPropertyCount; }
    [[nodiscard]] std::uint32_t GetPropertyId(int index) const;
    [[nodiscard]] bool HasProperty(std::uint32_t id) const noexcept;
    /// The display text, empty when the image lacks the property.
    [[nodiscard]] std::string GetPropertyText(std::uint32_t id) const;
    /// The catalogue caption, empty when the id has no row or the image lacks the property.
    [[nodiscard]] std::string GetPropertyCaption(std::uint32_t id) const;
    /// The property parsed as an EXIF date; the current date and time when the image lacks it.
    [[nodiscard]] toolkit::TDateTime GetPropertyDate(std::uint32_t id) const;
    /// Stores the text as an ASCII item (type 2), whatever the id.
    void SetPropertyText(std::uint32_t id, std::string_view text);
    /// Stores the user comment (37510) as readers expect it: type 7 behind the character code "ASCII\0\0\0"
    /// when every byte of the UTF-8 text is 7-bit, else "UNICODE\0" and UTF-16 in the file's Exif byte order.
    void SetUserComment(std::string_view text);
    /// The byte order the file's Exif structure has and a save keeps (little-endian without one).
    [[nodiscard]] bool GetMetadataBigEndian() const noexcept { return FMetadataBigEndian; }
    /// For index 8 and up, the record of item index - 8 (its value stays owned by the metadata); for the
    /// file facts item is left untouched.
    void GetPropertyItem(int index, TPropertyItem& item) const;
    void SetPropertyItem(std::uint32_t id, std::uint16_t type, std::uint32_t length, const void* bytes);
    /// Empties the metadata in memory; the file is untouched.
    void ClearProperties();

    /// Draws the thumbnail, made on first use to fit a boxWidth x boxHeight box, centred in rect.
    void DrawThumbnail(TThumbnailCanvas& canvas, const TRect& rect, std::int32_t boxWidth, std::int32_t boxHeight);

    /// Writes the metadata into the file. False when nothing was written; the file is then unchanged.
    [[nodiscard]] bool SaveToFile();
    /// Rewrites the file without its metadata; the metadata in memory is kept.
    [[nodiscard]] bool ClearExif();
    /// Why the last SaveToFile or ClearExif wrote nothing (AccessDenied for a file its user may not write,
    /// UnknownImageFormat for an extension without an encoder); Ok after a success and before any.
    [[nodiscard]] imaging::Status GetSaveStatus() const noexcept { return FSaveStatus; }

private:
    void Open(std::string fileName, std::unique_ptr<imaging::Image>& image, std::optional<std::int64_t> fileSize);
    void ReadFacts(const imaging::Image& image);
    void ReadFileSize();
    /// Saves through the encoder of the file's extension, then refreshes the facts from the new file.
    [[nodiscard]] bool SaveReplacing(const imaging::Image& bitmap);
    void RefreshFromFile();

    imaging::Status FLoadStatus = imaging::Status::GenericError;
    imaging::Status FSaveStatus = imaging::Status::Ok;
    std::string FFileName;
    std::int64_t FFileSize = 0;
    imaging::GUID FRawFormat;
    std::uint32_t FImageFlags = 0;
    imaging::PixelFormat FPixelFormat = imaging::PixelFormatUndefined;
    std::uint32_t FWidth = 0;
    std::uint32_t FHeight = 0;
    float FHorizontalResolution = 0.0f;
    float FVerticalResolution = 0.0f;
    bool FMetadataBigEndian = false;
    std::unique_ptr<imaging::Image> FThumbnail;
    imaging::RgbaImage FThumbnailPixels;
    TVekImageMetadata FMetadata;  // held in place: sorting reads it for every comparison
};

/// The MIME type metadata is saved with for a file name: built in for JPEG, TIFF and PNG extensions
/// (compared lower-cased), the desktop's content type otherwise, empty without an extension.
[[nodiscard]] std::string MimeTypeOfFileName(std::string_view fileName);

}  // namespace ovrel::core
