#include "core/ImageInfo.h"

#include "core/PropertyCatalog.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cstdio>

namespace ovrel::core {

using namespace ovrel::toolkit;

TThumbnailCanvas::~TThumbnailCanvas() = default;

bool TryParseExifDateTime(std::string_view text, TDateTime& value)
{
    // The characters at 1-based position and count, as Copy takes them, without a string of their own.
    const auto field = [text](std::size_t position, std::size_t count) {
        return position > text.size() ? std::string_view() : text.substr(position - 1, count);
    };
    const int year = StrToInt(field(1, 4));
    const int month = StrToInt(field(6, 2));
    const int day = StrToInt(field(9, 2));
    const int hour = StrToInt(field(12, 2));
    const int minute = StrToInt(field(15, 2));
    const int second = StrToInt(field(18, 2));
    return TryEncodeDateTime(year, month, day, hour, minute, second, 0, value);
}

TDateTime ParseExifDateTime(std::string_view text)
{
    TDateTime result = 0;
    if (TryParseExifDateTime(text, result))
        return result;
    return Now();
}

std::string FormatExifDateTime(TDateTime dateTime)
{
    // Fixed ':' separators: the locale's time separator must not reach a value stored in the file.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeDateTime(dateTime, year, month, day, hour, minute, second, millisecond);
    char text[64];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    std::string result(text);
    result.push_back('\0');
    return result;
}

std::string MimeTypeOfFileName(std::string_view fileName)
{
    const std::string extension = LowerCase(ExtractFileExt(fileName));
    if (extension.empty())
        return {};
    return imaging::ContentTypeOfExtension(extension);  // the image layer knows the built-in types
}

TVekImageInfo::TVekImageInfo(std::string fileName)
{
    std::unique_ptr<imaging::Image> image;
    Open(std::move(fileName), image, std::nullopt);
}

TVekImageInfo::TVekImageInfo(std::string fileName, std::unique_ptr<imaging::Image>& image)
{
    Open(std::move(fileName), image, std::nullopt);
}

TVekImageInfo::TVekImageInfo(std::string fileName, std::int64_t fileSize)
{
    std::unique_ptr<imaging::Image> image;
    Open(std::move(fileName), image, fileSize);
}

TVekImageInfo::~TVekImageInfo() = default;

void TVekImageInfo::Open(std::string fileName, std::unique_ptr<imaging::Image>& image,
                         std::optional<std::int64_t> fileSize)
{
    FFileName = std::move(fileName);
    if (fileSize)
        FFileSize = std::max<std::int64_t>(0, *fileSize);
    else
        ReadFileSize();
    FMetadata.Clear();
    image = imaging::Image::FromFile(FFileName);
    ReadAttributes(*image);
}

void TVekImageInfo::ReadFileSize()
{
    // A file that cannot be measured is one the image layer cannot read either; its status says so.
    FFileSize = std::max<std::int64_t>(0, FileSizeOf(FFileName));
}

void TVekImageInfo::ReadAttributes(const imaging::Image& image)
{
    FLoadStatus = image.GetLastStatus();
    if (FLoadStatus != imaging::Status::Ok)
        return;
    ReadFacts(image);
    FMetadata.LoadFromImage(image);
}

void TVekImageInfo::ReadFacts(const imaging::Image& image)
{
    FRawFormat = image.GetRawFormat();
    FImageFlags = image.GetFlags();
    FPixelFormat = image.GetPixelFormat();
    FWidth = image.GetWidth();
    FHeight = image.GetHeight();
    FHorizontalResolution = image.GetHorizontalResolution();
    FVerticalResolution = image.GetVerticalResolution();
    FMetadataBigEndian = image.IsMetadataBigEndian();
}

std::uint32_t TVekImageInfo::GetPropertyId(int index) const
{
    if (index < 0)
        return PropertyIdNone;
    if (index < PseudoPropertyCount)
        return PropertyIdFileName - static_cast<std::uint32_t>(index);
    const int item = index - PseudoPropertyCount;
    if (item >= FMetadata.Count())
        return PropertyIdNone;
    return FMetadata.GetItem(item).id;
}

bool TVekImageInfo::HasProperty(std::uint32_t id) const noexcept
{
    if (id >= PropertyIdResolution && id <= PropertyIdFileName)
        return true;
    if (id == PropertyId35mmEquivalent)
        return FMetadata.Has(TagFocalLength) && FMetadata.Has(TagMake) && FMetadata.Has(TagModel);
    return FMetadata.Has(id);
}

std::string TVekImageInfo::GetPropertyText(std::uint32_t id) const
{
    if (!HasProperty(id))
        return {};
    return ImageInfoFormat().FormatValue(*this, id);
}

std::string TVekImageInfo::GetPropertyCaption(std::uint32_t id) const
{
    const TEXIFPropertyInfo* row = FindEXIFProperty(id);
    if (!row || !HasProperty(id))
        return {};
    return row->Caption;
}

TDateTime TVekImageInfo::GetPropertyDate(std::uint32_t id) const
{
    if (!HasProperty(id))
        return Now();
    return ParseExifDateTime(ImageInfoFormat().TypedText(FMetadata.Find(id)));
}

void TVekImageInfo::SetPropertyText(std::uint32_t id, std::string_view text) { FMetadata.SetString(id, text); }

void TVekImageInfo::SetUserComment(std::string_view text)
{
    static constexpr std::string_view Ascii("ASCII\0\0\0", 8);
    static constexpr std::string_view Unicode("UNICODE\0", 8);
    std::vector<std::uint8_t> bytes;
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        bytes.reserve(Ascii.size() + text.size());
        bytes.insert(bytes.end(), Ascii.begin(), Ascii.end());
        bytes.insert(bytes.end(), text.begin(), text.end());
    } else {
        // Undefined bytes are written as they stand, so the code units take the block's order here.
        const std::u16string units = Utf8ToUtf16(text);
        bytes.reserve(Unicode.size() + 2 * units.size());
        bytes.insert(bytes.end(), Unicode.begin(), Unicode.end());
        for (const char16_t unit : units) {
            const auto high = static_cast<std::uint8_t>(unit >> 8);
            const auto low = static_cast<std::uint8_t>(unit & 0xFF);
            bytes.push_back(FMetadataBigEndian ? high : low);
            bytes.push_back(FMetadataBigEndian ? low : high);
        }
    }
    FMetadata.SetItem(TagUserComment, imaging::PropertyTagTypeUndefined, bytes);
}

void TVekImageInfo::GetPropertyItem(int index, TPropertyItem& item) const
{
    if (index < PseudoPropertyCount)
        return;
    item = FMetadata.GetItem(index - PseudoPropertyCount);
}

void TVekImageInfo::SetPropertyItem(std::uint32_t id, std::uint16_t type, std::uint32_t length, const void* bytes)
{
    FMetadata.SetItem(id, type, length, bytes);
}

void TVekImageInfo::ClearProperties() { FMetadata.Clear(); }

void TVekImageInfo::DrawThumbnail(TThumbnailCanvas& canvas, const TRect& rect, std::int32_t boxWidth,
                                  std::int32_t boxHeight)
{
    if (!FThumbnail) {
        const auto image = imaging::Image::FromFile(FFileName);
        if (image->GetLastStatus() == imaging::Status::Ok) {
            const TRect source = RectOfSize(image->GetWidth(), image->GetHeight());
            const TRect fitted = FitRect(source, TRect{0, 0, boxWidth, boxHeight});
            const auto width = static_cast<std::uint32_t>(std::max(1, fitted.Width()));
            const auto height = static_cast<std::uint32_t>(std::max(1, fitted.Height()));
            auto thumbnail = image->GetThumbnailImage(width, height);
            imaging::RgbaImage pixels;
            if (thumbnail && thumbnail->GetLastStatus() == imaging::Status::Ok &&
                thumbnail->Decode(pixels) == imaging::Status::Ok) {
                FThumbnail = std::move(thumbnail);
                FThumbnailPixels = std::move(pixels);
            }
        }
    }
    if (!FThumbnail)
        return;
    const TRect own = RectOfSize(FThumbnailPixels.Width, FThumbnailPixels.Height);
    canvas.DrawImage(FThumbnailPixels, CenterRect(own, rect));
}

bool TVekImageInfo::SaveToFile()
{
    const auto bitmap = imaging::Image::FromFile(FFileName);
    FSaveStatus = bitmap->GetLastStatus();
    if (FSaveStatus != imaging::Status::Ok)
        return false;
    FMetadata.ApplyTo(*bitmap);
    return SaveReplacing(*bitmap);
}

bool TVekImageInfo::ClearExif()
{
    const auto bitmap = imaging::Image::FromFile(FFileName);
    FSaveStatus = bitmap->GetLastStatus();
    if (FSaveStatus != imaging::Status::Ok)
        return false;
    std::vector<std::uint32_t> ids;
    for (const imaging::PropertyItem& item : bitmap->GetAllPropertyItems())
        ids.push_back(item.Id);
    if (ids.empty())
        return true;  // nothing to clear
    // The last two listed items stay, and so does the thumbnail format.
    for (std::size_t i = 0; i + 2 < ids.size(); ++i)
        if (ids[i] != imaging::PropertyTagThumbnailFormat)
            (void)bitmap->RemovePropertyItem(ids[i]);
    return SaveReplacing(*bitmap);
}

bool TVekImageInfo::SaveReplacing(const imaging::Image& bitmap)
{
    const std::string mimeType = MimeTypeOfFileName(FFileName);
    const imaging::ImageCodecInfo* encoder = nullptr;
    for (const imaging::ImageCodecInfo& codec : imaging::GetImageEncoders())
        if (!mimeType.empty() && SameText(codec.MimeType, mimeType))
            encoder = &codec;  // of several, the last listed
    FSaveStatus = encoder ? bitmap.SaveReplacing(FFileName, encoder->Clsid) : imaging::Status::UnknownImageFormat;
    if (FSaveStatus != imaging::Status::Ok)
        return false;
    RefreshFromFile();
    return true;
}

void TVekImageInfo::RefreshFromFile()
{
    FThumbnail.reset();
    FThumbnailPixels = {};
    ReadFileSize();
    const auto image = imaging::Image::FromFile(FFileName);
    FLoadStatus = image->GetLastStatus();
    if (FLoadStatus == imaging::Status::Ok)
        ReadFacts(*image);
}

}  // namespace ovrel::core
