#pragma once
// A memory DC over a 32-bit bitmap whose pixels the tests read back, and small pixel helpers.

#include "platform/ui/Gdi.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

namespace ovrel::ui::testing {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
    {
        FDc = CreateCompatibleDC(nullptr);
        FBitmap = CreateCompatibleBitmap(nullptr, width, height);
        FOld = SelectObject(FDc, FBitmap);
        Clear(fill);
    }
    ~Canvas()
    {
        SelectObject(FDc, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return FDc; }
    HBITMAP Bitmap() const { return FBitmap; }
    QImage& Image() const { return *GetBitmapImage(FBitmap); }
    int Width() const { return Image().width(); }
    int Height() const { return Image().height(); }

    // The pixel at image position (x, y), whatever the DC's origins and clip.
    COLORREF At(int x, int y) const
    {
        const QRgb p = Image().pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    void Clear(COLORREF color) const { Image().fill(qRgb(GetRValue(color), GetGValue(color), GetBValue(color))); }

    // Pixels of colour in the image rectangle [left, right) x [top, bottom).
    int Count(COLORREF color, int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) == color)
                    ++n;
        return n;
    }
    int Count(COLORREF color) const { return Count(color, 0, 0, Width(), Height()); }
    int CountOther(COLORREF color) const { return Width() * Height() - Count(color); }

    // The bounds of the pixels that differ from background (all zeros when none do).
    RECT InkBounds(COLORREF background) const
    {
        RECT r{Width(), Height(), 0, 0};
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r.right == 0 ? RECT{} : r;
    }

    // One character per pixel of a row: '#' for color, '.' for anything else.
    std::string Row(int y, COLORREF color, int left, int right) const
    {
        std::string s;
        for (int x = left; x < right; ++x)
            s += At(x, y) == color ? '#' : '.';
        return s;
    }
    std::string Column(int x, COLORREF color, int top, int bottom) const
    {
        std::string s;
        for (int y = top; y < bottom; ++y)
            s += At(x, y) == color ? '#' : '.';
        return s;
    }

private:
    HDC FDc = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
};

inline std::string ToString(const RECT& r)
{
    std::ostringstream out;
    out << '{' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << '}';
    return out.str();
}

inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF Black = RGB(0, 0, 0);
inline constexpr COLORREF Red = RGB(255, 0, 0);
inline constexpr COLORREF Green = RGB(0, 255, 0);
inline constexpr COLORREF Blue = RGB(0, 0, 255);

// Fills with a fresh solid brush.
inline void Fill(HDC dc, RECT r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace ovrel::ui::testing

namespace ovrel::ui {
inline void PrintTo(const RECT& r, std::ostream* os) { *os << testing::ToString(r); }
}  // namespace ovrel::ui
