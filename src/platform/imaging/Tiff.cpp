// TIFF files: the facts of the first page and its metadata; a save rewrites the directories and leaves the
// strips or tiles, and any further pages, where they are.

#include "platform/imaging/Structure_p.h"

#include <algorithm>

namespace ovrel::imaging::detail {

namespace {

std::optional<std::uint32_t> Number(const std::vector<PropertyItem>& items, std::uint16_t tag, std::size_t index = 0)
{
    const PropertyItem* item = FindItem(items, tag);
    return item ? ItemNumber(*item, index) : std::nullopt;
}

// Every strip or tile lies inside the file.
bool DataInFile(const std::vector<PropertyItem>& items, std::uint16_t offsetsTag, std::uint16_t countsTag,
                std::size_t fileSize)
{
    const PropertyItem* offsets = FindItem(items, offsetsTag);
    const PropertyItem* counts = FindItem(items, countsTag);
    if (!offsets || !counts)
        return false;
    for (std::size_t i = 0;; ++i) {
        const auto at = ItemNumber(*offsets, i), size = ItemNumber(*counts, i);
        if (!at || !size)
            return i > 0 && !at && !size;  // the same number of both, at least one
        if (*at > fileSize || *size > fileSize - *at)
            return false;
    }
}

void ReadPixelFacts(const std::vector<PropertyItem>& items, ImageData& out)
{
    const std::uint32_t bits = Number(items, 0x0102).value_or(1);
    const std::uint32_t samples = Number(items, 0x0115).value_or(1);
    const std::uint32_t photometric = Number(items, 0x0106).value_or(1);
    const bool alpha = Number(items, 0x0152).has_value();
    auto indexed = [&]() {
        return bits == 1   ? PixelFormat1bppIndexed
               : bits == 4 ? PixelFormat4bppIndexed
               : bits == 8 ? PixelFormat8bppIndexed
                           : PixelFormatUndefined;
    };
    switch (photometric) {
    case 0:
    case 1:
        out.Flags |= ImageFlagsColorSpaceGRAY;
        out.Format = bits == 16 ? PixelFormat16bppGrayScale : indexed();
        break;
    case 3:
        out.Flags |= ImageFlagsColorSpaceRGB;
        out.Format = indexed();
        break;
    case 2:
    case 6:
        out.Flags |= photometric == 2 ? ImageFlagsColorSpaceRGB : ImageFlagsColorSpaceYCBCR;
        if (samples >= 4 && alpha)
            out.Format = bits == 16 ? PixelFormat64bppARGB : PixelFormat32bppARGB;
        else
            out.Format = bits == 16 ? PixelFormat48bppRGB : PixelFormat24bppRGB;
        break;
    case 5:
        out.Flags |= ImageFlagsColorSpaceCMYK;
        out.Format = PixelFormat32bppCMYK;
        break;
    default: break;
    }
    if (alpha && samples >= 2)
        out.Flags |= ImageFlagsHasAlpha;
}

}  // namespace

Status ReadTiff(std::span<const std::uint8_t> file, ImageData& out) noexcept
{
    return Guarded([&] {
        ParsedStructure parsed;
        if (!ParseStructure(file, StructureMode::TiffFile, parsed))
            return Status::GenericError;
        const auto& all = parsed.Items;
        const auto width = Number(all, 0x0100), height = Number(all, 0x0101);
        if (!width || !height || *width == 0 || *height == 0)
            return Status::GenericError;
        if (!DataInFile(all, 0x0111, 0x0117, file.size()) && !DataInFile(all, 0x0144, 0x0145, file.size()))
            return Status::GenericError;
        out.Kind = FileKind::Tiff;
        out.RawFormat = ImageFormatTIFF;
        out.Width = *width;
        out.Height = *height;
        out.Flags = ImageFlagsReadOnly | ImageFlagsHasRealPixelSize;
        out.MetadataBigEndian = parsed.BigEndian;
        ReadPixelFacts(all, out);

        // Metadata first, then the tags that describe the encoding.
        std::vector<PropertyItem> structure;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto& e = parsed.Entries[i];
            const bool derived = e.Ifd == IfdKind::Ifd0 && IsTiffStructureTag(e.Tag);
            (derived ? structure : out.Items).push_back(all[i]);
            if ((derived || IsDerivedExifId(all[i].Id)) &&
                std::find(out.DerivedIds.begin(), out.DerivedIds.end(), all[i].Id) == out.DerivedIds.end())
                out.DerivedIds.push_back(all[i].Id);
        }
        out.Items.insert(out.Items.end(), structure.begin(), structure.end());
        if (ResolutionFromItems(out.Items, out.DpiX, out.DpiY))
            out.Flags |= ImageFlagsHasRealDPI;
        return Status::Ok;
    });
}

Status WriteTiff(std::span<const std::uint8_t> original, const ImageData& image,
                 std::vector<std::uint8_t>& out) noexcept
{
    return Guarded([&] { return WriteStructure(original, StructureMode::TiffFile, image.Items, out); });
}

}  // namespace ovrel::imaging::detail
