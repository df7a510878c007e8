#pragma once
// Helpers of the inspector tests: a canvas over an image whose pixels are read back, a stand-in grid that
// records the change reports of its items, and the visual-styles backend put in place for a test.

#include "inspector/PropertyItems.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/VisualStyles.h"
#include "toolkit/Graphics.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::inspector::testing {

/// A canvas on a DC over a 32-bit image; pixels come back as colours (0x00BBGGRR).
class ImageCanvas {
public:
    ImageCanvas(int width, int height, toolkit::TColor background = toolkit::clWhite)
        : FImage(width, height, QImage::Format_ARGB32)
    {
        Fill(background);
        FDC = ui::CreateImageDC(FImage, ui::POINT{0, 0}, nullptr);
        FCanvas.SetHandle(FDC);
    }
    ~ImageCanvas()
    {
        FCanvas.SetHandle(nullptr);
        ui::DeleteImageDC(FDC);
    }
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    toolkit::TCanvas* Canvas() { return &FCanvas; }
    QImage& Image() { return FImage; }
    void Fill(toolkit::TColor color)
    {
        const auto rgb = static_cast<ui::COLORREF>(color);
        FImage.fill(qRgb(ui::GetRValue(rgb), ui::GetGValue(rgb), ui::GetBValue(rgb)));
    }
    toolkit::TColor At(int x, int y) const
    {
        const QRgb p = FImage.pixel(x, y);
        return static_cast<toolkit::TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    /// One character per pixel of a row or column: '#' where the pixel has the colour, '.' elsewhere.
    std::string Row(int y, toolkit::TColor color, int from, int to) const
    {
        std::string row;
        for (int x = from; x < to; ++x)
            row += At(x, y) == color ? '#' : '.';
        return row;
    }
    std::string Column(int x, toolkit::TColor color, int from, int to) const
    {
        std::string column;
        for (int y = from; y < to; ++y)
            column += At(x, y) == color ? '#' : '.';
        return column;
    }
    /// The bounds of the pixels that differ from background; empty when none do.
    toolkit::TRect InkBounds(toolkit::TColor background) const
    {
        toolkit::TRect r{FImage.width(), FImage.height(), 0, 0};
        for (int y = 0; y < FImage.height(); ++y)
            for (int x = 0; x < FImage.width(); ++x)
                if (At(x, y) != background) {
                    r.left = std::min<int>(r.left, x);
                    r.top = std::min<int>(r.top, y);
                    r.right = std::max<int>(r.right, x + 1);
                    r.bottom = std::max<int>(r.bottom, y + 1);
                }
        return r.right == 0 ? toolkit::TRect{} : r;
    }

private:
    QImage FImage;
    ui::HDC FDC = nullptr;
    toolkit::TCanvas FCanvas;
};

/// A 32-bit bitmap of one pixel colour and alpha byte (0xAARRGGBB in memory order B, G, R, A).
inline std::unique_ptr<toolkit::TBitmap> SolidBitmap(int width, int height, std::uint32_t argb)
{
    auto bitmap = std::make_unique<toolkit::TBitmap>();
    bitmap->SetPixelFormat(toolkit::pf32bit);
    bitmap->SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint32_t*>(bitmap->GetScanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = argb;
    }
    return bitmap;
}

/// One change report as the grid hears it.
struct Report {
    std::string Caption;  // of the reporting item
    int Kind = 0;
    int Index = -1;
    friend bool operator==(const Report&, const Report&) = default;
};

/// A grid stand-in: the owner of the top list, with fixed geometry, recording every report that reaches it.
class FakeView : public toolkit::TComponent, public IPropertiesView {
public:
    FakeView() : TComponent(nullptr), FCategories(std::make_unique<TPropertyItems>(this))
    {
        FCategories->OnItemChange = TItemChangeEvent(this, &FakeView::Record);
        FCategories->OnChange = toolkit::TNotifyEvent(this, &FakeView::ListChanged);
        FFont.SetName("DejaVu Sans");
        FFont.SetColor(toolkit::clBlack);
    }
    ~FakeView() override
    {
        OnReport = nullptr;  // it may refer to a test's locals, gone by now
        FCategories.reset();
    }

    TPropertyItems* Categories() const { return FCategories.get(); }

    int GetRowHeight() const override { return RowHeight; }
    int GetRowPitch() const override { return RowHeight + (GridLines ? 1 : 0); }
    int GetTopRow() const override { return TopRow; }
    int GetSplitterPosition() const override { return SplitterPosition; }
    int GetSuffixWidth() const override { return SuffixWidth; }
    int GetRowWidth() const override { return RowWidth; }
    toolkit::TColor GetItemsColor() const override { return Color; }
    const toolkit::TFont* GetItemsFont() const override { return &FFont; }

    int RowHeight = 16;
    bool GridLines = true;
    int TopRow = 0;
    int SplitterPosition = 100;
    int SuffixWidth = 60;
    int RowWidth = 300;
    toolkit::TColor Color = toolkit::clCream;
    std::vector<Report> Reports;
    int ListChanges = 0;
    /// Runs for each report before it is recorded (to look at the reporting item while it is whole).
    std::function<void(TCustomPropertyItem*, int)> OnReport;

private:
    void Record(toolkit::TObject*, TCustomPropertyItem* item, int index, std::uint8_t kind)
    {
        if (OnReport)
            OnReport(item, kind);
        Reports.push_back({item->GetCaption(), kind, index});
    }
    void ListChanged(toolkit::TObject*) { ++ListChanges; }

    std::unique_ptr<TPropertyItems> FCategories;
    toolkit::TFont FFont;
};

/// The recording visual-styles backend in force for a scope.
class ThemedScope {
public:
    ThemedScope() : FPrevious(ui::SetVisualStyles(&Styles)) {}
    ~ThemedScope() { ui::SetVisualStyles(FPrevious); }
    ThemedScope(const ThemedScope&) = delete;
    ThemedScope& operator=(const ThemedScope&) = delete;

    ui::RecordingVisualStyles Styles;

private:
    ui::IVisualStyles* FPrevious;
};

}  // namespace ovrel::inspector::testing
