#pragma once
// The services the UI layer and the program reach through an interface, so tests can put fakes in their place:
// clock, timer driver, exception handler, screens, sound, message boxes, file dialogs, opener, help, clipboard,
// colour dialog and the desktop's outline overlay.
// Each has a production default; Set...(&fake) replaces it (borrowed: the fake must outlive its use) and
// Set...(nullptr) restores the default. ScopedService does both around a test.

#include "platform/ui/Types.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace ovrel::ui {

// ---- Clock ------------------------------------------------------------------------------------------------

class IClock {
public:
    virtual ~IClock() = default;
    virtual double Now() = 0;  // wall clock as a date-time: days since 1899-12-30, local
    virtual std::uint64_t TickCount() = 0;  // monotonic milliseconds
    virtual std::int64_t PerformanceCounter() = 0;  // monotonic counts of PerformanceFrequency per second
    virtual std::int64_t PerformanceFrequency() = 0;
};

// A clock that moves only when told to.
class ManualClock final : public IClock {
public:
    double Now() override { return FNow + static_cast<double>(FTicks) / 86'400'000.0; }
    std::uint64_t TickCount() override { return FTicks; }
    std::int64_t PerformanceCounter() override { return static_cast<std::int64_t>(FTicks) * 1000; }
    std::int64_t PerformanceFrequency() override { return 1'000'000; }
    void Advance(std::uint64_t milliseconds) { FTicks += milliseconds; }
    void SetNow(double dateTime) { FNow = dateTime - static_cast<double>(FTicks) / 86'400'000.0; }

private:
    double FNow = 46'000.0;  // a fixed day in 2025
    std::uint64_t FTicks = 1'000'000;
};

IClock& Clock();
IClock* SetClock(IClock* clock);

// ---- Timer driver -----------------------------------------------------------------------------------------

// How the queue waits when it is empty: production blocks in Qt's event loop until an event arrives or the
// next timer is due; a test driver decides what happens instead.
class ITimerDriver {
public:
    virtual ~ITimerDriver() = default;
    // msUntilDue: time to the next due timer, or none when no timer runs.
    virtual void Wait(std::optional<std::uint64_t> msUntilDue) = 0;
    // A window timer was started (interval in ms) or stopped (interval 0).
    virtual void TimerChanged(HWND window, std::uintptr_t id, UINT interval) = 0;
};

// For tests over a ManualClock: Wait advances the clock to the next due timer, so loops waiting for timers
// run without real time; waiting with nothing queued and no timer throws instead of hanging. Records every
// timer start and stop.
class FakeTimerDriver final : public ITimerDriver {
public:
    struct Change {
        HWND Window;
        std::uintptr_t Id;
        UINT Interval;  // 0: stopped
    };
    explicit FakeTimerDriver(ManualClock& clock) : FClock(clock) {}
    void Wait(std::optional<std::uint64_t> msUntilDue) override;
    void TimerChanged(HWND window, std::uintptr_t id, UINT interval) override;
    const std::vector<Change>& Changes() const { return FChanges; }
    int WaitCount() const { return FWaits; }

private:
    ManualClock& FClock;
    std::vector<Change> FChanges;
    int FWaits = 0;
};

ITimerDriver& TimerDriver();
ITimerDriver* SetTimerDriver(ITimerDriver* driver);

// ---- Exception handler ------------------------------------------------------------------------------------

class IExceptionHandler {
public:
    virtual ~IExceptionHandler() = default;
    virtual void Report(std::exception_ptr exception) noexcept = 0;
};

// Keeps the messages of what it was handed (what(), or "unknown exception").
class RecordingExceptionHandler final : public IExceptionHandler {
public:
    void Report(std::exception_ptr exception) noexcept override;
    std::vector<std::string> Messages;
};

// The default writes the message to standard error; the application installs its own.
IExceptionHandler& ExceptionHandler();
IExceptionHandler* SetExceptionHandler(IExceptionHandler* handler);

// ---- Screens ----------------------------------------------------------------------------------------------

struct MonitorRects {
    RECT Monitor;
    RECT Work;
    bool Primary = false;
};

class IScreens {
public:
    virtual ~IScreens() = default;
    virtual std::vector<MonitorRects> Monitors() = 0;  // never empty; the primary first
};

class FixedScreens final : public IScreens {
public:
    explicit FixedScreens(std::vector<MonitorRects> monitors) : FMonitors(std::move(monitors)) {}
    std::vector<MonitorRects> Monitors() override { return FMonitors; }
    /// A monitor came, went or changed: the new list, and WM_DISPLAYCHANGE to every window, as the desktop's
    /// screens do.
    void SetMonitors(std::vector<MonitorRects> monitors);

private:
    std::vector<MonitorRects> FMonitors;
};

// The default reads QGuiApplication's screens (geometry and available geometry).
IScreens& Screens();
IScreens* SetScreens(IScreens* screens);
/// Tells every top-level and message-only window that the screens changed: WM_DISPLAYCHANGE with the bits per
/// pixel (32) and the primary monitor's size. The layer calls it when a Qt screen comes, goes or changes.
void NotifyDisplayChange();

// ---- Sound ------------------------------------------------------------------------------------------------

class ISound {
public:
    virtual ~ISound() = default;
    virtual bool Play(const std::string& alias, DWORD flags) = 0;
    virtual void Beep(UINT type) = 0;
};

// Records plays and beeps in order, as "play:MenuPopup" and "beep:0".
class RecordingSound final : public ISound {
public:
    bool Play(const std::string& alias, DWORD flags) override;
    void Beep(UINT type) override;
    std::vector<std::string> Events;
};

// The default plays nothing and beeps through Qt.
ISound& Sound();
ISound* SetSound(ISound* sound);
BOOL PlaySound(const std::string& alias, DWORD flags);

// ---- Message boxes ----------------------------------------------------------------------------------------

class IPrompter {
public:
    virtual ~IPrompter() = default;
    // flags: MB_OK, MB_YESNO, MB_YESNOCANCEL, MB_OKCANCEL with an MB_ICON*; returns IDOK, IDYES, IDNO, IDCANCEL.
    virtual int MessageBox(const std::string& text, const std::string& caption, UINT flags) = 0;
};

// Answers from a script (IDOK once the script is used up) and records every question.
class ScriptedPrompter final : public IPrompter {
public:
    struct Question {
        std::string Text;
        std::string Caption;
        UINT Flags;
    };
    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;
    std::deque<int> Answers;
    std::vector<Question> Questions;
};

// The default shows a QMessageBox.
IPrompter& Prompter();
IPrompter* SetPrompter(IPrompter* prompter);

// ---- File dialogs -----------------------------------------------------------------------------------------

struct FileDialogRequest {
    bool Save = false;
    std::string Title;
    std::string Filter;  // "Description|*.ext;*.ext2|..."
    std::string DefaultExt;  // without the dot
    std::string FileName;  // initial
    std::string InitialDir;
    bool OverwritePrompt = false;
};

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    virtual std::optional<std::string> Run(const FileDialogRequest& request) = 0;  // none: cancelled
};

class ScriptedFileDialogs final : public IFileDialogs {
public:
    std::optional<std::string> Run(const FileDialogRequest& request) override;
    std::deque<std::optional<std::string>> Answers;  // used up in order; none once empty
    std::vector<FileDialogRequest> Requests;
};

// The default shows a QFileDialog.
IFileDialogs& FileDialogs();
IFileDialogs* SetFileDialogs(IFileDialogs* dialogs);
// A request's filter as the Qt dialog takes it: "Text|*.txt;*.text|All|*" becomes "Text (*.txt *.text);;All (*)";
// a description that already shows its patterns ("XML Files (*.xml)") keeps its text as it stands.
std::string QtFileFilter(const std::string& filter);

// ---- Opener and help --------------------------------------------------------------------------------------

class IOpener {
public:
    virtual ~IOpener() = default;
    virtual bool Open(const std::string& fileOrUrl) = 0;
};

class RecordingOpener final : public IOpener {
public:
    bool Open(const std::string& fileOrUrl) override;
    std::vector<std::string> Opened;
    bool Result = true;
};

// The default hands the file or URL to the desktop.
IOpener& Opener();
IOpener* SetOpener(IOpener* opener);

class IHelp {
public:
    virtual ~IHelp() = default;
    // command: HH_DISPLAY_TOPIC, HH_HELP_CONTEXT, HELP_CONTEXT, HELP_INDEX, HELP_QUIT, HELP_CONTEXTPOPUP.
    virtual bool Show(const std::string& helpFile, UINT command, std::uintptr_t data) = 0;
};

class RecordingHelp final : public IHelp {
public:
    struct Request {
        std::string HelpFile;
        UINT Command;
        std::uintptr_t Data;
    };
    bool Show(const std::string& helpFile, UINT command, std::uintptr_t data) override;
    std::vector<Request> Requests;
};

// The default opens the help file through the opener; contexts are not addressable there, and HELP_QUIT
// does nothing.
IHelp& Help();
IHelp* SetHelp(IHelp* help);

// ---- Clipboard and colour dialog -------------------------------------------------------------------------

class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool HasText() = 0;
    virtual std::string Text() = 0;
};

// Holds a text for tests; none means the clipboard has no text.
class FakeClipboard final : public IClipboard {
public:
    bool HasText() override { return Content.has_value(); }
    std::string Text() override { return Content.value_or(std::string()); }
    std::optional<std::string> Content;
};

// The default reads the desktop's clipboard.
IClipboard& Clipboard();
IClipboard* SetClipboard(IClipboard* clipboard);

class IColorDialogs {
public:
    virtual ~IColorDialogs() = default;
    // initial and the result as 0x00BBGGRR; none: cancelled.
    virtual std::optional<COLORREF> PickColor(COLORREF initial) = 0;
};

class ScriptedColorDialogs final : public IColorDialogs {
public:
    std::optional<COLORREF> PickColor(COLORREF initial) override;
    std::deque<std::optional<COLORREF>> Answers;  // used up in order; none once empty
    std::vector<COLORREF> Requests;
};

// The default shows a QColorDialog.
IColorDialogs& ColorDialogs();
IColorDialogs* SetColorDialogs(IColorDialogs* dialogs);

// ---- Outline overlay --------------------------------------------------------------------------------------

// Shows what the desktop outline DC has inverted: the frames of a window being dragged without moving it.
// Rectangles are in screen coordinates and do not overlap; an empty list hides the overlay.
class IOutlineOverlay {
public:
    virtual ~IOutlineOverlay() = default;
    virtual void Show(const std::vector<RECT>& rects) = 0;
};

// Keeps every list it was shown, in order.
class RecordingOutlineOverlay final : public IOutlineOverlay {
public:
    void Show(const std::vector<RECT>& rects) override { Shown.push_back(rects); }
    std::vector<std::vector<RECT>> Shown;
};

// The default is an input-transparent, frameless top-level window over the rectangles, in a halftone pattern.
IOutlineOverlay& OutlineOverlay();
IOutlineOverlay* SetOutlineOverlay(IOutlineOverlay* overlay);

// ---- Guard ------------------------------------------------------------------------------------------------

// Puts a service in place for a scope: ScopedService<IClock> clock(SetClock, fakeClock);
template <class I> class ScopedService {
public:
    using Setter = I* (*)(I*);
    ScopedService(Setter setter, I& service) : FSetter(setter), FPrevious(setter(&service)) {}
    ~ScopedService() { FSetter(FPrevious); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Setter FSetter;
    I* FPrevious;
};

}  // namespace ovrel::ui
