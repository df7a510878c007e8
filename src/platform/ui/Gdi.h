#pragma once
// Device contexts and drawing objects with the platform's semantics, drawn with QPainter into QImages.
// Every DC sits on an image (a window's backing image, a bitmap selected into a memory DC, or a 1x1 screen
// stand-in), so whatever is drawn can be read back. UI thread only.

#include "platform/ui/Types.h"

#include <QImage>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class QFont;

namespace ovrel::ui {

// ---- Object types (GetObjectType, GetCurrentObject) -------------------------------------------------------
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;

// ---- Stock objects ----------------------------------------------------------------------------------------
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;

// ---- Pens and brushes -------------------------------------------------------------------------------------
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;
inline constexpr UINT BS_PATTERN = 3;

inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth;  // x is the width
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;  // hatch style, or the HBITMAP of a BS_PATTERN brush
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;  // the pixels of a 32-bit bitmap (rows top to bottom), else null
};

// ---- Fonts ------------------------------------------------------------------------------------------------
inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE DEFAULT_PITCH = 0;

// A logical font. lfHeight < 0 is the character height in pixels (-MulDiv(points, 96, 72)), > 0 the cell
// height, 0 the default. lfEscapement in tenths of a degree counter-clockwise (2700: text runs downwards).
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = DEFAULT_QUALITY;
    BYTE lfPitchAndFamily = DEFAULT_PITCH;
    std::string lfFaceName;  // UTF-8
    friend bool operator==(const LOGFONT&, const LOGFONT&) = default;
};

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
};

// ---- DC state ---------------------------------------------------------------------------------------------
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;
inline constexpr UINT GDI_ERROR = 0xFFFFFFFF;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

inline constexpr int BLACKONWHITE = 1;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// Region results and combine modes.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// Raster operations.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Device capabilities.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// Text output.
inline constexpr UINT ETO_OPAQUE = 2;
inline constexpr UINT ETO_CLIPPED = 4;

inline constexpr UINT DT_TOP = 0;
inline constexpr UINT DT_LEFT = 0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_EXPANDTABS = 0x40;
inline constexpr UINT DT_TABSTOP = 0x80;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_EXTERNALLEADING = 0x200;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;
inline constexpr UINT DT_MODIFYSTRING = 0x10000;
inline constexpr UINT DT_RTLREADING = 0x20000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x40000;
inline constexpr UINT DT_HIDEPREFIX = 0x100000;
inline constexpr UINT DT_PREFIXONLY = 0x200000;

struct DRAWTEXTPARAMS {
    UINT cbSize = sizeof(DRAWTEXTPARAMS);
    int iTabLength = 0;  // in average character widths
    int iLeftMargin = 0;
    int iRightMargin = 0;
    UINT uiLengthDrawn = 0;  // out: bytes of the text that were processed
};

// ---- Edges and frame controls -----------------------------------------------------------------------------
inline constexpr UINT BDR_RAISEDOUTER = 0x1;
inline constexpr UINT BDR_SUNKENOUTER = 0x2;
inline constexpr UINT BDR_RAISEDINNER = 0x4;
inline constexpr UINT BDR_SUNKENINNER = 0x8;
inline constexpr UINT BDR_OUTER = 0x3;
inline constexpr UINT BDR_INNER = 0xC;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr UINT BF_LEFT = 0x1;
inline constexpr UINT BF_TOP = 0x2;
inline constexpr UINT BF_RIGHT = 0x4;
inline constexpr UINT BF_BOTTOM = 0x8;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = 0xF;
inline constexpr UINT BF_MIDDLE = 0x800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;

inline constexpr UINT DFC_CAPTION = 1;
inline constexpr UINT DFC_MENU = 2;
inline constexpr UINT DFC_SCROLL = 3;
inline constexpr UINT DFC_BUTTON = 4;

inline constexpr UINT DFCS_CAPTIONCLOSE = 0x0;
inline constexpr UINT DFCS_CAPTIONMIN = 0x1;
inline constexpr UINT DFCS_CAPTIONMAX = 0x2;
inline constexpr UINT DFCS_CAPTIONRESTORE = 0x3;
inline constexpr UINT DFCS_CAPTIONHELP = 0x4;
inline constexpr UINT DFCS_MENUARROW = 0x0;
inline constexpr UINT DFCS_SCROLLUP = 0x0;
inline constexpr UINT DFCS_SCROLLDOWN = 0x1;
inline constexpr UINT DFCS_SCROLLLEFT = 0x2;
inline constexpr UINT DFCS_SCROLLRIGHT = 0x3;
inline constexpr UINT DFCS_SCROLLCOMBOBOX = 0x5;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0;
inline constexpr UINT DFCS_BUTTONRADIO = 0x4;
inline constexpr UINT DFCS_BUTTON3STATE = 0x8;
inline constexpr UINT DFCS_BUTTONPUSH = 0x10;
inline constexpr UINT DFCS_INACTIVE = 0x100;
inline constexpr UINT DFCS_PUSHED = 0x200;
inline constexpr UINT DFCS_CHECKED = 0x400;
inline constexpr UINT DFCS_ADJUSTRECT = 0x2000;
inline constexpr UINT DFCS_FLAT = 0x4000;
inline constexpr UINT DFCS_MONO = 0x8000;

inline constexpr UINT DC_ACTIVE = 0x1;
inline constexpr UINT DC_SMALLCAP = 0x2;
inline constexpr UINT DC_ICON = 0x4;
inline constexpr UINT DC_TEXT = 0x8;
inline constexpr UINT DC_GRADIENT = 0x20;

// ---- Alpha blending ---------------------------------------------------------------------------------------
inline constexpr BYTE AC_SRC_OVER = 0;
inline constexpr BYTE AC_SRC_ALPHA = 1;

struct BLENDFUNCTION {
    BYTE BlendOp = AC_SRC_OVER;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;  // AC_SRC_ALPHA: the source has premultiplied per-pixel alpha
};

// ---- Image DCs (used by the window layer) -----------------------------------------------------------------

// A DC that draws into target with its logical (0,0) at origin of the image, clipped to clip (image
// coordinates; null = the whole image). clip is copied; target is borrowed and must outlive the DC.
[[nodiscard]] HDC CreateImageDC(QImage& target, POINT origin, HRGN clip);
void DeleteImageDC(HDC dc);
// The screen DC stand-in: a 32-bit 1x1 surface for measuring and GetDeviceCaps. Free with DeleteImageDC.
[[nodiscard]] HDC CreateScreenDC();
// Replaces the system clip of an image DC (image coordinates; null = whole image), e.g. a paint's update region.
void SetImageDCClip(HDC dc, HRGN clip);

// ---- Memory DCs and objects -------------------------------------------------------------------------------
[[nodiscard]] HDC CreateCompatibleDC(HDC dc);  // dc may be null (the screen)
BOOL DeleteDC(HDC dc);
// A bitmap like the one selected into dc (a fresh memory DC holds a 1x1 monochrome one); null dc = 32-bit.
[[nodiscard]] HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// bitsPerPixel 1: rows of bits, most significant first, each row padded to 16 bits; 32: B,G,R,X per pixel.
[[nodiscard]] HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
[[nodiscard]] HPEN CreatePen(int style, int width, COLORREF color);
[[nodiscard]] HPEN CreatePenIndirect(const LOGPEN& pen);
[[nodiscard]] HBRUSH CreateSolidBrush(COLORREF color);
[[nodiscard]] HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// A monochrome pattern paints its 0 bits in the DC's text colour and its 1 bits in its background colour.
// The bitmap is copied.
[[nodiscard]] HBRUSH CreatePatternBrush(HBITMAP bitmap);
[[nodiscard]] HBRUSH CreateBrushIndirect(const LOGBRUSH& brush);
[[nodiscard]] HFONT CreateFontIndirect(const LOGFONT& font);
HGDIOBJ GetStockObject(int index);
// Frees the object. An object still selected into a DC is freed when it is deselected; stock and system
// colour objects are never freed. FALSE for an unknown handle.
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);  // OBJ_* or 0 for an unknown handle
bool GetObject(HGDIOBJ font, LOGFONT& out);
bool GetObject(HGDIOBJ pen, LOGPEN& out);
bool GetObject(HGDIOBJ brush, LOGBRUSH& out);
bool GetObject(HGDIOBJ bitmap, BITMAP& out);
// Selecting a region sets a copy as the clip region and returns the region kind (as an HGDIOBJ value).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
DWORD GetObjectType(HDC dc);  // OBJ_DC or OBJ_MEMDC

// The pixels of a bitmap: Format_ARGB32 for colour bitmaps (B,G,R,A bytes, top-down), Format_Mono for
// monochrome ones (1 = white). Null for an unknown handle. Borrowed: valid until the bitmap is deleted.
QImage* GetBitmapImage(HBITMAP bitmap);
// The QFont a font object realises (the sans substitutes applied, pixel size from lfHeight).
QFont GetRealizedFont(HFONT font);
// Number of live non-stock GDI objects and DCs (leak checks in tests).
int GdiObjectCount();

int GetDeviceCaps(HDC dc, int index);

// ---- DC state ---------------------------------------------------------------------------------------------
int SaveDC(HDC dc);  // returns the new level (1 for the first), 0 on failure
BOOL RestoreDC(HDC dc, int savedDC);  // a level, or -1 for the last saved one
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT* point);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* point);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetBrushOrgEx(HDC dc, POINT* point);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int SetStretchBltMode(HDC dc, int mode);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL GetCurrentPositionEx(HDC dc, POINT* point);

// ---- Clipping (region coordinates are device coordinates; rectangles are logical) -------------------------
int SelectClipRgn(HDC dc, HRGN region);  // null removes the clip region
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* rect);  // logical; the clip region within the drawable surface
int GetClipRgn(HDC dc, HRGN region);  // 1 and a copy, 0 when there is none, -1 on error
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);

// ---- Regions ----------------------------------------------------------------------------------------------
[[nodiscard]] HRGN CreateRectRgn(int left, int top, int right, int bottom);
[[nodiscard]] HRGN CreateRectRgnIndirect(const RECT* rect);
[[nodiscard]] HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
[[nodiscard]] HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
[[nodiscard]] HRGN CreateNullRegion();  // an empty region
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int GetRgnBox(HRGN region, RECT* rect);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN region);

// ---- Drawing ----------------------------------------------------------------------------------------------
// A brush argument may also be a system colour index + 1, as the platform allows.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL LineTo(HDC dc, int x, int y);  // the end point itself is not drawn
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside the clip or the surface
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop);
// Copies the source except for pixels of the key colour.
BOOL TransparentBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, COLORREF transparent);
BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, BLENDFUNCTION blend);
COLORREF GetNearestColor(HDC dc, COLORREF color);
// Draws 8-bit RGBA pixels (rows top to bottom, straight alpha, stride = width * 4) stretched into dest,
// blended over what is there.
BOOL StretchRgbaPixels(HDC dc, const RECT& dest, int width, int height, std::span<const std::uint8_t> rgba);
// Draws image stretched into dest (smooth scaling under HALFTONE, else nearest).
BOOL StretchImage(HDC dc, const RECT& dest, const QImage& image);
// Paints the set bits of a glyph with brush: one byte per row, most significant bit leftmost, 8 wide.
void DrawMonoGlyph(HDC dc, std::span<const BYTE> rows, int x, int y, HBRUSH brush);
// Paints the black pixels of a monochrome bitmap with brush (the mask convention of DFC_MENU glyphs).
void DrawMonoGlyph(HDC dc, HBITMAP mono, int x, int y, HBRUSH brush);

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
// DFC_MENU glyphs are drawn black on white, for use as masks.
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);
// A dotted frame inverted through a halftone pattern in the DC's text and background colours.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
// The caption bar of a window: a gradient from the (in)active caption colour under DC_GRADIENT, and the
// window's text in the caption font under DC_TEXT.
BOOL DrawCaption(HWND window, HDC dc, const RECT* rect, UINT flags);
// DrawCaption with the text given, for callers without a window.
BOOL DrawCaptionText(HDC dc, const RECT* rect, std::string_view text, UINT flags);

// ---- Text (UTF-8) -----------------------------------------------------------------------------------------
BOOL TextOut(HDC dc, int x, int y, std::string_view text);
// dx, if given, holds the advance of each character (code point) of text.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, std::string_view text, const int* dx = nullptr);
BOOL GetTextExtentPoint32(HDC dc, std::string_view text, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
// Returns the height of the text (with DT_VCENTER or DT_BOTTOM, the offset from rect->top to its bottom);
// with DT_CALCRECT rect is set to the bounds and nothing is drawn. 0 on failure.
int DrawText(HDC dc, std::string_view text, RECT* rect, UINT format);
int DrawTextEx(HDC dc, std::string_view text, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
// The same face with lfEscapement = lfOrientation = 2700 (a vertical font by rotation; "@face" lookups fail).
[[nodiscard]] HFONT CreateVerticalFont(HFONT font);
// The family that "MS Sans Serif", "Microsoft Sans Serif", "Arial", "Tahoma" and the empty name map to.
std::string SansFamily();

}  // namespace ovrel::ui
