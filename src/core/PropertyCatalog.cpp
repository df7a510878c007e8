#include "core/PropertyCatalog.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ovrel::core {

using namespace ovrel::toolkit;

namespace {

constexpr std::uint8_t AlignLeft = 0;
constexpr std::uint8_t AlignRight = 1;
constexpr std::uint8_t AlignCenter = 2;

constexpr std::uint16_t GroupFile = 0x01;
constexpr std::uint16_t GroupCamera = 0x02;
constexpr std::uint16_t GroupPhoto = 0x04;
constexpr std::uint16_t GroupOther = 0x80;

// Tags with a display rule of their own.
constexpr std::uint32_t TagBitsPerSample = 258;
constexpr std::uint32_t TagOrientation = 274;
constexpr std::uint32_t TagSamplesPerPixel = 277;
constexpr std::uint32_t TagXResolution = 282;
constexpr std::uint32_t TagYResolution = 283;
constexpr std::uint32_t TagResolutionUnit = 296;
constexpr std::uint32_t TagDateTime = 306;
constexpr std::uint32_t TagExposureTime = 33434;
constexpr std::uint32_t TagFNumber = 33437;
constexpr std::uint32_t TagExposureProgram = 34850;
constexpr std::uint32_t TagDateTimeOriginal = 36867;
constexpr std::uint32_t TagDateTimeDigitized = 36868;
constexpr std::uint32_t TagAperture = 37378;
constexpr std::uint32_t TagExposureBias = 37380;
constexpr std::uint32_t TagMaxAperture = 37381;
constexpr std::uint32_t TagMeteringMode = 37383;
constexpr std::uint32_t TagLightSource = 37384;
constexpr std::uint32_t TagFlash = 37385;
constexpr std::uint32_t TagColorSpace = 40961;
constexpr std::uint32_t TagFocalXResolution = 41486;
constexpr std::uint32_t TagFocalYResolution = 41487;
constexpr std::uint32_t TagFocalResolutionUnit = 41488;
constexpr std::uint32_t TagSensingMethod = 41495;

TEXIFPropertyInfos MakeDefaultProperties()
{
    auto row = [](std::uint32_t id, const char* caption, std::uint16_t group, std::int32_t column,
                  std::uint8_t alignment, std::uint8_t editable) {
        return TEXIFPropertyInfo{id, group, 0, caption, column, 100, alignment, editable};
    };
    const std::uint8_t L = AlignLeft, R = AlignRight, C = AlignCenter;
    return TEXIFPropertyInfos{
        row(PropertyIdFileName, "File Name", GroupFile, 0, L, 0),
        row(PropertyIdFileLocation, "File Location", GroupFile, -1, L, 0),
        row(PropertyIdFileSize, "File Size", GroupFile, -1, R, 0),
        row(PropertyIdFileFormat, "File Format", GroupFile, -1, C, 0),
        row(PropertyIdDimension, "Dimension", GroupFile, -1, R, 0),
        row(PropertyIdResolution, "Resolution", GroupFile, -1, R, 0),
        row(PropertyIdFileColorSpace, "File Color Space", GroupFile, -1, C, 0),
        row(PropertyIdPixelFormat, "Pixel Format", GroupFile, -1, C, 0),
        row(TagModel, "Camera Model", GroupCamera, -1, L, 1),
        row(TagMake, "Camera Manufacturer", GroupCamera, -1, L, 1),
        row(TagSensingMethod, "Sensor Type", GroupCamera, -1, L, 0),
        row(TagFocalResolutionUnit, "Focal Resolution Unit", GroupCamera, -1, C, 0),
        row(TagFocalXResolution, "Focal X Resolution", GroupCamera, -1, R, 0),
        row(TagFocalYResolution, "Focal Y Resolution", GroupCamera, -1, R, 0),
        row(305, "Software", GroupCamera, -1, L, 0),
        row(TagExposureTime, "Exposure Time", GroupPhoto, 2, R, 0),
        row(TagExposureBias, "Exposure Bias", GroupPhoto, -1, R, 0),
        row(TagExposureProgram, "Exposure Program", GroupPhoto, -1, C, 0),
        row(TagFNumber, "F Number", GroupPhoto, -1, R, 0),
        row(TagFocalLength, "Focal Length", GroupPhoto, 1, R, 0),
        row(PropertyId35mmEquivalent, "35mm Equivalent", GroupPhoto, -1, R, 0),
        row(TagAperture, "Aperture", GroupPhoto, 3, R, 0),
        row(TagMaxAperture, "Max Aperture", GroupPhoto, -1, R, 0),
        row(37377, "Shutter Speed", GroupPhoto, -1, R, 0),
        row(34855, "ISO Sensetivity", GroupPhoto, -1, C, 0),
        row(TagMeteringMode, "Metering Mode", GroupPhoto, -1, C, 0),
        row(TagLightSource, "White Balance", GroupPhoto, -1, C, 0),
        row(TagFlash, "Flash", GroupPhoto, 4, C, 0),
        row(TagExifVersion, "Exif Version", GroupOther, -1, C, 0),
        row(800, "Title", GroupOther, -1, L, 1),
        row(315, "Artist", GroupOther, -1, L, 1),
        row(33432, "Copyright", GroupOther, -1, L, 1),
        row(270, "Description", GroupOther, -1, L, 1),
        row(TagUserComment, "Comment", GroupOther, -1, L, 1),
        row(TagDateTime, "Date Time", GroupOther, -1, L, 1),
        row(40964, "Audio File", GroupOther, -1, L, 0),
        row(TagDateTimeOriginal, "Date Time Original", GroupOther, -1, L, 1),
        row(TagDateTimeDigitized, "Date Time Digitized", GroupOther, -1, L, 1),
        row(297, "Page Number", GroupOther, -1, R, 0),
        row(TagOrientation, "Orientation", GroupOther, -1, C, 0),
        row(TagResolutionUnit, "Resolution Unit", GroupOther, -1, C, 0),
        row(TagXResolution, "X Resolution", GroupOther, -1, R, 0),
        row(TagYResolution, "Y Resolution", GroupOther, -1, R, 0),
        row(769, "Gamma", GroupOther, -1, R, 0),
        row(TagColorSpace, "Color Space", GroupOther, -1, C, 0),
        row(TagSamplesPerPixel, "Samples Per Pixel", GroupOther, -1, L, 0),
        row(TagBitsPerSample, "Bits Per Sample", GroupOther, -1, L, 0),
    };
}

// Thrown inside formatting for a value that cannot be shown; FormatValue turns it into the empty text.
struct TFormatFailure {};

const TPropertyItem& Require(const TVekImageInfo& info, std::uint32_t id)
{
    const TPropertyItem* item = info.GetMetadata().Find(id);
    if (!item)
        throw TFormatFailure{};
    return *item;
}

// Values come in the machine's byte order, element by element.
template <class T> bool TryRead(const TPropertyItem& item, std::size_t offset, T& value) noexcept
{
    if (!item.value || item.length < sizeof(T) || offset > item.length - sizeof(T))
        return false;
    std::memcpy(&value, item.value + offset, sizeof(T));
    return true;
}

template <class T> T Read(const TPropertyItem& item, std::size_t offset = 0)
{
    T value{};
    if (!TryRead(item, offset, value))
        throw TFormatFailure{};
    return value;
}

std::uint16_t Code(const TPropertyItem& item) { return Read<std::uint16_t>(item); }

double UnsignedRational(const TPropertyItem& item)
{
    const auto denominator = Read<std::uint32_t>(item, 4);
    if (denominator == 0)
        throw TFormatFailure{};
    return static_cast<double>(Read<std::uint32_t>(item)) / denominator;
}

double SignedRational(const TPropertyItem& item)
{
    const auto denominator = Read<std::int32_t>(item, 4);
    if (denominator == 0)
        throw TFormatFailure{};
    return static_cast<double>(Read<std::int32_t>(item)) / denominator;
}

// A rational for ordering: unreadable values and zero denominators count as 0, so sorting raises nothing.
double RationalForOrder(const TPropertyItem& item, bool isSigned) noexcept
{
    try {
        return isSigned ? SignedRational(item) : UnsignedRational(item);
    } catch (const TFormatFailure&) {
        return 0.0;
    }
}

template <class T> T ValueForOrder(const TPropertyItem& item) noexcept
{
    T value{};
    (void)TryRead(item, 0, value);
    return value;
}

// The value bytes up to the first zero byte, never past the length.
std::string_view ZeroTerminated(const TPropertyItem& item) noexcept
{
    if (!item.value)
        return {};
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(item.value, 0, item.length));
    const std::size_t size = end ? static_cast<std::size_t>(end - item.value) : item.length;
    return {reinterpret_cast<const char*>(item.value), size};
}

std::string VersionText(const TPropertyItem& item)
{
    std::string_view text = ZeroTerminated(item);
    return ToDisplayText(text.substr(0, 4));
}

template <class T> int Sign(T value) noexcept { return (value > T{}) - (value < T{}); }

// Only item1 missing sorts it after item2, whatever the direction: the caller negates descending results.
int MissingOrder(bool has1, bool has2, bool descending) noexcept
{
    if (has1 == has2)
        return 0;
    const int result = has1 ? -1 : 1;
    return descending ? -result : result;
}

std::string CodeText(const TPropertyItem& item, std::initializer_list<const char*> texts, int first,
                     const char* otherwise)
{
    const int code = Code(item);
    if (code >= first && code < first + static_cast<int>(texts.size()))
        return *(texts.begin() + (code - first));
    return otherwise;
}

std::string LightSourceText(std::uint16_t code)
{
    switch (code) {
    case 1: return "Daylight";
    case 2: return "Flourescent";
    case 3: return "Tungsten";
    case 17: return "Standard Light A";
    case 18: return "Standard Light B";
    case 19: return "Standard Light C";
    case 20: return "D55";
    case 21: return "D65";
    case 22: return "D75";
    default: return "Auto";
    }
}

std::string ExposureTimeText(const TPropertyItem& item)
{
    const auto numerator = Read<std::uint32_t>(item);
    const auto denominator = Read<std::uint32_t>(item, 4);
    if (denominator == 0)
        throw TFormatFailure{};
    if (numerator >= denominator)
        return Format("%g sec", {static_cast<double>(numerator) / denominator});
    if (numerator == 0)
        throw TFormatFailure{};
    if (denominator % numerator != 0)
        return Format("%d/%d sec", {numerator, denominator});
    return Format("1/%d sec", {denominator / numerator});
}

std::string DensityText(const TVekImageInfo& info, const TPropertyItem& item, std::uint32_t unitId)
{
    const std::uint16_t unit = Code(Require(info, unitId));
    const char* word = unit == 2 ? "dpi" : unit == 3 ? "dpc" : "";
    return Format("%.0f ", {UnsignedRational(item)}) + word;
}

std::string DateText(const TPropertyItem& item, const TVekImageInfoFormat& format)
{
    TDateTime date = 0;
    // A date that does not exist (cameras write zeros when unset) has no text to show.
    if (!TryParseExifDateTime(format.TypedText(&item), date))
        throw TFormatFailure{};
    return FormatDateTime("c", date);
}

std::string TypedTextOrThrow(const TPropertyItem& item)
{
    switch (item.type) {
    case imaging::PropertyTagTypeByte: return IntToStr(Read<std::uint8_t>(item));
    case imaging::PropertyTagTypeASCII:
    case imaging::PropertyTagTypeUndefined: return ToDisplayText(ZeroTerminated(item));
    case imaging::PropertyTagTypeShort: return IntToStr(Read<std::uint16_t>(item));
    case imaging::PropertyTagTypeLong: return IntToStr(Read<std::uint32_t>(item));
    case imaging::PropertyTagTypeSLONG: return IntToStr(Read<std::int32_t>(item));
    case imaging::PropertyTagTypeRational: return Format("%f", {UnsignedRational(item)});
    case imaging::PropertyTagTypeSRational: return Format("%f", {SignedRational(item)});
    default: return {};
    }
}

// The text a comparison orders by: a user comment by its text, other texts by their bytes.
std::string OrderingText(const TPropertyItem& item)
{
    if (item.id == TagUserComment && item.type == imaging::PropertyTagTypeUndefined)
        return UserCommentText(item.Bytes());
    return std::string(ZeroTerminated(item));
}

// The name and the folder (with its delimiter) of a path, as views: sorting compares them many times.
std::string_view NamePart(std::string_view path) noexcept
{
    const std::size_t slash = path.rfind(PathDelim);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderPart(std::string_view path) noexcept
{
    const std::size_t slash = path.rfind(PathDelim);
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace

const TEXIFPropertyInfos& DefaultEXIFProperties()
{
    static const TEXIFPropertyInfos defaults = MakeDefaultProperties();
    return defaults;
}

const TEXIFPropertyGroups& DefaultEXIFPropertyGroups()
{
    static const TEXIFPropertyGroups defaults{
        TEXIFPropertyGroup{0xFF, 0, "All Properties"},
        TEXIFPropertyGroup{GroupFile, 0, "File Properties"},
        TEXIFPropertyGroup{GroupCamera, 0, "Camera Properties"},
        TEXIFPropertyGroup{GroupPhoto, 0, "Photographic Properties"},
        TEXIFPropertyGroup{GroupOther, 0, "Other Properties"},
    };
    return defaults;
}

TEXIFPropertyInfos& EXIFProperties()
{
    static TEXIFPropertyInfos live = DefaultEXIFProperties();
    return live;
}

TEXIFPropertyGroups& EXIFPropertyGroups()
{
    static TEXIFPropertyGroups live = DefaultEXIFPropertyGroups();
    return live;
}

const TEXIFPropertyInfo* FindEXIFProperty(std::uint32_t id)
{
    for (const TEXIFPropertyInfo& row : EXIFProperties())
        if (row.Id == id)
            return &row;
    return nullptr;
}

std::string ColorSpaceText(std::uint32_t imageFlags)
{
    switch (imageFlags & 0xFF0) {
    case imaging::ImageFlagsColorSpaceRGB: return "RGB";
    case imaging::ImageFlagsColorSpaceCMYK: return "CMYK";
    case imaging::ImageFlagsColorSpaceGRAY: return "GRAY";
    case imaging::ImageFlagsColorSpaceYCBCR: return "YCBCR";
    case imaging::ImageFlagsColorSpaceYCCK: return "YCCK";
    default: return {};
    }
}

std::string FormatText(const imaging::GUID& rawFormat)
{
    if (rawFormat == imaging::ImageFormatBMP)
        return "BMP";
    if (rawFormat == imaging::ImageFormatGIF)
        return "GIF";
    if (rawFormat == imaging::ImageFormatJPEG)
        return "JPEG";
    if (rawFormat == imaging::ImageFormatPNG)
        return "PNG";
    if (rawFormat == imaging::ImageFormatTIFF)
        return "TIFF";
    if (rawFormat == imaging::ImageFormatEXIF)
        return "EXIF";
    return {};
}

int BitsPerPixel(imaging::PixelFormat pixelFormat)
{
    switch (pixelFormat) {
    case imaging::PixelFormat1bppIndexed: return 1;
    case imaging::PixelFormat4bppIndexed: return 4;
    case imaging::PixelFormat8bppIndexed: return 8;
    case imaging::PixelFormat16bppGrayScale:
    case imaging::PixelFormat16bppRGB555:
    case imaging::PixelFormat16bppRGB565:
    case imaging::PixelFormat16bppARGB1555: return 16;
    case imaging::PixelFormat24bppRGB: return 24;
    case imaging::PixelFormat32bppRGB:
    case imaging::PixelFormat32bppARGB:
    case imaging::PixelFormat32bppPARGB: return 32;
    case imaging::PixelFormat48bppRGB: return 48;
    case imaging::PixelFormat64bppARGB:
    case imaging::PixelFormat64bppPARGB: return 64;
    default: return 0;
    }
}

std::string UserCommentText(std::span<const std::uint8_t> value)
{
    constexpr std::size_t PrefixSize = 8;
    static constexpr std::uint8_t Unicode[PrefixSize] = {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0};
    if (value.size() < PrefixSize)
        return {};
    std::span<const std::uint8_t> body = value.subspan(PrefixSize);
    if (std::memcmp(value.data(), Unicode, PrefixSize) != 0) {
        const auto end = std::find(body.begin(), body.end(), std::uint8_t{0});
        return ToDisplayText(
            std::string_view(reinterpret_cast<const char*>(body.data()), static_cast<std::size_t>(end - body.begin())));
    }
    // The image layer hands undefined bytes over as the file holds them, and the file's byte order is not
    // listed: a byte-order mark decides, else the side the zero bytes of Latin text fall on.
    bool bigEndian = false;
    if (body.size() >= 2 && ((body[0] == 0xFE && body[1] == 0xFF) || (body[0] == 0xFF && body[1] == 0xFE))) {
        bigEndian = body[0] == 0xFE;
        body = body.subspan(2);
    } else {
        int highFirst = 0;
        int lowFirst = 0;
        for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
            if (body[i] == 0 && body[i + 1] != 0)
                ++highFirst;
            else if (body[i] != 0 && body[i + 1] == 0)
                ++lowFirst;
        }
        bigEndian = highFirst > lowFirst;
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
        const auto unit =
            static_cast<char16_t>(bigEndian ? (body[i] << 8) | body[i + 1] : body[i] | (body[i + 1] << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return Utf16ToUtf8(text);
}

TVekImageInfoFormat::TVekImageInfoFormat() : FFactorTable(std::make_unique<TReducedFocalLengthFactorTable>()) {}

TVekImageInfoFormat::~TVekImageInfoFormat() = default;

std::string TVekImageInfoFormat::TypedText(const TPropertyItem* item) const
{
    if (!item)
        return {};
    try {
        return TypedTextOrThrow(*item);
    } catch (...) {
        return {};
    }
}

std::string TVekImageInfoFormat::FormatValue(const TVekImageInfo& info, std::uint32_t id)
{
    try {
        switch (id) {
        case PropertyIdFileName: return ExtractFileName(info.GetFileName());
        case PropertyIdFileLocation: return ExtractFileDir(info.GetFileName());
        case PropertyIdFileSize: return Format("%.0n", {static_cast<double>(info.GetFileSize())});
        case PropertyIdFileFormat: return FormatText(info.GetRawFormat());
        case PropertyIdFileColorSpace: return ColorSpaceText(info.GetImageFlags());
        case PropertyIdPixelFormat: return Format("%d bit", {BitsPerPixel(info.GetPixelFormat())});
        case PropertyIdDimension: return Format("%d x %d", {info.GetWidth(), info.GetHeight()});
        case PropertyIdResolution:
            return Format("%d x %d dpi", {Round(info.GetHorizontalResolution()), Round(info.GetVerticalResolution())});
        case PropertyId35mmEquivalent: {
            const double equivalent = Get35mmEquivalent(info);
            return equivalent != 0 ? Format("%f mm", {equivalent}) : "Not Defined";
        }
        default: break;
        }
        const TPropertyItem& item = Require(info, id);
        switch (id) {
        case TagOrientation:
            return CodeText(item,
                            {"Top-Left", "Top-Right", "Bottom-Right", "Bottom-Left", "Left-Top", "Right-Top",
                             "Right-Bottom", "Left-Bottom"},
                            1, "Not Defined");
        case TagResolutionUnit:
        case TagFocalResolutionUnit: return CodeText(item, {"inch", "cm"}, 2, "Not Defined");
        case TagXResolution:
        case TagYResolution: return DensityText(info, item, TagResolutionUnit);
        case TagFocalXResolution:
        case TagFocalYResolution: return DensityText(info, item, TagFocalResolutionUnit);
        case TagDateTime:
        case TagDateTimeOriginal:
        case TagDateTimeDigitized: return DateText(item, *this);
        case TagExposureTime: return ExposureTimeText(item);
        case TagFNumber: return Format("F%.1f", {UnsignedRational(item)});
        case TagAperture:
        case TagMaxAperture:
            // Stored as APEX values: the f-number is 2 to the half of it.
            return Format("F%.1f", {std::exp2(UnsignedRational(item) / 2)});
        case TagExposureBias: {
            double bias = SignedRational(item);
            if (bias < -100 || bias > 100)
                bias = 0;
            return Format("EV%.1f", {bias});
        }
        case TagExposureProgram:
            return CodeText(item,
                            {"Manual", "Normal", "Aperture Priority", "Shutter Priority", "Creative", "Action",
                             "Portrait", "Landscape"},
                            1, "Not Defined");
        case TagMeteringMode:
            return CodeText(item, {"Average", "Center Weighted Average", "Spot", "MultiSpot", "Pattern", "Partial"}, 1,
                            "Not Defined");
        case TagLightSource: return LightSourceText(Code(item));
        case TagFlash: return (Code(item) & 1) ? "Fired" : "Not Fired";
        case TagFocalLength: return TypedTextOrThrow(item) + " mm";
        case TagColorSpace: return Code(item) == 1 ? "sRGB" : "Uncalibrated";
        case TagSensingMethod:
            return CodeText(item,
                            {"One-chip Color Area Sensor", "Two-chip Color Area Sensor", "Three-chip Color Area Sensor",
                             "Color Sequential Area Sensor", "Bilinear Sensor", "Trilinear Sensor",
                             "Color Sequential Linear Sensor"},
                            2, "Not Defined");
        case TagExifVersion: return VersionText(item);
        case TagUserComment:
            if (item.type == imaging::PropertyTagTypeUndefined)
                return UserCommentText(item.Bytes());
            return TypedTextOrThrow(item);
        default: return TypedTextOrThrow(item);
        }
    } catch (...) {
        return {};
    }
}

double TVekImageInfoFormat::Get35mmEquivalent(const TVekImageInfo& info)
{
    const TPropertyItem* focalLength = info.GetMetadata().Find(TagFocalLength);
    if (!focalLength)
        return 0;
    try {
        const float factor = FFactorTable->GetFactor(FormatValue(info, TagMake), FormatValue(info, TagModel));
        return factor * UnsignedRational(*focalLength);
    } catch (const TFormatFailure&) {
        return 0;
    }
}

TDateTime TVekImageInfoFormat::GetDate(const TVekImageInfo& info, std::uint32_t id) const
{
    return ParseExifDateTime(TypedText(info.GetMetadata().Find(id)));
}

int TVekImageInfoFormat::Compare(const TVekImageInfo& info1, const TVekImageInfo& info2, bool descending,
                                 std::uint32_t id)
{
    int result = 0;
    switch (id) {
    case TagExifVersion:
    case TagUserComment: {
        const TPropertyItem* item1 = info1.GetMetadata().Find(id);
        const TPropertyItem* item2 = info2.GetMetadata().Find(id);
        if (!item1 || !item2)
            result = MissingOrder(item1, item2, descending);
        else if (id == TagExifVersion)
            result = Sign(CompareStr(VersionText(*item1), VersionText(*item2)));
        else
            result = Sign(CompareStr(OrderingText(*item1), OrderingText(*item2)));
        break;
    }
    case PropertyId35mmEquivalent: {
        const double first = Get35mmEquivalent(info1);
        result = Sign(first - Get35mmEquivalent(info2));
        break;
    }
    case PropertyIdResolution: {
        const double product1 = static_cast<double>(info1.GetHorizontalResolution()) * info1.GetVerticalResolution();
        const double product2 = static_cast<double>(info2.GetHorizontalResolution()) * info2.GetVerticalResolution();
        result = Sign(std::nearbyint(product1 - product2));
        break;
    }
    case PropertyIdDimension:
        result = Sign(static_cast<std::int64_t>(info1.GetWidth()) * info1.GetHeight() -
                      static_cast<std::int64_t>(info2.GetWidth()) * info2.GetHeight());
        break;
    case PropertyIdPixelFormat:
        result = Sign(BitsPerPixel(info1.GetPixelFormat()) - BitsPerPixel(info2.GetPixelFormat()));
        break;
    case PropertyIdFileColorSpace:
        result = Sign(CompareText(ColorSpaceText(info1.GetImageFlags()), ColorSpaceText(info2.GetImageFlags())));
        break;
    case PropertyIdFileFormat:
        result = Sign(CompareText(FormatText(info1.GetRawFormat()), FormatText(info2.GetRawFormat())));
        break;
    case PropertyIdFileSize: result = Sign(info1.GetFileSize() - info2.GetFileSize()); break;
    case PropertyIdFileLocation:
        result = Sign(CompareText(FolderPart(info1.GetFileName()), FolderPart(info2.GetFileName())));
        break;
    case PropertyIdFileName:
        result = Sign(CompareText(NamePart(info1.GetFileName()), NamePart(info2.GetFileName())));
        break;
    default: result = CompareItems(info1.GetMetadata().Find(id), info2.GetMetadata().Find(id), descending); break;
    }
    return descending ? -result : result;
}

int TVekImageInfoFormat::CompareItems(const TPropertyItem* item1, const TPropertyItem* item2, bool descending) const
{
    if (!item1 || !item2)
        return MissingOrder(item1, item2, descending);
    if (item1->type != item2->type)
        return Sign(CompareStr(ZeroTerminated(*item1), ZeroTerminated(*item2)));
    switch (item1->type) {
    case imaging::PropertyTagTypeByte:
        return Sign(ValueForOrder<std::uint8_t>(*item1) - ValueForOrder<std::uint8_t>(*item2));
    case imaging::PropertyTagTypeShort:
        return Sign(ValueForOrder<std::uint16_t>(*item1) - ValueForOrder<std::uint16_t>(*item2));
    case imaging::PropertyTagTypeLong:
        return Sign(static_cast<std::int64_t>(ValueForOrder<std::uint32_t>(*item1)) -
                    ValueForOrder<std::uint32_t>(*item2));
    case imaging::PropertyTagTypeSLONG:
        return Sign(static_cast<std::int64_t>(ValueForOrder<std::int32_t>(*item1)) -
                    ValueForOrder<std::int32_t>(*item2));
    case imaging::PropertyTagTypeRational:
    case imaging::PropertyTagTypeSRational: {
        const bool isSigned = item1->type == imaging::PropertyTagTypeSRational;
        return Sign(RationalForOrder(*item1, isSigned) - RationalForOrder(*item2, isSigned));
    }
    case imaging::PropertyTagTypeASCII:
    case imaging::PropertyTagTypeUndefined: return Sign(CompareStr(ZeroTerminated(*item1), ZeroTerminated(*item2)));
    default: return 0;
    }
}

TVekImageInfoFormat& ImageInfoFormat()
{
    static TVekImageInfoFormat format;
    return format;
}

}  // namespace ovrel::core
