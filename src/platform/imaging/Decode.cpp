// Pixel decoders over the reference codecs: JPEG (with DCT scaling), PNG, TIFF and GIF.
// The codecs report errors through callbacks; libjpeg and libpng leave them with longjmp, so every
// function that calls setjmp holds only trivially destructible locals, and all C++ work (checks,
// allocation) happens between the guarded steps.

#include "platform/imaging/Image_p.h"
#include "platform/imaging/Pixels_p.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <gif_lib.h>
#include <jpeglib.h>
#include <jerror.h>
#include <png.h>
#include <tiffio.h>

namespace ovrel::imaging::detail {

namespace {

// ---------------------------------------------------------------------------------------------------------
// JPEG

struct JpegErrorManager {
    jpeg_error_mgr Public;  // first, so the codec's pointer is also ours
    std::jmp_buf Jump;
    bool DataEnded = false;
};

extern "C" void JpegErrorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->Jump, 1);
}

// The codec only warns when the data ends early and makes up the missing rows; that is a failed decode
// here. Other warnings (stray bytes between segments, common in camera files) pass.
extern "C" void JpegSilentMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrorManager*>(info->err)->DataEnded = true;
}

struct JpegDecoder {
    jpeg_decompress_struct Info;
    JpegErrorManager Error;
    bool Created = false;
};

// The smallest whole-factor reduction of the DCT that still covers the box.
unsigned JpegScaleDenominator(std::uint32_t width, std::uint32_t height, std::uint32_t boxWidth,
                              std::uint32_t boxHeight)
{
    if (boxWidth == 0 || boxHeight == 0)
        return 1;
    unsigned denominator = 1;
    for (unsigned candidate : {2u, 4u, 8u}) {
        const std::uint32_t w = (width + candidate - 1) / candidate;
        const std::uint32_t h = (height + candidate - 1) / candidate;
        if (w < boxWidth || h < boxHeight)
            break;
        denominator = candidate;
    }
    return denominator;
}

// Step 1: header and output geometry. Returns false when the codec failed.
bool JpegStart(JpegDecoder& d, const std::uint8_t* data, std::size_t size, std::uint32_t boxWidth,
               std::uint32_t boxHeight)
{
    d.Info.err = jpeg_std_error(&d.Error.Public);
    d.Error.Public.error_exit = JpegErrorExit;
    d.Error.Public.emit_message = JpegSilentMessage;
    if (setjmp(d.Error.Jump))
        return false;
    jpeg_create_decompress(&d.Info);
    d.Created = true;
    jpeg_mem_src(&d.Info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&d.Info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (d.Info.image_width == 0 || d.Info.image_height == 0 ||
        static_cast<std::uint64_t>(d.Info.image_width) * d.Info.image_height > MaxDecodedPixels)
        return false;
    const unsigned denominator = JpegScaleDenominator(d.Info.image_width, d.Info.image_height, boxWidth, boxHeight);
    d.Info.scale_num = 1;
    d.Info.scale_denom = denominator;
    if (denominator > 1) {
        // A preview: speed over the last bit of quality.
        d.Info.dct_method = JDCT_IFAST;
        d.Info.do_fancy_upsampling = FALSE;
    }
    const bool inkColours = d.Info.jpeg_color_space == JCS_CMYK || d.Info.jpeg_color_space == JCS_YCCK;
    d.Info.out_color_space = inkColours ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&d.Info);
    return true;
}

// Step 2: the scanlines into rows of output_width * 4 bytes.
bool JpegReadRows(JpegDecoder& d, std::uint8_t* pixels)
{
    if (setjmp(d.Error.Jump))
        return false;
    const std::size_t stride = static_cast<std::size_t>(d.Info.output_width) * 4;
    while (d.Info.output_scanline < d.Info.output_height) {
        JSAMPROW row = pixels + stride * d.Info.output_scanline;
        if (jpeg_read_scanlines(&d.Info, &row, 1) != 1 || d.Error.DataEnded)
            return false;
    }
    jpeg_finish_decompress(&d.Info);
    return !d.Error.DataEnded;
}

void JpegDestroy(JpegDecoder& d)
{
    if (d.Created)
        jpeg_destroy_decompress(&d.Info);
}

// Adobe writes CMYK inverted; libjpeg hands the samples on as stored.
void CmykToRgba(std::vector<std::uint8_t>& pixels, bool inverted)
{
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        unsigned c = pixels[i], m = pixels[i + 1], y = pixels[i + 2], k = pixels[i + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        pixels[i] = static_cast<std::uint8_t>((c * k + 127) / 255);
        pixels[i + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        pixels[i + 2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        pixels[i + 3] = 255;
    }
}

// ---------------------------------------------------------------------------------------------------------
// PNG

struct PngSource {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Position;
};

extern "C" void PngRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->Size - source->Position)
        png_error(png, "read past the end");
    std::memcpy(out, source->Data + source->Position, count);
    source->Position += count;
}

extern "C" void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

extern "C" void PngWarning(png_structp, png_const_charp) {}

struct PngDecoder {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    PngSource Source{};
    png_uint_32 Width = 0;
    png_uint_32 Height = 0;
};

bool PngStart(PngDecoder& d)
{
    d.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!d.Png)
        return false;
    d.Info = png_create_info_struct(d.Png);
    if (!d.Info)
        return false;
    if (setjmp(png_jmpbuf(d.Png)))
        return false;
    png_set_read_fn(d.Png, &d.Source, PngRead);
    png_set_user_limits(d.Png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_chunk_malloc_max(d.Png, 64u << 20);
    png_read_info(d.Png, d.Info);
    d.Width = png_get_image_width(d.Png, d.Info);
    d.Height = png_get_image_height(d.Png, d.Info);
    if (d.Width == 0 || d.Height == 0 || static_cast<std::uint64_t>(d.Width) * d.Height > MaxDecodedPixels)
        return false;
    const int colourType = png_get_color_type(d.Png, d.Info);
    png_set_strip_16(d.Png);
    png_set_packing(d.Png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(d.Png);
    if (colourType == PNG_COLOR_TYPE_GRAY)
        png_set_expand_gray_1_2_4_to_8(d.Png);
    if (png_get_valid(d.Png, d.Info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(d.Png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(d.Png);
    png_set_add_alpha(d.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(d.Png);
    png_read_update_info(d.Png, d.Info);
    return png_get_rowbytes(d.Png, d.Info) == static_cast<png_size_t>(d.Width) * 4;
}

bool PngReadRows(PngDecoder& d, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(d.Png)))
        return false;
    png_read_image(d.Png, rows);
    return true;
}

void PngDestroy(PngDecoder& d)
{
    if (d.Png)
        png_destroy_read_struct(&d.Png, d.Info ? &d.Info : nullptr, nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// TIFF

struct TiffSource {
    std::span<const std::uint8_t> Bytes;
    toff_t Position = 0;
};

tsize_t TiffRead(thandle_t handle, tdata_t out, tsize_t count)
{
    auto* source = static_cast<TiffSource*>(handle);
    if (count <= 0 || source->Position >= source->Bytes.size())
        return 0;
    const std::size_t available = source->Bytes.size() - static_cast<std::size_t>(source->Position);
    const std::size_t n = std::min(available, static_cast<std::size_t>(count));
    std::memcpy(out, source->Bytes.data() + source->Position, n);
    source->Position += n;
    return static_cast<tsize_t>(n);
}

tsize_t TiffWrite(thandle_t, tdata_t, tsize_t) { return 0; }

toff_t TiffSeek(thandle_t handle, toff_t offset, int whence)
{
    auto* source = static_cast<TiffSource*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = source->Position;
    else if (whence == SEEK_END)
        base = source->Bytes.size();
    if (offset > ~toff_t{0} - base)
        return static_cast<toff_t>(-1);
    source->Position = base + offset;
    return source->Position;
}

int TiffClose(thandle_t) { return 0; }

toff_t TiffSize(thandle_t handle) { return static_cast<TiffSource*>(handle)->Bytes.size(); }

// The bytes are in memory already; handing them over as a mapping spares the codec its copies and its
// read path, which refuses some valid tiled files when it cannot map.
int TiffMap(thandle_t handle, tdata_t* base, toff_t* size)
{
    auto* source = static_cast<TiffSource*>(handle);
    *base = const_cast<std::uint8_t*>(source->Bytes.data());  // opened read-only: never written
    *size = source->Bytes.size();
    return 1;
}

void TiffUnmap(thandle_t, tdata_t, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const noexcept { TIFFClose(tiff); }
};

void SilenceLibtiff()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

// ---------------------------------------------------------------------------------------------------------
// GIF

struct GifSource {
    std::span<const std::uint8_t> Bytes;
    std::size_t Position = 0;
};

int GifRead(GifFileType* gif, GifByteType* out, int count)
{
    auto* source = static_cast<GifSource*>(gif->UserData);
    if (count <= 0)
        return 0;
    const std::size_t n = std::min(source->Bytes.size() - source->Position, static_cast<std::size_t>(count));
    std::memcpy(out, source->Bytes.data() + source->Position, n);
    source->Position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const noexcept
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The rows of one interlaced frame come in four passes; this gives the frame row of the n-th row read.
std::uint32_t InterlacedRow(std::uint32_t n, std::uint32_t height)
{
    static constexpr std::uint32_t Start[4] = {0, 4, 2, 1};
    static constexpr std::uint32_t Step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const std::uint32_t rows = height > Start[pass] ? (height - Start[pass] + Step[pass] - 1) / Step[pass] : 0;
        if (n < rows)
            return Start[pass] + n * Step[pass];
        n -= rows;
    }
    return height;
}

}  // namespace

Status DecodeJpeg(std::span<const std::uint8_t> file, std::uint32_t boxWidth, std::uint32_t boxHeight,
                  RgbaImage& out) noexcept
{
    JpegDecoder decoder{};
    const Status status = Guarded([&] {
        if (JpegStart(decoder, file.data(), file.size(), boxWidth, boxHeight)) {
            RgbaImage image;
            image.Width = decoder.Info.output_width;
            image.Height = decoder.Info.output_height;
            if (decoder.Info.output_components == 4) {
                image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
                if (JpegReadRows(decoder, image.Pixels.data())) {
                    if (decoder.Info.out_color_space == JCS_CMYK)
                        CmykToRgba(image.Pixels, decoder.Info.saw_Adobe_marker);
                    out = std::move(image);
                    return Status::Ok;
                }
            }
        }
        return Status::GenericError;
    });
    JpegDestroy(decoder);
    return status;
}

Status DecodePng(std::span<const std::uint8_t> file, RgbaImage& out) noexcept
{
    PngDecoder decoder;
    decoder.Source = PngSource{file.data(), file.size(), 0};
    const Status status = Guarded([&] {
        if (PngStart(decoder)) {
            RgbaImage image;
            image.Width = decoder.Width;
            image.Height = decoder.Height;
            image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
            std::vector<png_bytep> rows(image.Height);
            for (std::uint32_t y = 0; y < image.Height; ++y)
                rows[y] = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width * 4;
            if (PngReadRows(decoder, rows.data())) {
                out = std::move(image);
                return Status::Ok;
            }
        }
        return Status::GenericError;
    });
    PngDestroy(decoder);
    return status;
}

Status DecodeTiff(std::span<const std::uint8_t> file, RgbaImage& out) noexcept
{
    return Guarded([&] {
        SilenceLibtiff();
        TiffSource source{file};
        std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpen("memory", "r", &source, TiffRead, TiffWrite, TiffSeek,
                                                              TiffClose, TiffSize, TiffMap, TiffUnmap));
        if (!tiff)
            return Status::GenericError;
        std::uint32_t width = 0, height = 0;
        if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
            !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 ||
            static_cast<std::uint64_t>(width) * height > MaxDecodedPixels)
            return Status::GenericError;
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tiff.get(), message))
            return Status::GenericError;
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
        if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), ORIENTATION_TOPLEFT, 1))
            return Status::GenericError;
        RgbaImage image;
        image.Width = width;
        image.Height = height;
        image.Pixels.resize(raster.size() * 4);
        for (std::size_t i = 0; i < raster.size(); ++i) {
            const std::uint32_t abgr = raster[i];
            const unsigned a = TIFFGetA(abgr);
            unsigned r = TIFFGetR(abgr), g = TIFFGetG(abgr), b = TIFFGetB(abgr);
            if (a != 0 && a != 255) {  // the codec premultiplies; ours is straight alpha
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            std::uint8_t* p = image.Pixels.data() + i * 4;
            p[0] = static_cast<std::uint8_t>(r);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(b);
            p[3] = static_cast<std::uint8_t>(a);
        }
        out = std::move(image);
        return Status::Ok;
    });
}

// The first frame, placed on the logical screen (transparent where the frame does not cover it).
Status DecodeGif(std::span<const std::uint8_t> file, RgbaImage& out) noexcept
{
    return Guarded([&] {
        GifSource source{file};
        int error = 0;
        std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, GifRead, &error));
        if (!gif)
            return Status::GenericError;
        int transparent = -1;
        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
                return Status::GenericError;
            if (record == TERMINATE_RECORD_TYPE)
                return Status::GenericError;  // no frame at all
            if (record == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                    return Status::GenericError;
                while (block) {
                    if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4)
                        transparent = (block[1] & 1) ? block[4] : -1;
                    code = 0;  // only the first block of the extension holds the fields
                    if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                        return Status::GenericError;
                }
                continue;
            }
            if (record != IMAGE_DESC_RECORD_TYPE)
                return Status::GenericError;
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
                return Status::GenericError;
            const GifImageDesc& frame = gif->Image;
            if (frame.Width <= 0 || frame.Height <= 0)
                return Status::GenericError;
            const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
            if (!colours || !colours->Colors)
                return Status::GenericError;
            const auto frameWidth = static_cast<std::uint32_t>(frame.Width);
            const auto frameHeight = static_cast<std::uint32_t>(frame.Height);
            std::uint32_t screenWidth = gif->SWidth > 0 ? static_cast<std::uint32_t>(gif->SWidth) : frameWidth;
            std::uint32_t screenHeight = gif->SHeight > 0 ? static_cast<std::uint32_t>(gif->SHeight) : frameHeight;
            if (static_cast<std::uint64_t>(screenWidth) * screenHeight > MaxDecodedPixels ||
                static_cast<std::uint64_t>(frameWidth) * frameHeight > MaxDecodedPixels)
                return Status::GenericError;
            RgbaImage image;
            image.Width = screenWidth;
            image.Height = screenHeight;
            image.Pixels.assign(static_cast<std::size_t>(screenWidth) * screenHeight * 4, 0);
            std::vector<GifPixelType> line(frameWidth);
            const auto left = static_cast<std::uint32_t>(std::max(0, frame.Left));
            const auto top = static_cast<std::uint32_t>(std::max(0, frame.Top));
            for (std::uint32_t n = 0; n < frameHeight; ++n) {
                if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                    return Status::GenericError;
                const std::uint64_t y = top + (frame.Interlace ? InterlacedRow(n, frameHeight) : n);
                if (y >= screenHeight || left >= screenWidth)
                    continue;
                std::uint8_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * screenWidth * 4;
                const std::uint32_t visible = std::min(frameWidth, screenWidth - left);
                for (std::uint32_t x = 0; x < visible; ++x) {
                    const int index = line[x];
                    if (index == transparent || index >= colours->ColorCount)
                        continue;
                    std::uint8_t* p = row + static_cast<std::size_t>(left + x) * 4;
                    p[0] = colours->Colors[index].Red;
                    p[1] = colours->Colors[index].Green;
                    p[2] = colours->Colors[index].Blue;
                    p[3] = 255;
                }
            }
            out = std::move(image);
            return Status::Ok;
        }
    });
}

}  // namespace ovrel::imaging::detail
