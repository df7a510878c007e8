// libFuzzer target: the pixel path. Every file that opens is decoded whole and into a small box, and asked
// for a thumbnail (embedded or scaled), so the codecs and the scaler see damaged input.

#include "platform/imaging/Image.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// Larger images are legal up to the decoders' own limit, which the tests check; here they would only
// spend the fuzzer's memory and time on zero-filled rasters.
constexpr std::uint64_t MaxFuzzPixels = std::uint64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ovrel::imaging;
    const auto image = Image::FromMemory(std::span<const std::uint8_t>(data, size));
    if (!image || image->GetLastStatus() != Status::Ok ||
        static_cast<std::uint64_t>(image->GetWidth()) * image->GetHeight() > MaxFuzzPixels)
        return 0;
    std::uint64_t sum = 0;
    RgbaImage pixels;
    if (image->Decode(pixels) == Status::Ok) {
        if (pixels.Pixels.size() != static_cast<std::size_t>(pixels.Width) * pixels.Height * 4)
            __builtin_trap();  // the layer promises rows without padding
        for (std::size_t i = 0; i < pixels.Pixels.size(); i += 4096)
            sum += pixels.Pixels[i];
    }
    if (image->Decode(pixels, 16, 16) == Status::Ok)
        sum += pixels.Width;
    const auto thumbnail = image->GetThumbnailImage(24, 16);
    if (thumbnail && thumbnail->GetLastStatus() == Status::Ok && thumbnail->Decode(pixels) == Status::Ok)
        sum += pixels.Pixels.empty() ? 0 : pixels.Pixels.front();
    return sum == 0xFFFFFFFFFFFFFFFFull ? 1 : 0;
}
