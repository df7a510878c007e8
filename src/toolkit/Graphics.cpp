#include "toolkit/Graphics.h"

#include "platform/ui/QtText.h"
#include "platform/ui/SysTables.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace ovrel::toolkit {

namespace {

struct TColorIdent {
    TColor Color;
    const char* Name;
};

constexpr std::array<TColorIdent, 52> ColorIdents{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
}};

constexpr QRgb White = 0xFFFFFFFF;

QRgb OpaqueRgb(ui::COLORREF color) { return qRgb(ui::GetRValue(color), ui::GetGValue(color), ui::GetBValue(color)); }

// A QImage of straight-alpha 32-bit pixels in the GDI objects' own format.
QImage NewWhiteImage(int width, int height, bool mono)
{
    if (mono) {
        QImage image(width, height, QImage::Format_Mono);
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(1);
        return image;
    }
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(White);
    return image;
}

// Wraps pixels into a bitmap object of the UI layer; null when the size cannot be had.
ui::HBITMAP NewBitmapObject(const QImage& pixels)
{
    const bool mono = pixels.format() == QImage::Format_Mono;
    ui::HBITMAP handle = ui::CreateBitmap(pixels.width(), pixels.height(), 1, mono ? 1 : 32, nullptr);
    if (handle == nullptr)
        throw EOutOfMemory("Out of system resources");
    *ui::GetBitmapImage(handle) = pixels;
    return handle;
}

// Colour pixels to monochrome as a blit does: white stays white (1), every other colour turns black.
QImage ToMono(const QImage& colour)
{
    QImage mono = NewWhiteImage(colour.width(), colour.height(), true);
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x)
            mono.setPixel(x, y, (colour.pixel(x, y) | 0xFF000000) == White ? 1 : 0);
    return mono;
}

// Stores value; true when it differs from what was there.
template <class T> bool Store(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Frees a drawing object the class made; a DC still holding it lets go of it later, and stock and system
// colour objects are never freed.
void FreeObject(ui::HGDIOBJ& handle)
{
    if (handle != nullptr)
        ui::DeleteObject(handle);
    handle = nullptr;
}

}  // namespace

// ---- Colours ----------------------------------------------------------------------------------------------

ui::COLORREF ColorToRGB(TColor color)
{
    if (color < 0)
        return ui::GetSysColor(color & 0xFF);
    return static_cast<ui::COLORREF>(color);
}

bool ColorToIdent(TColor color, std::string& ident)
{
    for (const TColorIdent& entry : ColorIdents)
        if (entry.Color == color) {
            ident = entry.Name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view ident, TColor& color)
{
    for (const TColorIdent& entry : ColorIdents)
        if (SameText(ident, entry.Name)) {
            color = entry.Color;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color)
{
    std::string ident;
    if (ColorToIdent(color, ident))
        return ident;
    return Format("$%.8X", {static_cast<std::uint32_t>(color)});
}

TColor StringToColor(std::string_view text)
{
    TColor color = 0;
    if (IdentToColor(Trim(std::string(text)), color))
        return color;
    long long value = 0;
    if (!TryStrToInt64(text, value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::uint32_t>::max())
        throw EConvertError(Format("'%s' is not a valid color value", {std::string(text)}));
    return static_cast<TColor>(static_cast<std::uint32_t>(value));
}

// ---- Drawing objects --------------------------------------------------------------------------------------

void TGraphicsObject::Changed() { OnChange(this); }

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() const { FreeObject(FHandle); }

void TFont::Changed()
{
    FreeHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(const TPersistent* source)
{
    const auto* font = dynamic_cast<const TFont*>(source);
    if (font == nullptr) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (font == this)
        return;
    FName = font->FName;
    FHeight = font->FHeight;
    FColor = font->FColor;
    FStyle = font->FStyle;
    FCharset = font->FCharset;
    FOrientation = font->FOrientation;
    Changed();
}

void TFont::SetName(const std::string& value)
{
    if (!value.empty() && Store(FName, value))
        Changed();
}

int TFont::GetSize() const { return -MulDiv(FHeight, 72, GetPixelsPerInch()); }

void TFont::SetSize(int value) { SetHeight(-MulDiv(value, GetPixelsPerInch(), 72)); }

void TFont::SetHeight(int value)
{
    if (Store(FHeight, value))
        Changed();
}

void TFont::SetColor(TColor value)
{
    if (Store(FColor, value))
        Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (Store(FStyle, value))
        Changed();
}

void TFont::SetCharset(std::uint8_t value)
{
    if (Store(FCharset, value))
        Changed();
}

void TFont::SetOrientation(int value)
{
    if (Store(FOrientation, value))
        Changed();
}

ui::LOGFONT TFont::GetLogFont() const
{
    ui::LOGFONT log;
    log.lfHeight = FHeight;
    log.lfEscapement = FOrientation;
    log.lfOrientation = FOrientation;
    log.lfWeight = FStyle.Contains(fsBold) ? ui::FW_BOLD : ui::FW_NORMAL;
    log.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    log.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    log.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    log.lfCharSet = FCharset;
    log.lfFaceName = FName;
    return log;
}

ui::HFONT TFont::GetHandle() const
{
    if (FHandle == nullptr)
        FHandle = ui::CreateFontIndirect(GetLogFont());
    return FHandle;
}

void TFont::SetHandle(ui::HFONT value)
{
    if (value == FHandle)
        return;
    ui::LOGFONT log;
    if (value != nullptr && !ui::GetObject(value, log))
        throw EInvalidGraphicOperation("Invalid font handle");
    FreeHandle();
    if (value != nullptr) {
        FHandle = value;
        FName = log.lfFaceName.empty() ? FName : log.lfFaceName;
        FHeight = log.lfHeight;
        FStyle = TFontStyles();
        if (log.lfWeight >= ui::FW_BOLD)
            FStyle.Include(fsBold);
        if (log.lfItalic)
            FStyle.Include(fsItalic);
        if (log.lfUnderline)
            FStyle.Include(fsUnderline);
        if (log.lfStrikeOut)
            FStyle.Include(fsStrikeOut);
        FCharset = log.lfCharSet;
        FOrientation = log.lfEscapement;
    }
    TGraphicsObject::Changed();  // Changed would free the handle just taken
}

const TPropertyTable& TFont::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TPersistent::ClassProperties())
            .Integer("Charset", &TFont::GetCharset, &TFont::SetCharset)
            .Integer("Color", &TFont::GetColor, &TFont::SetColor)
            .Integer("Height", &TFont::GetHeight, &TFont::SetHeight)
            .String("Name", &TFont::GetName, &TFont::SetName)
            .Integer("Orientation", &TFont::GetOrientation, &TFont::SetOrientation)
            .Integer("Size", &TFont::GetSize, &TFont::SetSize)
            .Set("Style", &TFont::GetStyle, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return table;
}

const TPropertyTable& TFont::GetPropertyTable() const { return ClassProperties(); }

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() const { FreeObject(FHandle); }

void TPen::Changed()
{
    FreeHandle();
    TGraphicsObject::Changed();
}

void TPen::Assign(const TPersistent* source)
{
    const auto* pen = dynamic_cast<const TPen*>(source);
    if (pen == nullptr) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (pen == this)
        return;
    FColor = pen->FColor;
    FWidth = pen->FWidth;
    FStyle = pen->FStyle;
    Changed();
}

void TPen::SetColor(TColor value)
{
    if (Store(FColor, value))
        Changed();
}

void TPen::SetWidth(int value)
{
    if (Store(FWidth, std::max(value, 0)))
        Changed();
}

void TPen::SetStyle(TPenStyle value)
{
    if (Store(FStyle, value))
        Changed();
}

ui::HPEN TPen::GetHandle() const
{
    if (FHandle == nullptr)  // the pen styles have the platform's numbers
        FHandle = ui::CreatePen(static_cast<int>(FStyle), FWidth, ColorToRGB(FColor));
    return FHandle;
}

const TPropertyTable& TPen::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TPersistent::ClassProperties())
            .Integer("Color", &TPen::GetColor, &TPen::SetColor)
            .Enumeration("Style", &TPen::GetStyle, &TPen::SetStyle,
                         {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"})
            .Integer("Width", &TPen::GetWidth, &TPen::SetWidth);
    return table;
}

const TPropertyTable& TPen::GetPropertyTable() const { return ClassProperties(); }

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() const { FreeObject(FHandle); }

void TBrush::Changed()
{
    FreeHandle();
    TGraphicsObject::Changed();
}

void TBrush::Assign(const TPersistent* source)
{
    const auto* brush = dynamic_cast<const TBrush*>(source);
    if (brush == nullptr) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (brush == this)
        return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    FBitmap = brush->FBitmap;
    Changed();
}

void TBrush::SetColor(TColor value)
{
    const bool colorChanged = Store(FColor, value);
    const bool styleChanged = FStyle == bsClear && Store(FStyle, bsSolid);
    if (colorChanged || styleChanged)
        Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (Store(FStyle, value))
        Changed();
}

void TBrush::SetBitmap(TBitmap* value)
{
    if (Store(FBitmap, value))
        Changed();
}

ui::HBRUSH TBrush::GetHandle() const
{
    if (FHandle != nullptr)
        return FHandle;
    if (FBitmap != nullptr && FBitmap->GetHandle() != nullptr)
        FHandle = ui::CreatePatternBrush(FBitmap->GetHandle());
    else if (FStyle == bsClear)
        FHandle = ui::GetStockObject(ui::NULL_BRUSH);
    else if (FStyle == bsSolid && FColor < 0)
        FHandle = ui::GetSysColorBrush(FColor & 0xFF);  // follows the colour table
    else if (FStyle == bsSolid)
        FHandle = ui::CreateSolidBrush(ColorToRGB(FColor));
    else
        FHandle = ui::CreateHatchBrush(static_cast<int>(FStyle) - bsHorizontal, ColorToRGB(FColor));
    if (FHandle == nullptr)  // an unknown system colour index
        FHandle = ui::CreateSolidBrush(ColorToRGB(FColor));
    return FHandle;
}

const TPropertyTable& TBrush::ClassProperties()
{
    static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                            .Integer("Color", &TBrush::GetColor, &TBrush::SetColor)
                                            .Enumeration("Style", &TBrush::GetStyle, &TBrush::SetStyle,
                                                         {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                                          "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"});
    return table;
}

const TPropertyTable& TBrush::GetPropertyTable() const { return ClassProperties(); }

// ---- Canvas -----------------------------------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
    FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
    FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

ui::HDC TCanvas::GetHandle()
{
    RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
    return FHandle;
}

void TCanvas::SetHandle(ui::HDC value)
{
    if (value == FHandle)
        return;
    if (FHandle != nullptr)
        DeselectHandles();
    FHandle = value;
    if (FHandle != nullptr)
        FState.Include(csHandleValid);
    else
        FState.Exclude(csHandleValid);
}

void TCanvas::CreateHandle() {}

void TCanvas::RequiredState(TState state)
{
    const TState needed = state - FState;
    if (needed.Empty())
        return;
    if (needed.Contains(csHandleValid)) {
        CreateHandle();
        if (FHandle == nullptr)
            throw EInvalidGraphicOperation("Canvas does not allow drawing");
        FState.Include(csHandleValid);
    }
    if (needed.Contains(csFontValid)) {
        FOldFont = ui::SelectObject(FHandle, FFont->GetHandle());
        ui::SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
        FState.Include(csFontValid);
    }
    if (needed.Contains(csPenValid)) {
        FOldPen = ui::SelectObject(FHandle, FPen->GetHandle());
        FState.Include(csPenValid);
    }
    if (needed.Contains(csBrushValid)) {
        FOldBrush = ui::SelectObject(FHandle, FBrush->GetHandle());
        // Hatches and clear brushes leave what is behind them; text behind a clear brush is transparent.
        if (FBrush->GetStyle() == bsSolid) {
            ui::SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
            ui::SetBkMode(FHandle, ui::OPAQUE);
        } else {
            ui::SetBkColor(FHandle, ~ColorToRGB(FBrush->GetColor()) & 0xFFFFFF);
            ui::SetBkMode(FHandle, ui::TRANSPARENT);
        }
        FState.Include(csBrushValid);
    }
}

void TCanvas::DeselectHandles()
{
    // The objects that were in the DC go back in, so a borrowed DC is returned as it was given.
    if (FState.Contains(csFontValid) && FOldFont != nullptr)
        ui::SelectObject(FHandle, FOldFont);
    if (FState.Contains(csPenValid) && FOldPen != nullptr)
        ui::SelectObject(FHandle, FOldPen);
    if (FState.Contains(csBrushValid) && FOldBrush != nullptr)
        ui::SelectObject(FHandle, FOldBrush);
    FOldFont = FOldPen = FOldBrush = nullptr;
    FState = FState - TState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::FontChanged(TObject*)
{
    if (!FState.Contains(csFontValid))
        return;
    FState.Exclude(csFontValid);
    ui::SelectObject(FHandle, FOldFont);  // lets the old font object go
    FOldFont = nullptr;
}

void TCanvas::PenChanged(TObject*)
{
    if (!FState.Contains(csPenValid))
        return;
    FState.Exclude(csPenValid);
    ui::SelectObject(FHandle, FOldPen);
    FOldPen = nullptr;
}

void TCanvas::BrushChanged(TObject*)
{
    if (!FState.Contains(csBrushValid))
        return;
    FState.Exclude(csBrushValid);
    ui::SelectObject(FHandle, FOldBrush);
    FOldBrush = nullptr;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() { OnChanging(this); }

void TCanvas::Changed() { OnChange(this); }

TRect TCanvas::GetClipRect()
{
    RequiredState({csHandleValid});
    TRect rect;
    ui::GetClipBox(FHandle, &rect);
    return rect;
}

TPoint TCanvas::GetPenPos()
{
    RequiredState({csHandleValid});
    TPoint point;
    ui::GetCurrentPositionEx(FHandle, &point);
    return point;
}

TColor TCanvas::GetPixel(int x, int y)
{
    RequiredState({csHandleValid});
    return static_cast<TColor>(ui::GetPixel(FHandle, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Paint({csHandleValid, csPenValid}, [&] { ui::SetPixel(FHandle, x, y, ColorToRGB(color)); });
}

void TCanvas::FillRect(const TRect& rect)
{
    Paint({csHandleValid, csBrushValid}, [&] { ui::FillRect(FHandle, &rect, FBrush->GetHandle()); });
}

void TCanvas::FrameRect(const TRect& rect)
{
    Paint({csHandleValid, csBrushValid}, [&] { ui::FrameRect(FHandle, &rect, FBrush->GetHandle()); });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Paint({csHandleValid, csPenValid, csBrushValid}, [&] { ui::Rectangle(FHandle, x1, y1, x2, y2); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Paint({csHandleValid, csPenValid, csBrushValid}, [&] { ui::RoundRect(FHandle, x1, y1, x2, y2, x3, y3); });
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    Paint({csHandleValid, csPenValid, csBrushValid},
          [&] { ui::Polygon(FHandle, points.data(), static_cast<int>(points.size())); });
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    Paint({csHandleValid, csPenValid, csBrushValid},
          [&] { ui::Polyline(FHandle, points.data(), static_cast<int>(points.size())); });
}

void TCanvas::MoveTo(int x, int y)
{
    RequiredState({csHandleValid});
    ui::MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    Paint({csHandleValid, csPenValid, csBrushValid}, [&] { ui::LineTo(FHandle, x, y); });
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    Paint({csHandleValid, csBrushValid}, [&] { ui::DrawFocusRect(FHandle, &rect); });
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    Paint({csHandleValid, csFontValid, csBrushValid}, [&] {
        ui::ExtTextOut(FHandle, x, y, FTextFlags, nullptr, text);
        ui::MoveToEx(FHandle, x + TextWidth(text), y, nullptr);
    });
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text)
{
    Paint({csHandleValid, csFontValid, csBrushValid}, [&] {
        ui::UINT options = ui::ETO_CLIPPED | FTextFlags;
        if (FBrush->GetStyle() != bsClear)
            options |= ui::ETO_OPAQUE;
        ui::ExtTextOut(FHandle, x, y, options, &rect, text);
    });
}

TSize TCanvas::TextExtent(std::string_view text)
{
    RequiredState({csHandleValid, csFontValid});
    TSize size;
    ui::GetTextExtentPoint32(FHandle, text, &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (graphic == nullptr || graphic->GetEmpty())
        return;
    StretchDraw(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic)
{
    if (graphic == nullptr || graphic->GetEmpty())
        return;
    Paint({csHandleValid}, [&] { graphic->Draw(*this, rect); });
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source)
{
    if (canvas == nullptr)
        return;
    Paint({csHandleValid, csFontValid, csBrushValid}, [&] {
        canvas->RequiredState({csHandleValid, csBrushValid});
        ui::StretchBlt(FHandle, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, canvas->FHandle,
                       source.left, source.top, source.right - source.left, source.bottom - source.top, FCopyMode);
    });
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control, TAcquireDC acquire, TReleaseDC release)
{
    FreeHandle();
    FControl = control;
    FAcquire = std::move(acquire);
    FRelease = std::move(release);
}

void TControlCanvas::CreateHandle()
{
    // A DC still held from before (a paint handler put another one in between) is used again.
    if (FAcquired == nullptr) {
        if (FControl == nullptr || !FAcquire)
            return;
        FAcquired = FAcquire();
    }
    SetHandle(FAcquired);
}

void TControlCanvas::FreeHandle()
{
    if (FAcquired == nullptr)
        return;
    ui::HDC dc = FAcquired;
    FAcquired = nullptr;
    if (HandleAllocated())
        SetHandle(nullptr);
    if (FRelease)
        FRelease(dc);
}

// ---- Graphics ---------------------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() { OnChange(this); }

// The canvas of a bitmap: draws through the bitmap's memory DC and tells the bitmap of every change.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}

protected:
    void CreateHandle() override { SetHandle(FBitmap->DrawingDC()); }
    void Changed() override
    {
        TCanvas::Changed();
        FBitmap->Changed();
    }

private:
    TBitmap* FBitmap;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    FreeDrawingDC();
    FCanvas.reset();
    if (FHandle != nullptr)
        ui::DeleteObject(FHandle);
}

QImage* TBitmap::Image() const { return FHandle ? ui::GetBitmapImage(FHandle) : nullptr; }

ui::HDC TBitmap::DrawingDC()
{
    if (FDC == nullptr) {
        FDC = ui::CreateCompatibleDC(nullptr);
        if (FHandle != nullptr)
            FOldBitmap = ui::SelectObject(FDC, FHandle);
    }
    return FDC;
}

void TBitmap::FreeDrawingDC()
{
    if (FCanvas)
        FCanvas->SetHandle(nullptr);
    if (FDC == nullptr)
        return;
    if (FOldBitmap != nullptr)
        ui::SelectObject(FDC, FOldBitmap);
    ui::DeleteDC(FDC);
    FDC = nullptr;
    FOldBitmap = nullptr;
}

void TBitmap::Replace(ui::HBITMAP handle, int width, int height, TPixelFormat format)
{
    FreeDrawingDC();
    if (FHandle != nullptr && FHandle != handle)
        ui::DeleteObject(FHandle);
    FHandle = handle;
    FWidth = width;  // an empty bitmap keeps a width without a height, so both can be set in turn
    FHeight = height;
    FPixelFormat = format;
    Changed();
}

void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmap::Assign(const TPersistent* source)
{
    if (source == nullptr) {
        Replace(nullptr, 0, 0, FPixelFormat);
        return;
    }
    const auto* bitmap = dynamic_cast<const TBitmap*>(source);
    if (bitmap == nullptr) {
        TGraphic::Assign(source);
        return;
    }
    if (bitmap == this)
        return;
    FTransparentColor = bitmap->FTransparentColor;
    FTransparentMode = bitmap->FTransparentMode;
    if (bitmap->GetTransparent() != GetTransparent())
        SetTransparent(bitmap->GetTransparent());
    const QImage* pixels = bitmap->Image();
    Replace(pixels ? NewBitmapObject(pixels->copy()) : nullptr, bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight)
        return;
    if (width == 0 || height == 0) {
        Replace(nullptr, width, height, FPixelFormat);
        return;
    }
    const bool mono = GetMonochrome();
    QImage pixels = NewWhiteImage(width, height, mono);
    if (pixels.isNull())
        throw EOutOfMemory("Out of system resources");
    if (const QImage* old = Image()) {
        const int w = std::min(width, old->width());
        const int h = std::min(height, old->height());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (mono)
                    pixels.setPixel(x, y, static_cast<uint>(old->pixelIndex(x, y)));
                else
                    pixels.setPixel(x, y, old->pixel(x, y));
            }
    }
    Replace(NewBitmapObject(pixels), width, height, FPixelFormat);
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value != pfDevice && value != pf32bit && value != pf1bit)
        throw EInvalidGraphicOperation("Unsupported pixel format");
    if (value == FPixelFormat)
        return;
    const bool toMono = value == pf1bit;
    const QImage* old = Image();
    if (old == nullptr || toMono == GetMonochrome()) {
        FPixelFormat = value;
        Changed();
        return;
    }
    QImage pixels = toMono ? ToMono(*old) : old->convertToFormat(QImage::Format_ARGB32);
    Replace(NewBitmapObject(pixels), FWidth, FHeight, value);
}

void* TBitmap::GetScanLine(int y)
{
    QImage* pixels = Image();
    if (pixels == nullptr || y < 0 || y >= FHeight)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return pixels->scanLine(y);
}

TCanvas* TBitmap::GetCanvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

void TBitmap::SetHandle(ui::HBITMAP value)
{
    if (value == FHandle)
        return;
    if (value == nullptr) {
        Replace(nullptr, 0, 0, FPixelFormat);
        return;
    }
    ui::BITMAP info;
    if (!ui::GetObject(value, info))
        throw EInvalidGraphicOperation("Invalid bitmap handle");
    TPixelFormat format = FPixelFormat;
    if (info.bmBitsPixel == 1)
        format = pf1bit;
    else if (format == pf1bit)
        format = pfDevice;
    Replace(value, info.bmWidth, info.bmHeight, format);
}

ui::HBITMAP TBitmap::ReleaseHandle()
{
    FreeDrawingDC();
    ui::HBITMAP handle = FHandle;
    FHandle = nullptr;
    if (handle != nullptr)
        Replace(nullptr, 0, 0, FPixelFormat);
    return handle;
}

TColor TBitmap::GetTransparentColor() const
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    const QImage* pixels = Image();
    if (pixels == nullptr)
        return clDefault;
    if (GetMonochrome())
        return clWhite;
    const QRgb corner = pixels->pixel(0, FHeight - 1);
    return static_cast<TColor>(ui::RGB(qRed(corner), qGreen(corner), qBlue(corner)));
}

void TBitmap::SetTransparentColor(TColor value)
{
    const TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
    if (value == FTransparentColor && mode == FTransparentMode)
        return;
    FTransparentColor = value;
    FTransparentMode = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == FTransparentMode)
        return;
    if (value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(GetTransparentColor());
}

void TBitmap::LoadFromImage(const QImage& image)
{
    if (image.isNull()) {
        Replace(nullptr, 0, 0, FPixelFormat);
        return;
    }
    QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    Replace(NewBitmapObject(pixels), pixels.width(), pixels.height(), pf32bit);
}

void TBitmap::LoadFromResourceName(std::string_view name)
{
    const QString base = QStringLiteral(":/") + ui::ToQString(name);
    for (const char* extension : {"", ".png", ".bmp"}) {
        QImage image(base + QLatin1String(extension));
        if (!image.isNull()) {
            LoadFromImage(image);
            return;
        }
    }
    throw EResNotFound(Format("Resource %s not found", {std::string(name)}));
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    if (GetEmpty())
        return;
    ui::HDC dest = canvas.GetHandle();
    ui::HDC source = DrawingDC();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // A monochrome source takes the destination's text and background colours: black and white here.
    const ui::COLORREF oldText = ui::SetTextColor(dest, 0x000000);
    const ui::COLORREF oldBk = ui::SetBkColor(dest, 0xFFFFFF);
    if (GetTransparent()) {
        ui::TransparentBlt(dest, rect.left, rect.top, width, height, source, 0, 0, FWidth, FHeight,
                           ColorToRGB(GetTransparentColor()));
    } else {
        ui::StretchBlt(dest, rect.left, rect.top, width, height, source, 0, 0, FWidth, FHeight, canvas.GetCopyMode());
    }
    ui::SetTextColor(dest, oldText);
    ui::SetBkColor(dest, oldBk);
}

// ---- Image lists ------------------------------------------------------------------------------------------

TChangeLink::~TChangeLink()
{
    if (FSender != nullptr)
        FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (FSender != nullptr)
        OnChange(FSender);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList()
{
    for (TChangeLink* link : FLinks)
        link->SetSender(nullptr);
}

void TCustomImageList::Assign(const TPersistent* source)
{
    const auto* list = dynamic_cast<const TCustomImageList*>(source);
    if (list == nullptr) {
        TComponent::Assign(source);
        return;
    }
    if (list == this)
        return;
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FImages = list->FImages;
    Change();
}

void TCustomImageList::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        throw EInvalidOperation("Invalid image size");
    if (width == FWidth && height == FHeight)
        return;
    FWidth = width;
    FHeight = height;
    FImages.clear();
    Change();
}

int TCustomImageList::AddStrips(const QImage& pixels)
{
    const int count = pixels.width() / FWidth;
    if (count == 0)
        return -1;
    const int first = GetCount();
    for (int i = 0; i < count; ++i) {
        QImage image(FWidth, FHeight, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const int rows = std::min(FHeight, pixels.height());
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < FWidth; ++x)
                image.setPixel(x, y, pixels.pixel(i * FWidth + x, y));
        FImages.push_back(std::move(image));
    }
    Change();
    return first;
}

namespace {

// The pixels of a bitmap as straight-alpha ARGB32; only a 32-bit bitmap brings alpha of its own.
QImage StripPixels(TBitmap& bitmap)
{
    if (bitmap.GetEmpty() || bitmap.GetHandle() == nullptr)
        return {};
    QImage pixels = ui::GetBitmapImage(bitmap.GetHandle())->convertToFormat(QImage::Format_ARGB32);
    if (bitmap.GetPixelFormat() != pf32bit)
        for (int y = 0; y < pixels.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x)
                line[x] |= 0xFF000000;
        }
    return pixels;
}

}  // namespace

int TCustomImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (image == nullptr)
        return -1;
    QImage pixels = StripPixels(*image);
    if (pixels.isNull())
        return -1;
    if (mask != nullptr && !mask->GetEmpty()) {
        const QImage maskPixels = StripPixels(*mask);
        for (int y = 0; y < std::min(pixels.height(), maskPixels.height()); ++y)
            for (int x = 0; x < std::min(pixels.width(), maskPixels.width()); ++x)
                if ((maskPixels.pixel(x, y) | 0xFF000000) == White)
                    pixels.setPixel(x, y, 0);
    }
    return AddStrips(pixels);
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (image == nullptr)
        return -1;
    QImage pixels = StripPixels(*image);
    if (pixels.isNull())
        return -1;
    const QRgb key =
        maskColor == clDefault ? (pixels.pixel(0, pixels.height() - 1) | 0xFF000000) : OpaqueRgb(ColorToRGB(maskColor));
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            line[x] = (line[x] | 0xFF000000) == key ? 0 : (line[x] | 0xFF000000);
    }
    return AddStrips(pixels);
}

void TCustomImageList::Delete(int index)
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    FImages.erase(FImages.begin() + index);
    Change();
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap* bitmap) const
{
    if (bitmap == nullptr || index < 0 || index >= GetCount())
        return;
    bitmap->LoadFromImage(FImages[static_cast<std::size_t>(index)]);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const
{
    if (canvas == nullptr || index < 0 || index >= GetCount())
        return;
    const QImage& image = FImages[static_cast<std::size_t>(index)];
    ui::HDC dc = canvas->GetHandle();
    const TRect at = Bounds(x, y, FWidth, FHeight);
    if (enabled) {
        ui::StretchImage(dc, at, image);
        return;
    }
    // The embossed shape is what shows and is not white, as a blit to monochrome would keep it.
    auto shape = [&](TColor color) {
        const QRgb ink = OpaqueRgb(ColorToRGB(color));
        QImage out(image.size(), QImage::Format_ARGB32);
        for (int yy = 0; yy < image.height(); ++yy)
            for (int xx = 0; xx < image.width(); ++xx) {
                const QRgb p = image.pixel(xx, yy);
                out.setPixel(xx, yy, qAlpha(p) >= 128 && (p | 0xFF000000) != White ? ink : 0);
            }
        return out;
    };
    TRect shifted = at;
    ui::OffsetRect(&shifted, 1, 1);
    ui::StretchImage(dc, shifted, shape(clBtnHighlight));
    ui::StretchImage(dc, at, shape(clBtnShadow));
}

void TCustomImageList::RegisterChanges(TChangeLink* value)
{
    if (value == nullptr || std::find(FLinks.begin(), FLinks.end(), value) != FLinks.end())
        return;
    if (value->GetSender() != nullptr && value->GetSender() != this)
        value->GetSender()->UnRegisterChanges(value);
    value->SetSender(this);
    FLinks.push_back(value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* value)
{
    const auto it = std::find(FLinks.begin(), FLinks.end(), value);
    if (it == FLinks.end())
        return;
    FLinks.erase(it);
    value->SetSender(nullptr);
}

void TCustomImageList::Change()
{
    OnChange(this);
    // A link's handler may unregister links, its own included.
    const std::vector<TChangeLink*> links = FLinks;
    for (TChangeLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            link->Change();
}

const TPropertyTable& TCustomImageList::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TComponent::ClassProperties())
            .Integer("Height", &TCustomImageList::GetHeight, &TCustomImageList::SetHeight)
            .Integer("Width", &TCustomImageList::GetWidth, &TCustomImageList::SetWidth);
    return table;
}

const TPropertyTable& TCustomImageList::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::toolkit
