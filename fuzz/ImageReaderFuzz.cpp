// libFuzzer target: every reader through the public entry point, then the save's path for every writer: the
// file read, one item changed as an edit changes it, the new file written in memory and read back. The Exif
// block writer also gets the damaged bytes as a block of its own.

#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using namespace ovrel::imaging;

// An edit: the item the input picks gets a longer value (a text for a text), placed anew in the file, or a
// camera maker is added when there is nothing to change.
void ChangeOneItem(std::vector<PropertyItem>& items, std::size_t pick)
{
    if (items.empty()) {
        items.push_back(PropertyItem{0x010F, PropertyTagTypeASCII, {'f', 'u', 'z', 'z', 0}});
        return;
    }
    PropertyItem& item = items[pick % items.size()];
    if (item.Type == PropertyTagTypeASCII) {
        item.Value.assign({'a', ' ', 'l', 'o', 'n', 'g', 'e', 'r', ' ', 't', 'e', 'x', 't', 0});
    } else {
        const std::vector<std::uint8_t> once = item.Value;
        item.Value.insert(item.Value.end(), once.begin(), once.end());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto image = Image::FromMemory(bytes);
    if (!image || image->GetLastStatus() != Status::Ok)
        return 0;
    std::uint64_t sum = image->GetPropertySize();
    for (const auto& item : image->GetAllPropertyItems())
        for (auto b : item.Value)
            sum += b;

    detail::ImageData read;
    if (detail::ReadImage(bytes, read) == Status::Ok) {
        ChangeOneItem(read.Items, size);
        std::vector<std::uint8_t> written;
        if (detail::WriteImage(bytes, read, written) == Status::Ok) {
            detail::ImageData back;
            if (detail::ReadImage(written, back) == Status::Ok)
                sum += back.Items.size();
        }
    }

    std::vector<PropertyItem> items;
    if (detail::ReadExifBlock(bytes, items) == Status::Ok) {
        std::vector<std::uint8_t> block;
        (void)detail::WriteExifBlock(bytes, items, block);
    }
    return sum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
