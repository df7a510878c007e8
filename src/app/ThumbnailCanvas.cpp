#include "app/ThumbnailCanvas.h"

#include "platform/ui/Gdi.h"

namespace ovrel::app {

void TVekThumbnailCanvas::DrawImage(const imaging::RgbaImage& image, const core::TRect& dest)
{
    const ui::RECT rect{dest.Left, dest.Top, dest.Right, dest.Bottom};
    (void)ui::StretchRgbaPixels(FCanvas.GetHandle(), rect, static_cast<int>(image.Width),
                                static_cast<int>(image.Height), image.Pixels);
}

}  // namespace ovrel::app
