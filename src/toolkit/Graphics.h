#pragma once
// Colours, drawing objects (font, pen, brush), bitmaps, canvases over the UI layer's device contexts, and
// image lists with change links.

#include "toolkit/Classes.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Types.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::toolkit {

using TPoint = ui::POINT;
using TRect = ui::RECT;
using TSize = ui::SIZE;

inline constexpr TPoint Point(int x, int y) { return TPoint{x, y}; }
inline constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline constexpr TRect Bounds(int left, int top, int width, int height)
{
    return TRect{left, top, left + width, top + height};
}

// ---- Colours ----------------------------------------------------------------------------------------------

/// 0x00BBGGRR, or a system colour 0xFF0000nn (negative as a 32-bit value) standing for GetSysColor(nn).
using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);

inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clHotLight = clSystemColor | 26;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
inline constexpr TColor clMenuHighlight = clSystemColor | 29;
inline constexpr TColor clMenuBar = clSystemColor | 30;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
/// No colour of its own: the effective colour comes from elsewhere (parent, theme).
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

/// A system colour resolved through the colour table; every other value as it is (clNone included).
ui::COLORREF ColorToRGB(TColor color);
/// "clBtnFace" for a named colour, else "$00BBGGRR".
std::string ColorToString(TColor color);
/// A colour name (case ignored), "$hex" or a decimal number; EConvertError for anything else.
TColor StringToColor(std::string_view text);
bool IdentToColor(std::string_view ident, TColor& color);
bool ColorToIdent(TColor color, std::string& ident);

// ---- Drawing objects --------------------------------------------------------------------------------------

/// Raised for a drawing request the object cannot serve (no DC, bad scan line, unsupported format).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

/// Base of fonts, pens and brushes: fires OnChange (sender = the object) once per change.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

/// A font description with a lazily made font object. Size is in points at a fixed 96 pixels per inch:
/// Height = -MulDiv(Size, 96, 72), so 8 points are 11 pixels.
class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;

    void Assign(const TPersistent* source) override;

    [[nodiscard]] const std::string& GetName() const { return FName; }
    void SetName(const std::string& value);
    [[nodiscard]] int GetSize() const;
    void SetSize(int value);
    [[nodiscard]] int GetHeight() const { return FHeight; }
    void SetHeight(int value);
    [[nodiscard]] TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    [[nodiscard]] TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles value);
    [[nodiscard]] std::uint8_t GetCharset() const { return FCharset; }
    void SetCharset(std::uint8_t value);
    /// Tenths of a degree counter-clockwise; 2700 runs the text downwards.
    [[nodiscard]] int GetOrientation() const { return FOrientation; }
    void SetOrientation(int value);
    [[nodiscard]] int GetPixelsPerInch() const { return 96; }

    /// The font object, made on first use; owned by the font.
    [[nodiscard]] ui::HFONT GetHandle() const;
    /// Takes over a font object: the description is read from it and the font owns it from now on.
    void SetHandle(ui::HFONT value);
    [[nodiscard]] ui::LOGFONT GetLogFont() const;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    void Changed() override;

private:
    void FreeHandle() const;

    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    std::uint8_t FCharset = ui::DEFAULT_CHARSET;
    int FOrientation = 0;
    mutable ui::HFONT FHandle = nullptr;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;

    void Assign(const TPersistent* source) override;

    [[nodiscard]] TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    [[nodiscard]] int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    [[nodiscard]] TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle value);
    /// The pen object, made on first use; owned by the pen.
    [[nodiscard]] ui::HPEN GetHandle() const;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    void Changed() override;

private:
    void FreeHandle() const;

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    mutable ui::HPEN FHandle = nullptr;
};

enum TBrushStyle : std::uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;

    void Assign(const TPersistent* source) override;

    [[nodiscard]] TColor GetColor() const { return FColor; }
    /// A colour makes a cleared brush solid again.
    void SetColor(TColor value);
    [[nodiscard]] TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    /// A pattern bitmap (borrowed; must outlive its use); a monochrome one paints its 0 bits in the text
    /// colour and its 1 bits in the background colour of the DC. The pattern wins over the style.
    [[nodiscard]] TBitmap* GetBitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* value);
    /// The brush object, made on first use; owned by the brush.
    [[nodiscard]] ui::HBRUSH GetHandle() const;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    void Changed() override;

private:
    void FreeHandle() const;

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    mutable ui::HBRUSH FHandle = nullptr;
};

// ---- Canvas -----------------------------------------------------------------------------------------------

class TGraphic;

/// Drawing on a device context with a font, a pen and a brush, which are selected into the DC when an
/// operation needs them. A canvas without a DC asks CreateHandle for one and raises
/// EInvalidGraphicOperation "Canvas does not allow drawing" when none comes.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    /// The DC in use (made on demand); borrowed from whoever set it.
    [[nodiscard]] ui::HDC GetHandle();
    /// Puts the canvas on another DC (or none); the objects it selected go back out of the old one.
    void SetHandle(ui::HDC value);
    [[nodiscard]] bool HandleAllocated() const { return FHandle != nullptr; }

    [[nodiscard]] TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    [[nodiscard]] TPen* GetPen() const { return FPen.get(); }
    void SetPen(const TPen* value) { FPen->Assign(value); }
    [[nodiscard]] TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(const TBrush* value) { FBrush->Assign(value); }

    /// The clip box in logical coordinates.
    [[nodiscard]] TRect GetClipRect();
    [[nodiscard]] TPoint GetPenPos();
    void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }
    /// CLR_INVALID (as a TColor) outside the clip or the surface.
    [[nodiscard]] TColor GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor color);
    /// The raster operation of CopyRect (SRCCOPY).
    [[nodiscard]] ui::DWORD GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(ui::DWORD value) { FCopyMode = value; }
    /// Extra ExtTextOut options of TextOut and TextRect.
    [[nodiscard]] ui::UINT GetTextFlags() const { return FTextFlags; }
    void SetTextFlags(ui::UINT value) { FTextFlags = value; }

    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Polygon(std::span<const TPoint> points);
    void Polyline(std::span<const TPoint> points);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void DrawFocusRect(const TRect& rect);
    /// Draws the text with its top-left at (x, y) and moves the pen position to its right end.
    void TextOut(int x, int y, std::string_view text);
    /// Draws the text at (x, y) clipped to rect, filling rect with the brush unless the brush is clear.
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    [[nodiscard]] TSize TextExtent(std::string_view text);
    [[nodiscard]] int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    [[nodiscard]] int TextHeight(std::string_view text) { return TextExtent(text).cy; }
    /// Draws the graphic at its own size; a transparent bitmap leaves its transparent colour out.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    /// Copies source of canvas into dest of this canvas with the copy mode, stretching when sizes differ.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    /// Deselects the drawing objects, so the next operation selects them afresh.
    void Refresh();

    TNotifyEvent OnChange;  // after every drawing operation
    TNotifyEvent OnChanging;  // before every drawing operation

    enum TStateItem : std::uint8_t { csHandleValid, csFontValid, csPenValid, csBrushValid };
    using TState = TSet<TStateItem>;

protected:
    /// Called when an operation needs a DC and there is none; the base makes none.
    virtual void CreateHandle();
    /// Selects whatever of state is not yet in the DC.
    void RequiredState(TState state);
    virtual void Changing();
    virtual void Changed();

private:
    /// One drawing operation: Changing, the objects of state into the DC, draw, Changed.
    template <class F> void Paint(TState state, F draw)
    {
        Changing();
        RequiredState(state);
        draw();
        Changed();
    }
    void DeselectHandles();
    void FontChanged(TObject* sender);
    void PenChanged(TObject* sender);
    void BrushChanged(TObject* sender);

    ui::HDC FHandle = nullptr;
    TState FState;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    ui::HGDIOBJ FOldFont = nullptr;
    ui::HGDIOBJ FOldPen = nullptr;
    ui::HGDIOBJ FOldBrush = nullptr;
    ui::DWORD FCopyMode = ui::SRCCOPY;
    ui::UINT FTextFlags = 0;
};

class TControl;

/// A canvas that draws on a control: the control supplies the DC when the canvas first needs one and takes
/// it back when the canvas frees it. A paint handler may instead set a DC directly with SetHandle.
class TControlCanvas : public TCanvas {
public:
    using TAcquireDC = std::function<ui::HDC()>;
    using TReleaseDC = std::function<void(ui::HDC)>;

    TControlCanvas() = default;
    ~TControlCanvas() override;

    [[nodiscard]] TControl* GetControl() const { return FControl; }
    /// Frees the current DC, then draws on control through acquire and release from now on.
    void SetControl(TControl* control, TAcquireDC acquire, TReleaseDC release);
    /// Gives an acquired DC back to the control.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    TAcquireDC FAcquire;
    TReleaseDC FRelease;
    ui::HDC FAcquired = nullptr;
};

// ---- Graphics ---------------------------------------------------------------------------------------------

/// Something that draws itself into a rectangle of a canvas.
class TGraphic : public TPersistent {
public:
    [[nodiscard]] virtual int GetWidth() const = 0;
    [[nodiscard]] virtual int GetHeight() const = 0;
    [[nodiscard]] virtual bool GetEmpty() const = 0;
    [[nodiscard]] bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    virtual void Changed();

private:
    bool FTransparent = false;
};

enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

/// A bitmap of 32-bit pixels (B, G, R, A bytes; pfDevice and pf32bit) or 1-bit pixels (pf1bit, monochrome).
/// New pixels are white. Other pixel formats raise EInvalidGraphicOperation.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    void Assign(const TPersistent* source) override;

    [[nodiscard]] int GetWidth() const override { return FWidth; }
    [[nodiscard]] int GetHeight() const override { return FHeight; }
    void SetWidth(int value) { SetSize(value, FHeight); }
    void SetHeight(int value) { SetSize(FWidth, value); }
    /// Keeps the pixels that stay inside; new ones are white.
    void SetSize(int width, int height);
    [[nodiscard]] bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
    [[nodiscard]] TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value);
    [[nodiscard]] bool GetMonochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pfDevice); }

    /// Row y, top row first: 4 bytes per pixel, or one bit per pixel (most significant first, 1 = white)
    /// for monochrome bitmaps. EInvalidGraphicOperation "Scan line index out of range" outside the rows.
    [[nodiscard]] void* GetScanLine(int y);

    /// Drawing on the bitmap; made on first use, owned by the bitmap.
    [[nodiscard]] TCanvas* GetCanvas();
    /// The bitmap object (null while empty); owned by the bitmap.
    [[nodiscard]] ui::HBITMAP GetHandle() const { return FHandle; }
    /// Takes over a bitmap object (or none).
    void SetHandle(ui::HBITMAP value);
    /// Gives up the bitmap object to the caller; the bitmap is empty afterwards.
    [[nodiscard]] ui::HBITMAP ReleaseHandle();

    /// The colour left out by a transparent draw: the fixed colour under tmFixed, else the bottom-left
    /// pixel (white for a monochrome bitmap). clDefault while empty under tmAuto.
    [[nodiscard]] TColor GetTransparentColor() const;
    /// Sets the colour and tmFixed (clDefault: tmAuto).
    void SetTransparentColor(TColor value);
    [[nodiscard]] TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    /// The pixels of an image (converted to 32 bits).
    void LoadFromImage(const QImage& image);
    /// A resource image of that name (":/name" with or without an image extension); EResNotFound.
    void LoadFromResourceName(std::string_view name);

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void Changed() override;

private:
    friend class TBitmapCanvas;
    void Replace(ui::HBITMAP handle, int width, int height, TPixelFormat format);
    [[nodiscard]] QImage* Image() const;
    ui::HDC DrawingDC();
    void FreeDrawingDC();

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    ui::HBITMAP FHandle = nullptr;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TCanvas> FCanvas;
    ui::HDC FDC = nullptr;  // memory DC with the bitmap selected, while drawn on or from
    ui::HGDIOBJ FOldBitmap = nullptr;
};

// ---- Image lists ------------------------------------------------------------------------------------------

class TCustomImageList;

/// Tells its owner when the image list it is registered with changes.
class TChangeLink : public TObject {
public:
    TChangeLink() = default;
    /// Unregisters from its image list.
    ~TChangeLink() override;

    [[nodiscard]] TCustomImageList* GetSender() const { return FSender; }
    void SetSender(TCustomImageList* value) { FSender = value; }
    /// Fires OnChange with the image list as sender.
    virtual void Change();

    TNotifyEvent OnChange;

private:
    TCustomImageList* FSender = nullptr;
};

/// Equal-sized images with transparency, drawn by index.
class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner);
    /// Every registered link forgets the list.
    ~TCustomImageList() override;

    void Assign(const TPersistent* source) override;

    [[nodiscard]] int GetWidth() const { return FWidth; }
    /// Changing the size clears the images.
    void SetWidth(int value) { SetSize(value, FHeight); }
    [[nodiscard]] int GetHeight() const { return FHeight; }
    void SetHeight(int value) { SetSize(FWidth, value); }
    void SetSize(int width, int height);
    [[nodiscard]] int GetCount() const { return static_cast<int>(FImages.size()); }

    /// Adds one image per Width-wide strip of image. A monochrome mask marks transparent pixels with 1
    /// (white); without a mask a 32-bit image keeps its alpha bytes and others are opaque. Returns the index
    /// of the first image added, -1 when none fits.
    int Add(TBitmap* image, TBitmap* mask);
    /// As Add, with the pixels of maskColor transparent (clDefault: the bottom-left pixel's colour).
    int AddMasked(TBitmap* image, TColor maskColor);
    /// EListError outside 0..Count-1.
    void Delete(int index);
    void Clear();
    /// Copies image index into bitmap (32-bit, with alpha); nothing for a bad index.
    void GetBitmap(int index, TBitmap* bitmap) const;

    /// Draws image index with its top-left at (x, y), blended by its alpha. A disabled image is drawn
    /// embossed: its shape (the pixels that show and are not white) in the button highlight colour one
    /// pixel down and right, then in the button shadow colour. An index outside 0..Count-1 draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;

    void RegisterChanges(TChangeLink* value);
    void UnRegisterChanges(TChangeLink* value);

    TNotifyEvent OnChange;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    /// Fires OnChange and every link's Change.
    virtual void Change();

private:
    int AddStrips(const QImage& pixels);

    int FWidth = 16;
    int FHeight = 16;
    std::vector<QImage> FImages;  // ARGB32, straight alpha
    std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

}  // namespace ovrel::toolkit
