// Pixels: bitmaps made in memory, decoding an opened image, scaling and thumbnails.

#include "platform/imaging/Image.h"
#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Pixels_p.h"

#include <algorithm>
#include <cmath>

namespace ovrel::imaging {

namespace {

using detail::FileKind;
using detail::ImageData;

// One source pixel's share in one destination pixel along one axis.
struct Tap {
    std::uint32_t Index;
    float Weight;
};

// For each destination coordinate, the source coordinates it is made of: their area share when
// shrinking, a linear blend of the two nearest centres when enlarging.
std::vector<std::vector<Tap>> AxisTaps(std::uint32_t source, std::uint32_t destination)
{
    std::vector<std::vector<Tap>> taps(destination);
    const double scale = static_cast<double>(source) / destination;
    for (std::uint32_t i = 0; i < destination; ++i) {
        if (source > destination) {
            const double begin = i * scale;
            const double end = begin + scale;
            auto j = static_cast<std::uint32_t>(begin);
            for (; j < source && j < end; ++j) {
                const double overlap = std::min<double>(end, j + 1.0) - std::max<double>(begin, j);
                if (overlap > 0)
                    taps[i].push_back({j, static_cast<float>(overlap / scale)});
            }
        } else {
            const double centre = std::max(0.0, (i + 0.5) * scale - 0.5);
            const auto j = std::min(static_cast<std::uint32_t>(centre), source - 1);
            const double fraction = centre - j;
            if (j + 1 < source && fraction > 0) {
                taps[i].push_back({j, static_cast<float>(1.0 - fraction)});
                taps[i].push_back({j + 1, static_cast<float>(fraction)});
            } else {
                taps[i].push_back({j, 1.0f});
            }
        }
    }
    return taps;
}

std::uint8_t ToByte(float value) { return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

Status DecodeFile(FileKind kind, std::span<const std::uint8_t> bytes, std::uint32_t boxWidth, std::uint32_t boxHeight,
                  RgbaImage& out) noexcept
{
    switch (kind) {
    case FileKind::Jpeg: return detail::DecodeJpeg(bytes, boxWidth, boxHeight, out);
    case FileKind::Tiff: return detail::DecodeTiff(bytes, out);
    case FileKind::Png: return detail::DecodePng(bytes, out);
    case FileKind::Bmp: return detail::DecodeBmp(bytes, out);
    case FileKind::Gif: return detail::DecodeGif(bytes, out);
    default: return Status::WrongState;
    }
}

bool IsJpeg(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

}  // namespace

namespace detail {

RgbaImage ScalePixels(const RgbaImage& source, std::uint32_t width, std::uint32_t height)
{
    RgbaImage result;
    result.Width = width;
    result.Height = height;
    result.Pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    const std::size_t sourceBytes = static_cast<std::size_t>(source.Width) * source.Height * 4;
    if (width == 0 || height == 0 || source.Width == 0 || source.Height == 0 || source.Pixels.size() < sourceBytes)
        return result;
    if (width == source.Width && height == source.Height) {
        result.Pixels.assign(source.Pixels.begin(), source.Pixels.begin() + static_cast<std::ptrdiff_t>(sourceBytes));
        return result;
    }
    const auto columns = AxisTaps(source.Width, width);
    const auto rows = AxisTaps(source.Height, height);

    // Colours are blended premultiplied by alpha, so transparent pixels lend no colour to their neighbours.
    // Horizontal pass: every source row, only the rows some destination row needs.
    std::vector<float> across(static_cast<std::size_t>(source.Height) * width * 4, 0.0f);
    std::vector<bool> needed(source.Height, false);
    for (const auto& taps : rows)
        for (const Tap& tap : taps)
            needed[tap.Index] = true;
    for (std::uint32_t y = 0; y < source.Height; ++y) {
        if (!needed[y])
            continue;
        const std::uint8_t* in = source.Pixels.data() + static_cast<std::size_t>(y) * source.Width * 4;
        float* out = across.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::uint32_t x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (const Tap& tap : columns[x]) {
                const std::uint8_t* p = in + static_cast<std::size_t>(tap.Index) * 4;
                const float weight = tap.Weight * p[3];
                r += weight * p[0];
                g += weight * p[1];
                b += weight * p[2];
                a += weight;
            }
            out[x * 4] = r;
            out[x * 4 + 1] = g;
            out[x * 4 + 2] = b;
            out[x * 4 + 3] = a;
        }
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* out = result.Pixels.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::uint32_t x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (const Tap& tap : rows[y]) {
                const float* p = across.data() + (static_cast<std::size_t>(tap.Index) * width + x) * 4;
                r += tap.Weight * p[0];
                g += tap.Weight * p[1];
                b += tap.Weight * p[2];
                a += tap.Weight * p[3];
            }
            if (a > 0) {
                out[x * 4] = ToByte(r / a);
                out[x * 4 + 1] = ToByte(g / a);
                out[x * 4 + 2] = ToByte(b / a);
                out[x * 4 + 3] = ToByte(a);
            }
        }
    }
    return result;
}

}  // namespace detail

std::unique_ptr<Image> Image::FromPixels(RgbaImage pixels)
{
    try {
        std::unique_ptr<Image> image(new Image());
        ImageData& data = *image->FData;
        data.Kind = FileKind::Memory;
        data.RawFormat = ImageFormatMemoryBMP;
        const bool sound = pixels.Width > 0 && pixels.Height > 0 &&
                           static_cast<std::uint64_t>(pixels.Width) * pixels.Height <= detail::MaxDecodedPixels &&
                           pixels.Pixels.size() == static_cast<std::size_t>(pixels.Width) * pixels.Height * 4;
        if (!sound) {
            data.LastStatus = Status::InvalidParameter;
            return image;
        }
        data.Flags = ImageFlagsHasAlpha;
        data.Format = PixelFormat32bppARGB;
        data.Width = pixels.Width;
        data.Height = pixels.Height;
        data.Pixels = std::move(pixels);
        data.LastStatus = Status::Ok;
        return image;
    } catch (...) {
        return nullptr;  // not even an empty image could be made
    }
}

Status Image::Decode(RgbaImage& out, std::uint32_t boxWidth, std::uint32_t boxHeight) const noexcept
{
    return detail::Guarded([&] {
        const ImageData& data = *FData;
        if (data.LastStatus != Status::Ok)
            return data.LastStatus;
        if (data.Kind == FileKind::Memory) {
            if (!data.Pixels)
                return Status::WrongState;
            out = *data.Pixels;
            return Status::Ok;
        }
        if (!data.MemoryBytes.empty())
            return DecodeFile(data.Kind, data.MemoryBytes, boxWidth, boxHeight, out);
        detail::MappedFile file;
        if (file.Open(data.FileName) != 0)
            return Status::Win32Error;
        return DecodeFile(data.Kind, file.Bytes(), boxWidth, boxHeight, out);
    });
}

std::unique_ptr<Image> Image::GetThumbnailImage(std::uint32_t width, std::uint32_t height) const noexcept
{
    try {
        const auto failed = [](Status status) {
            auto image = FromPixels(RgbaImage{});
            if (image)
                image->FData->LastStatus = status;
            return image;
        };
        if (FData->LastStatus != Status::Ok)
            return failed(FData->LastStatus);
        if (width == 0 || height == 0 || static_cast<std::uint64_t>(width) * height > detail::MaxDecodedPixels)
            return failed(Status::InvalidParameter);
        RgbaImage decoded;
        bool haveThumbnail = false;
        PropertyItem embedded;
        if (GetPropertyItem(PropertyTagThumbnailData, embedded) == Status::Ok && IsJpeg(embedded.Value))
            haveThumbnail = detail::DecodeJpeg(embedded.Value, width, height, decoded) == Status::Ok;
        if (!haveThumbnail) {
            const Status status = Decode(decoded, width, height);
            if (status != Status::Ok)
                return failed(status);
        }
        return FromPixels(detail::ScalePixels(decoded, width, height));
    } catch (...) {
        return nullptr;
    }
}

}  // namespace ovrel::imaging
