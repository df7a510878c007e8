#pragma once
// Helpers shared by the toolbar framework and its themed extension: platform settings that menus follow,
// monitor rectangles, caption text with its accelerator marks, vertical text, the inverted drag frame,
// message-queue helpers, WM_PRINT for windows that do not answer it, and small list helpers. UI thread only.

#include "platform/ui/Gdi.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"
#include "toolkit/System.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::toolbars {

// ---- Platform and settings --------------------------------------------------------------------------------

/// Whether one of the program's windows is the active window.
[[nodiscard]] bool ApplicationIsActive();
/// An NT-family platform of version 5.1 or later.
[[nodiscard]] bool IsWindowsXPOrLater();
/// The delay in milliseconds before a submenu opens or closes on its own: the system parameter, else the
/// user's registry value (400 when it is missing, 0 when it cannot be read as a number); never negative.
[[nodiscard]] int GetMenuShowDelay();
/// Whether the user's sound for eventName ("MenuPopup", "MenuCommand") is on.
[[nodiscard]] bool IsMenuSoundEnabled(std::string_view eventName);
[[nodiscard]] bool AreFlatMenusEnabled();
/// True unless the platform hides accelerator underlines until the keyboard is used.
[[nodiscard]] bool AlwaysShowAccelerators();
/// Asks for WM_MOUSELEAVE (TME_ flags); false where the platform cannot track the mouse.
bool RequestMouseTracking(ui::HWND window, ui::DWORD flags);
/// Whether the platform sends WM_NCMOUSELEAVE (from version 5 on).
[[nodiscard]] bool NonClientLeaveSupported();

// ---- Monitors ---------------------------------------------------------------------------------------------

/// The work area, or the whole primary screen when workArea is false or the work area is unknown.
[[nodiscard]] toolkit::TRect GetPrimaryScreenRect(bool workArea);
[[nodiscard]] bool UsingMultipleMonitors();
/// The full (or work) rectangle of the monitor nearest to rect or point.
[[nodiscard]] toolkit::TRect GetRectOfMonitorContainingRect(const toolkit::TRect& rect, bool workArea);
[[nodiscard]] toolkit::TRect GetRectOfMonitorContainingPoint(toolkit::TPoint point, bool workArea);

// ---- Numbers and lists ------------------------------------------------------------------------------------

/// a / b rounded up, for a >= 0 and b > 0.
[[nodiscard]] int DivRoundUp(int a, int b);

using TListSortCompareWithContext = std::function<int(void* item1, void* item2, void* context)>;
/// Sorts in place; items that compare equal keep their order.
void SortListWithContext(toolkit::TList& list, const TListSortCompareWithContext& compare, void* context);

/// Appends item unless the list holds it; whether it was added.
template <class T> bool AddToList(std::vector<T*>& list, T* item)
{
    if (std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}
/// As AddToList, at the front.
template <class T> bool AddToFrontOfList(std::vector<T*>& list, T* item)
{
    if (std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.insert(list.begin(), item);
    return true;
}
template <class T> void RemoveFromList(std::vector<T*>& list, const T* item) { std::erase(list, item); }

/// Same object and same member function.
template <class... A> [[nodiscard]] bool MethodsEqual(const toolkit::TEvent<A...>& a, const toolkit::TEvent<A...>& b)
{
    return a == b;
}

// ---- Caption text -----------------------------------------------------------------------------------------
// Captions are UTF-8 and come from language files, so every helper steps over whole characters; a sequence
// that is cut short counts as one character and is never read past.

/// The bytes of the character at pos (pos < text.size()).
[[nodiscard]] std::size_t CharLengthAt(std::string_view text, std::size_t pos);
/// The code point of the character at pos; U+FFFD for a sequence that is cut short or invalid.
[[nodiscard]] char32_t CodePointAt(std::string_view text, std::size_t pos);
/// The character after the last single '&' ("&&" is an escaped ampersand); 0 when there is none.
[[nodiscard]] char32_t FindAccelChar(std::string_view text);
/// Every '&' removed.
[[nodiscard]] std::string StripAccelChars(std::string_view text);
/// Every '&' doubled.
[[nodiscard]] std::string EscapeAmpersands(std::string_view text);
/// One trailing ':' or "..." removed, as long as something is left before it.
[[nodiscard]] std::string StripTrailingPunctuation(std::string_view text);

[[nodiscard]] int GetTextHeight(ui::HDC dc);
[[nodiscard]] int GetTextWidthPlain(ui::HDC dc, std::string_view text);
[[nodiscard]] int MeasureCaptionWidth(ui::HDC dc, std::string_view text, bool stripAccel);

// ---- Vertical text ----------------------------------------------------------------------------------------

/// The DC's font turned to run downwards; the caller deletes it. Null when the DC has no font.
[[nodiscard]] ui::HFONT CreateVerticalFont(ui::HDC dc);

/// The steps that vertical text is drawn with, so that tests can watch them. Measures and draws on a DC in
/// whatever font is selected into it.
class TVerticalTextPainter {
public:
    explicit TVerticalTextPainter(ui::HDC dc) : FDC(dc) {}
    virtual ~TVerticalTextPainter() = default;
    TVerticalTextPainter(const TVerticalTextPainter&) = delete;
    TVerticalTextPainter& operator=(const TVerticalTextPainter&) = delete;

    [[nodiscard]] ui::HDC GetDC() const { return FDC; }
    /// The length of text along its baseline.
    [[nodiscard]] virtual int TextWidth(std::string_view text);
    /// Draws with the text's bottom at (x, y).
    virtual void TextOut(int x, int y, std::string_view text);
    /// The accelerator underline: a 1-pixel line in the text colour at x, from y1 to y2 (exclusive).
    virtual void Underline(int x, int y1, int y2);

private:
    ui::HDC FDC;
};

/// Draws caption downwards in rect. format: DT_CENTER, DT_NOCLIP, DT_NOPREFIX, DT_END_ELLIPSIS, DT_HIDEPREFIX.
void DrawVerticalText(ui::HDC dc, std::string_view caption, const toolkit::TRect& rect, ui::UINT format);
void DrawVerticalText(TVerticalTextPainter& painter, std::string_view caption, const toolkit::TRect& rect,
                      ui::UINT format);

// ---- Drag frames ------------------------------------------------------------------------------------------

/// Inverts the frame of newRect (newSize thick) and of oldRect (oldSize thick) with PATINVERT; either
/// rectangle may be absent. Drawing a frame, then moving it with (new, old), then erasing it with only the
/// old rectangle leaves the DC as it was. oldBrush null means newBrush.
void DrawInvertFrame(ui::HDC dc, const toolkit::TRect* newRect, const toolkit::TRect* oldRect, ui::HBRUSH newBrush,
                     ui::HBRUSH oldBrush, toolkit::TSize newSize, toolkit::TSize oldSize);
/// DrawInvertFrame with a halftone brush for both frames.
void DrawHalftoneDragRect(ui::HDC dc, const toolkit::TRect* newRect, const toolkit::TRect* oldRect,
                          toolkit::TSize newSize, toolkit::TSize oldSize);

// ---- Messages and painting --------------------------------------------------------------------------------

/// Holds the mouse for a modal loop and lets it go however the loop ends.
class TCaptureHold {
public:
    explicit TCaptureHold(ui::HWND window) : FWindow(window) { ui::SetCapture(window); }
    ~TCaptureHold() { Release(); }
    TCaptureHold(const TCaptureHold&) = delete;
    TCaptureHold& operator=(const TCaptureHold&) = delete;

    /// Until Release, and while nothing else took the mouse away.
    [[nodiscard]] bool Held() const { return FHeld && ui::GetCapture() == FWindow; }
    void Release()
    {
        if (!FHeld)
            return;
        FHeld = false;
        if (ui::GetCapture() == FWindow)
            ui::ReleaseCapture();
    }

private:
    ui::HWND FWindow;
    bool FHeld = true;
};

/// Dispatches the paint messages now pending for the thread's windows.
void DispatchPendingPaintMessages();
/// Removes every queued message numbered first..last. A quit message found is put back and ends the call.
void RemovePendingMessages(ui::UINT first, ui::UINT last);
/// Clips dc to a WM_NCPAINT update region (screen coordinates), in window coordinates; nothing for the
/// regions 0 and 1 (whole frame).
void ClipToNonClientUpdateRegion(ui::HWND window, ui::HDC dc, ui::HRGN region);

/// Paints the frame of window into a DC whose origin is the window's top-left.
using TNCPaintProc = std::function<void(ui::HWND window, ui::HDC dc)>;
/// Answers WM_PRINT (WParam the DC, LParam the PRF_ flags) for a window whose frame only ncPaint can draw:
/// frame, background, client, then the visible children and owned windows, each at its place in the DC.
void EmulatePrintMessage(ui::HWND window, toolkit::TMessage& message, const TNCPaintProc& ncPaint);
/// Answers WM_PRINTCLIENT by running the control's paint handler on the message's DC.
void PaintForPrintClient(toolkit::TWinControl* control, toolkit::TMessage& message);

/// The desktop locked against updates and its outline DC, for as long as the object lives: drag outlines and
/// lines invert pixels there that must stay theirs. The DC is null when the lock was refused.
class TLockedDesktopDC {
public:
    /// flags are added to DCX_CACHE | DCX_LOCKWINDOWUPDATE (DCX_WINDOW for the whole desktop).
    explicit TLockedDesktopDC(ui::DWORD flags);
    ~TLockedDesktopDC();
    TLockedDesktopDC(const TLockedDesktopDC&) = delete;
    TLockedDesktopDC& operator=(const TLockedDesktopDC&) = delete;

    [[nodiscard]] ui::HDC GetDC() const { return FDC; }

private:
    bool FLocked = false;
    ui::HDC FDC = nullptr;
};

}  // namespace ovrel::toolbars
