#pragma once
// Values of the imaging library the metadata core was written against: status codes, raw-format and
// encoder identifiers, image flags, pixel formats and property types keep their published numbers.

#include <cstdint>
#include <string>

namespace ovrel::imaging {

enum class Status : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21,
};

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
    friend bool operator==(const GUID&, const GUID&) = default;
};

// Raw formats: {B96B3CA9-0728-11D3-9D7B-0000F81EF32E} and its neighbours.
inline constexpr GUID MakeImageFormatGuid(std::uint32_t data1)
{
    return GUID{data1, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}
inline constexpr GUID ImageFormatUndefined = MakeImageFormatGuid(0xB96B3CA9);
inline constexpr GUID ImageFormatMemoryBMP = MakeImageFormatGuid(0xB96B3CAA);
inline constexpr GUID ImageFormatBMP = MakeImageFormatGuid(0xB96B3CAB);
inline constexpr GUID ImageFormatEMF = MakeImageFormatGuid(0xB96B3CAC);
inline constexpr GUID ImageFormatWMF = MakeImageFormatGuid(0xB96B3CAD);
inline constexpr GUID ImageFormatJPEG = MakeImageFormatGuid(0xB96B3CAE);
inline constexpr GUID ImageFormatPNG = MakeImageFormatGuid(0xB96B3CAF);
inline constexpr GUID ImageFormatGIF = MakeImageFormatGuid(0xB96B3CB0);
inline constexpr GUID ImageFormatTIFF = MakeImageFormatGuid(0xB96B3CB1);
inline constexpr GUID ImageFormatEXIF = MakeImageFormatGuid(0xB96B3CB2);
inline constexpr GUID ImageFormatIcon = MakeImageFormatGuid(0xB96B3CB5);

// Built-in codecs: {557CF400-1A04-11D3-9A73-0000F81EF32E} and its neighbours.
inline constexpr GUID MakeCodecGuid(std::uint32_t data1)
{
    return GUID{data1, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}
inline constexpr GUID CodecBMP = MakeCodecGuid(0x557CF400);
inline constexpr GUID CodecJPEG = MakeCodecGuid(0x557CF401);
inline constexpr GUID CodecGIF = MakeCodecGuid(0x557CF402);
inline constexpr GUID CodecTIFF = MakeCodecGuid(0x557CF405);
inline constexpr GUID CodecPNG = MakeCodecGuid(0x557CF406);

// Image flags.
inline constexpr std::uint32_t ImageFlagsNone = 0;
inline constexpr std::uint32_t ImageFlagsScalable = 0x0001;
inline constexpr std::uint32_t ImageFlagsHasAlpha = 0x0002;
inline constexpr std::uint32_t ImageFlagsHasTranslucent = 0x0004;
inline constexpr std::uint32_t ImageFlagsPartiallyScalable = 0x0008;
inline constexpr std::uint32_t ImageFlagsColorSpaceRGB = 0x0010;
inline constexpr std::uint32_t ImageFlagsColorSpaceCMYK = 0x0020;
inline constexpr std::uint32_t ImageFlagsColorSpaceGRAY = 0x0040;
inline constexpr std::uint32_t ImageFlagsColorSpaceYCBCR = 0x0080;
inline constexpr std::uint32_t ImageFlagsColorSpaceYCCK = 0x0100;
inline constexpr std::uint32_t ImageFlagsHasRealDPI = 0x1000;
inline constexpr std::uint32_t ImageFlagsHasRealPixelSize = 0x2000;
inline constexpr std::uint32_t ImageFlagsReadOnly = 0x00010000;
inline constexpr std::uint32_t ImageFlagsCaching = 0x00020000;

// Pixel formats.
using PixelFormat = std::int32_t;
inline constexpr PixelFormat PixelFormatUndefined = 0;
inline constexpr PixelFormat PixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat PixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat PixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat PixelFormat16bppGrayScale = 0x00101004;
inline constexpr PixelFormat PixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat PixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat PixelFormat16bppARGB1555 = 0x00061007;
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;
inline constexpr PixelFormat PixelFormat48bppRGB = 0x0010300C;
inline constexpr PixelFormat PixelFormat64bppARGB = 0x0034400D;
inline constexpr PixelFormat PixelFormat64bppPARGB = 0x001A400E;
inline constexpr PixelFormat PixelFormat32bppCMYK = 0x0000200F;

// Property types.
inline constexpr std::uint16_t PropertyTagTypeByte = 1;
inline constexpr std::uint16_t PropertyTagTypeASCII = 2;
inline constexpr std::uint16_t PropertyTagTypeShort = 3;
inline constexpr std::uint16_t PropertyTagTypeLong = 4;
inline constexpr std::uint16_t PropertyTagTypeRational = 5;
inline constexpr std::uint16_t PropertyTagTypeUndefined = 7;
inline constexpr std::uint16_t PropertyTagTypeSLONG = 9;
inline constexpr std::uint16_t PropertyTagTypeSRational = 10;

// Property ids the layer itself produces or treats specially.
inline constexpr std::uint32_t PropertyTagExifIFD = 0x8769;
inline constexpr std::uint32_t PropertyTagGpsIFD = 0x8825;
inline constexpr std::uint32_t PropertyTagInteropIFD = 0xA005;
inline constexpr std::uint32_t PropertyTagExifMakerNote = 0x927C;
inline constexpr std::uint32_t PropertyTagExifUserComment = 0x9286;
inline constexpr std::uint32_t PropertyTagGamma = 0x0301;
inline constexpr std::uint32_t PropertyTagImageTitle = 0x0320;
inline constexpr std::uint32_t PropertyTagThumbnailFormat = 0x5012;
inline constexpr std::uint32_t PropertyTagThumbnailWidth = 0x5013;
inline constexpr std::uint32_t PropertyTagThumbnailHeight = 0x5014;
inline constexpr std::uint32_t PropertyTagThumbnailData = 0x501B;
inline constexpr std::uint32_t PropertyTagLuminanceTable = 0x5090;
inline constexpr std::uint32_t PropertyTagChrominanceTable = 0x5091;

[[nodiscard]] std::string StatusText(Status status);

}  // namespace ovrel::imaging
