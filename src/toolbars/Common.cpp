#include "toolbars/Common.h"

#include "platform/ui/Messages.h"
#include "platform/ui/RegistryValues.h"
#include "platform/ui/SysTables.h"
#include "toolkit/SysUtils.h"

#include <array>
#include <cstdint>
#include <optional>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

int MajorVersion() { return static_cast<int>(GetVersion() & 0xFF); }
bool NtPlatform() { return (GetVersion() & 0x80000000u) == 0; }

// A BOOL system parameter: none when the platform cannot answer it.
std::optional<bool> BoolParameter(UINT action)
{
    BOOL value = FALSE;
    if (SystemParametersInfo(action, 0, &value, 0) == FALSE)
        return std::nullopt;
    return value != FALSE;
}

constexpr std::string_view kDesktopKey = "Control Panel\\Desktop";
constexpr std::size_t kDelayBufferSize = 32;
constexpr std::size_t kSoundBufferSize = 8;

// The registry's copy of the delay: 400 when it is missing, 0 when it is there but cannot be read as a number.
int RegistryMenuShowDelay()
{
    const RegistryRead read = RegistryValues().ReadString(kDesktopKey, "MenuShowDelay", kDelayBufferSize);
    if (read.Status == RegistryStatus::NotFound)
        return 400;
    int value = 0;
    if (read.Status != RegistryStatus::Found || !TryStrToInt(read.Text, value))
        return 0;
    return value;
}

// The frame of r, sx wide at the sides and sy at top and bottom.
HRGN FrameRegion(const TRect& r, TSize size)
{
    HRGN frame = CreateRectRgnIndirect(&r);
    TRect inner = r;
    InflateRect(&inner, -size.cx, -size.cy);
    TRect clipped;
    IntersectRect(&clipped, &inner, &r);
    HRGN hole = CreateRectRgnIndirect(&clipped);
    CombineRgn(frame, frame, hole, RGN_DIFF);
    DeleteObject(hole);
    return frame;
}

// Inverts the DC's clip area through brush.
void InvertClip(HDC dc, HBRUSH brush)
{
    SelectObject(dc, brush);
    TRect box;
    GetClipBox(dc, &box);
    PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
}

// The characters of a caption with its '&' marks taken out, and the one that follows the last single '&'.
struct TPrefixedText {
    std::vector<std::string_view> Chars;
    int Underline = -1;  // index into Chars
};

TPrefixedText SplitCaption(std::string_view caption, bool noPrefix)
{
    TPrefixedText out;
    for (std::size_t i = 0; i < caption.size();) {
        if (!noPrefix && caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out.Chars.push_back(caption.substr(i, 1));
                i += 2;
                continue;
            }
            ++i;
            if (i < caption.size())
                out.Underline = static_cast<int>(out.Chars.size());
            continue;
        }
        const std::size_t length = CharLengthAt(caption, i);
        out.Chars.push_back(caption.substr(i, length));
        i += length;
    }
    return out;
}

std::string Joined(const std::vector<std::string_view>& chars, std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count && i < chars.size(); ++i)
        out += chars[i];
    return out;
}

// Moves the DC's origin to offset (device units) and clips to size, for the duration of the scope.
class TPrintPlacement {
public:
    TPrintPlacement(HDC dc, POINT offset, SIZE size) : FDC(dc), FSaved(SaveDC(dc))
    {
        OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
        IntersectClipRect(dc, 0, 0, size.cx, size.cy);
    }
    ~TPrintPlacement() { RestoreDC(FDC, FSaved); }
    TPrintPlacement(const TPrintPlacement&) = delete;
    TPrintPlacement& operator=(const TPrintPlacement&) = delete;

private:
    HDC FDC;
    int FSaved;
};

void PrintWindowAt(HWND window, HDC dc, POINT offset, LPARAM flags)
{
    TRect bounds;
    GetWindowRect(window, &bounds);
    TPrintPlacement placed(dc, offset, SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top});
    SendMessage(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
}

}  // namespace

// ---- Platform and settings --------------------------------------------------------------------------------

bool ApplicationIsActive() { return GetActiveWindow() != nullptr; }

bool IsWindowsXPOrLater()
{
    const DWORD version = GetVersion();
    const int major = static_cast<int>(version & 0xFF);
    const int minor = static_cast<int>((version >> 8) & 0xFF);
    return NtPlatform() && (major > 5 || (major == 5 && minor >= 1));
}

int GetMenuShowDelay()
{
    if (MajorVersion() < 4)
        return 400;
    UINT fromSystem = 0;
    const int delay = SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &fromSystem, 0) != FALSE
                          ? static_cast<int>(static_cast<std::int32_t>(fromSystem))
                          : RegistryMenuShowDelay();
    return std::max(delay, 0);
}

bool IsMenuSoundEnabled(std::string_view eventName)
{
    if (!NtPlatform() || MajorVersion() <= 4)
        return true;
    std::string key = "AppEvents\\Schemes\\Apps\\.Default\\";
    key += eventName;
    key += "\\.Current";
    const RegistryRead read = RegistryValues().ReadString(key, "", kSoundBufferSize);
    return (read.Status == RegistryStatus::Found && !read.Text.empty()) || read.Status == RegistryStatus::MoreData;
}

bool AreFlatMenusEnabled() { return IsWindowsXPOrLater() && BoolParameter(SPI_GETFLATMENU).value_or(false); }

bool AlwaysShowAccelerators() { return MajorVersion() < 5 || BoolParameter(SPI_GETKEYBOARDCUES).value_or(true); }

bool RequestMouseTracking(HWND window, DWORD flags)
{
    if (!GetCapabilities().TrackMouseEvent)
        return false;
    TRACKMOUSEEVENT track;
    track.dwFlags = flags;
    track.hwndTrack = window;
    track.dwHoverTime = 0;
    return TrackMouseEvent(&track) != FALSE;
}

bool NonClientLeaveSupported()
{
    const DWORD version = GetVersion();
    const int major = static_cast<int>(version & 0xFF);
    const int minor = static_cast<int>((version >> 8) & 0xFF);
    return major > 4 || (major == 4 && minor > 9);
}

// ---- Monitors ---------------------------------------------------------------------------------------------

TRect GetPrimaryScreenRect(bool workArea)
{
    TRect r;
    if (workArea && SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0) != FALSE)
        return r;
    return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool UsingMultipleMonitors()
{
    const int count = GetSystemMetrics(SM_CMONITORS);
    return count != 0 && count != 1;
}

namespace {

TRect MonitorRect(HMONITOR monitor, bool workArea)
{
    MONITORINFO info;
    if (monitor == nullptr || GetMonitorInfo(monitor, &info) == FALSE)
        return GetPrimaryScreenRect(workArea);
    return workArea ? info.rcWork : info.rcMonitor;
}

bool MonitorApiUsable() { return UsingMultipleMonitors() && GetCapabilities().MonitorApi; }

}  // namespace

TRect GetRectOfMonitorContainingRect(const TRect& rect, bool workArea)
{
    if (!MonitorApiUsable())
        return GetPrimaryScreenRect(workArea);
    return MonitorRect(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), workArea);
}

TRect GetRectOfMonitorContainingPoint(TPoint point, bool workArea)
{
    if (!MonitorApiUsable())
        return GetPrimaryScreenRect(workArea);
    return MonitorRect(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), workArea);
}

// ---- Numbers and lists ------------------------------------------------------------------------------------

int DivRoundUp(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }

void SortListWithContext(TList& list, const TListSortCompareWithContext& compare, void* context)
{
    if (list.GetCount() < 2)
        return;
    list.Sort([&compare, context](void* a, void* b) { return compare(a, b, context); });
}

// ---- Caption text -----------------------------------------------------------------------------------------

std::size_t CharLengthAt(std::string_view text, std::size_t pos)
{
    const auto declared = static_cast<std::size_t>(Utf8SequenceLength(static_cast<unsigned char>(text[pos])));
    std::size_t length = 1;
    while (length < declared && pos + length < text.size() &&
           (static_cast<unsigned char>(text[pos + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

char32_t CodePointAt(std::string_view text, std::size_t pos)
{
    const std::size_t length = CharLengthAt(text, pos);
    std::size_t at = 0;
    const std::string_view one = text.substr(pos, length);
    const char32_t c = NextUtf8CodePoint(one, at);
    return at == length ? c : U'\uFFFD';
}

char32_t FindAccelChar(std::string_view text)
{
    char32_t result = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            i += CharLengthAt(text, i);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '&') {
            i += 2;
            continue;
        }
        ++i;
        if (i < text.size()) {
            result = CodePointAt(text, i);
            i += CharLengthAt(text, i);
        }
    }
    return result;
}

// A '&' byte never occurs inside a UTF-8 sequence, so these two work byte by byte.
std::string StripAccelChars(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '&')
            out += c;
    }
    return out;
}

std::string EscapeAmpersands(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

std::string StripTrailingPunctuation(std::string_view text)
{
    if (text.size() >= 2 && text.back() == ':')
        return std::string(text.substr(0, text.size() - 1));
    if (text.size() >= 4 && text.ends_with("..."))
        return std::string(text.substr(0, text.size() - 3));
    return std::string(text);
}

int GetTextHeight(HDC dc)
{
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    return metrics.tmHeight;
}

int GetTextWidthPlain(HDC dc, std::string_view text)
{
    SIZE size;
    GetTextExtentPoint32(dc, text, &size);
    return size.cx;
}

int MeasureCaptionWidth(HDC dc, std::string_view text, bool stripAccel)
{
    return stripAccel ? GetTextWidthPlain(dc, StripAccelChars(text)) : GetTextWidthPlain(dc, text);
}

// ---- Vertical text ----------------------------------------------------------------------------------------

HFONT CreateVerticalFont(HDC dc)
{
    LOGFONT font;
    if (!GetObject(GetCurrentObject(dc, OBJ_FONT), font))
        return nullptr;
    font.lfEscapement = 2700;
    font.lfOrientation = 2700;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    if (SameText(font.lfFaceName, "MS Sans Serif") || SameText(font.lfFaceName, "Microsoft Sans Serif"))
        font.lfFaceName = "Arial";
    // Fonts here have no "@face" vertical variants: turning the face is the whole of it.
    return CreateFontIndirect(font);
}

int TVerticalTextPainter::TextWidth(std::string_view text) { return GetTextWidthPlain(FDC, text); }

void TVerticalTextPainter::TextOut(int x, int y, std::string_view text) { ui::TextOut(FDC, x, y, text); }

void TVerticalTextPainter::Underline(int x, int y1, int y2)
{
    HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(FDC));
    HGDIOBJ old = SelectObject(FDC, pen);
    MoveToEx(FDC, x, y1, nullptr);
    LineTo(FDC, x, y2);
    SelectObject(FDC, old);
    DeleteObject(pen);
}

void DrawVerticalText(HDC dc, std::string_view caption, const TRect& rect, UINT format)
{
    TVerticalTextPainter painter(dc);
    DrawVerticalText(painter, caption, rect, format);
}

void DrawVerticalText(TVerticalTextPainter& painter, std::string_view caption, const TRect& rect, UINT format)
{
    if (caption.empty())
        return;
    HDC dc = painter.GetDC();
    const int saved = SaveDC(dc);
    HFONT font = CreateVerticalFont(dc);
    if (font != nullptr)
        SelectObject(dc, font);
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    const int x = rect.left + (rect.right - rect.left - metrics.tmHeight) / 2;
    const int height = rect.bottom - rect.top;

    TPrefixedText text = SplitCaption(caption, (format & DT_NOPREFIX) != 0);
    std::string shown = Joined(text.Chars, text.Chars.size());
    if ((format & DT_END_ELLIPSIS) != 0 && text.Chars.size() > 1 && painter.TextWidth(shown) > height) {
        if (height < 3) {
            text.Chars.resize(1);
        } else {
            text.Chars.pop_back();
            while (text.Chars.size() >= 2 && painter.TextWidth(Joined(text.Chars, text.Chars.size()) + "...") > height)
                text.Chars.pop_back();
        }
        if (text.Underline >= static_cast<int>(text.Chars.size()))
            text.Underline = -1;
        shown = Joined(text.Chars, text.Chars.size()) + "...";
    }
    const int y = (format & DT_CENTER) != 0 ? rect.top + (height - painter.TextWidth(shown)) / 2 : rect.top;
    if ((format & DT_NOCLIP) == 0)
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    const UINT oldAlign = SetTextAlign(dc, TA_BOTTOM);
    painter.TextOut(x, y, shown);
    SetTextAlign(dc, oldAlign);
    if (text.Underline >= 0 && (format & DT_HIDEPREFIX) == 0) {
        const auto index = static_cast<std::size_t>(text.Underline);
        const int before = painter.TextWidth(Joined(text.Chars, index));
        const int width = painter.TextWidth(text.Chars[index]);
        painter.Underline(x + metrics.tmDescent - 2, y + before, y + before + width);
    }
    RestoreDC(dc, saved);
    if (font != nullptr)
        DeleteObject(font);
}

// ---- Drag frames ------------------------------------------------------------------------------------------

void DrawInvertFrame(HDC dc, const TRect* newRect, const TRect* oldRect, HBRUSH newBrush, HBRUSH oldBrush,
                     TSize newSize, TSize oldSize)
{
    HRGN newFrame = newRect != nullptr ? FrameRegion(*newRect, newSize) : CreateNullRegion();
    if (oldBrush == nullptr)
        oldBrush = newBrush;
    HRGN oldFrame = nullptr;
    HRGN changed = nullptr;
    if (oldRect != nullptr) {
        oldFrame = FrameRegion(*oldRect, oldSize);
        if (newBrush == oldBrush) {
            // Only what differs between the two frames is touched, so a moving frame does not flicker.
            changed = CreateNullRegion();
            CombineRgn(changed, oldFrame, newFrame, RGN_XOR);
        }
    }
    const int saved = SaveDC(dc);
    if (newBrush != oldBrush && oldFrame != nullptr) {
        SelectClipRgn(dc, oldFrame);
        InvertClip(dc, oldBrush);
    }
    SelectClipRgn(dc, changed != nullptr ? changed : newFrame);
    InvertClip(dc, newBrush);
    RestoreDC(dc, saved);
    for (HRGN region : {newFrame, oldFrame, changed}) {
        if (region != nullptr)
            DeleteObject(region);
    }
}

void DrawHalftoneDragRect(HDC dc, const TRect* newRect, const TRect* oldRect, TSize newSize, TSize oldSize)
{
    static constexpr std::array<WORD, 8> kPattern{0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, kPattern.data());
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    DrawInvertFrame(dc, newRect, oldRect, brush, nullptr, newSize, oldSize);
    DeleteObject(brush);
}

// ---- Messages and painting --------------------------------------------------------------------------------

void DispatchPendingPaintMessages()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) != FALSE) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessage(&msg);
    }
}

void RemovePendingMessages(UINT first, UINT last)
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, first, last, PM_REMOVE) != FALSE) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message == WM_PAINT)
            return;  // a paint stays queued until its window is painted; asking again would find it again
    }
}

void ClipToNonClientUpdateRegion(HWND window, HDC dc, HRGN region)
{
    if (region == nullptr || region == reinterpret_cast<HRGN>(1))
        return;
    TRect bounds;
    GetWindowRect(window, &bounds);
    if (SelectClipRgn(dc, region) == ERROR) {
        HRGN whole = CreateRectRgnIndirect(&bounds);
        SelectClipRgn(dc, whole);
        DeleteObject(whole);
    }
    OffsetClipRgn(dc, -bounds.left, -bounds.top);
}

void EmulatePrintMessage(HWND window, TMessage& message, const TNCPaintProc& ncPaint)
{
    message.Result = 1;
    const LPARAM flags = message.LParam;
    if ((flags & PRF_CHECKVISIBLE) != 0 && IsWindowVisible(window) == FALSE)
        return;
    auto* dc = reinterpret_cast<HDC>(message.WParam);
    const int saved = SaveDC(dc);
    if ((flags & PRF_NONCLIENT) != 0 && ncPaint)
        ncPaint(window, dc);
    TRect bounds;
    GetWindowRect(window, &bounds);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    const POINT clientOffset{client.x - bounds.left, client.y - bounds.top};
    TRect clientRect;
    GetClientRect(window, &clientRect);
    const SIZE clientSize{clientRect.right, clientRect.bottom};
    if ((flags & PRF_CLIENT) != 0) {
        if ((flags & PRF_ERASEBKGND) != 0) {
            TPrintPlacement placed(dc, clientOffset, clientSize);
            SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        }
        TPrintPlacement placed(dc, clientOffset, clientSize);
        SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    }
    OffsetViewportOrgEx(dc, clientOffset.x, clientOffset.y, nullptr);
    // Relative to the client area; the bottom of the z-order first, so that what lies on top is printed last.
    const auto printAll = [&](const std::vector<HWND>& windows, LPARAM printFlags) {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            if (IsWindow(*it) == FALSE || IsWindowVisible(*it) == FALSE)
                continue;
            TRect r;
            GetWindowRect(*it, &r);
            PrintWindowAt(*it, dc, POINT{r.left - client.x, r.top - client.y}, printFlags);
        }
    };
    if ((flags & PRF_CHILDREN) != 0)
        printAll(GetChildWindows(window), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    if ((flags & PRF_OWNED) != 0)
        printAll(GetOwnedWindows(window), flags);
    RestoreDC(dc, saved);
}

void PaintForPrintClient(TWinControl* control, TMessage& message)
{
    auto* dc = reinterpret_cast<HDC>(message.WParam);
    const int saved = SaveDC(dc);
    control->Perform(WM_PAINT, message.WParam, 0);
    RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------------------------------------
// The locked desktop

TLockedDesktopDC::TLockedDesktopDC(ui::DWORD flags)
{
    // Only a locked desktop hands out its outline DC; without the lock nothing is drawn at all.
    FLocked = ui::LockWindowUpdate(ui::GetDesktopWindow()) != ui::FALSE;
    if (FLocked)
        FDC = ui::GetDCEx(ui::GetDesktopWindow(), nullptr, flags | ui::DCX_CACHE | ui::DCX_LOCKWINDOWUPDATE);
}

TLockedDesktopDC::~TLockedDesktopDC()
{
    if (FDC != nullptr)
        ui::ReleaseDC(ui::GetDesktopWindow(), FDC);
    if (FLocked)
        ui::LockWindowUpdate(nullptr);
}

}  // namespace ovrel::toolbars
