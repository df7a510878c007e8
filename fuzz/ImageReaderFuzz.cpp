// libFuzzer target: every reader through the public entry point, and a save of the parsed items back
// into the same bytes so the writers see damaged input too.

#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ovrel::imaging;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto image = Image::FromMemory(bytes);
    if (!image || image->GetLastStatus() != Status::Ok)
        return 0;
    std::uint64_t sum = image->GetPropertySize();
    for (const auto& item : image->GetAllPropertyItems())
        for (auto b : item.Value)
            sum += b;
    detail::ImageData data2;
    data2.Items = image->GetAllPropertyItems();
    data2.Items.push_back(PropertyItem{0x010F, PropertyTagTypeASCII, {'f', 'u', 'z', 'z', 0}});
    std::vector<std::uint8_t> out;
    if (image->GetRawFormat() == ImageFormatJPEG && detail::WriteJpeg(bytes, data2, out) == Status::Ok) {
        const auto back = Image::FromMemory(out);
        sum += back ? back->GetPropertyCount() : 0;
    }
    if (image->GetRawFormat() == ImageFormatTIFF && detail::WriteTiff(bytes, data2, out) == Status::Ok) {
        const auto back = Image::FromMemory(out);
        sum += back ? back->GetPropertyCount() : 0;
    }
    std::vector<PropertyItem> items;
    if (detail::ReadExifBlock(bytes, items) == Status::Ok) {
        std::vector<std::uint8_t> block;
        (void)detail::WriteExifBlock(bytes, items, block);
    }
    return sum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
