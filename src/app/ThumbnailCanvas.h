#pragma once
// Thumbnails drawn on a canvas of the class library, such as a paint box's while it paints.

#include "core/ImageInfo.h"
#include "toolkit/Graphics.h"

namespace ovrel::app {

class TVekThumbnailCanvas : public core::TThumbnailCanvas {
public:
    /// Borrowed: the canvas must outlive this object and have a device context when drawn on.
    explicit TVekThumbnailCanvas(toolkit::TCanvas& canvas) : FCanvas(canvas) {}

    /// Blends the pixels over what the canvas shows, stretched to dest.
    void DrawImage(const imaging::RgbaImage& image, const core::TRect& dest) override;

private:
    toolkit::TCanvas& FCanvas;
};

}  // namespace ovrel::app
