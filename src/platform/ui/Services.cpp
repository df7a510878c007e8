#include "platform/ui/Services.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services_p.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace ovrel::ui {
namespace {

class SystemClock final : public IClock {
public:
    double Now() override
    {
        // Local wall time as days since 1899-12-30.
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
        const qint64 days = epoch.date().daysTo(now.date());
        return static_cast<double>(days) + now.time().msecsSinceStartOfDay() / 86'400'000.0;
    }
    std::uint64_t TickCount() override
    {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    std::int64_t PerformanceCounter() override
    {
        using namespace std::chrono;
        return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    }
    std::int64_t PerformanceFrequency() override { return 1'000'000'000; }
};

class QtTimerDriver final : public ITimerDriver {
public:
    void Wait(std::optional<std::uint64_t> msUntilDue) override
    {
        if (QCoreApplication::instance() == nullptr)
            return;
        // The single-shot timer only wakes the event loop; our queue generates WM_TIMER from the clock.
        QTimer wake;
        wake.setSingleShot(true);
        if (msUntilDue) {
            wake.start(static_cast<int>(std::min<std::uint64_t>(*msUntilDue, 1u << 30)));
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    void TimerChanged(HWND, std::uintptr_t, UINT) override {}
};

class StderrExceptionHandler final : public IExceptionHandler {
public:
    void Report(std::exception_ptr exception) noexcept override
    {
        try {
            if (exception)
                std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "Unhandled exception\n");
        }
    }
};

RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

class QtScreens final : public IScreens {
public:
    std::vector<MonitorRects> Monitors() override
    {
        std::vector<MonitorRects> result;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            QScreen* primary = QGuiApplication::primaryScreen();
            if (primary != nullptr)
                result.push_back({ToRect(primary->geometry()), ToRect(primary->availableGeometry()), true});
            for (QScreen* screen : QGuiApplication::screens()) {
                if (screen != primary)
                    result.push_back({ToRect(screen->geometry()), ToRect(screen->availableGeometry()), false});
            }
        }
        if (result.empty())
            result.push_back({RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}, true});
        return result;
    }
};

class QtSound final : public ISound {
public:
    bool Play(const std::string&, DWORD) override { return false; }
    void Beep(UINT) override
    {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
            QApplication::beep();
    }
};

class QtPrompter final : public IPrompter {
public:
    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override
    {
        QMessageBox box;
        box.setText(QString::fromStdString(text));
        box.setWindowTitle(QString::fromStdString(caption));
        switch (flags & 0xF0) {
        case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        switch (flags & 0x0F) {
        case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
        case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
        }
        const int type = static_cast<int>(flags & 0x0F);
        switch (box.exec()) {
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Cancel: return IDCANCEL;
        case QMessageBox::Ok: return IDOK;
        default:
            // Closed without a button: never an answer that lets an action go ahead.
            if (type == MB_YESNO)
                return IDNO;
            return type == MB_OK ? IDOK : IDCANCEL;
        }
    }
};

class QtFileDialogs final : public IFileDialogs {
public:
    std::optional<std::string> Run(const FileDialogRequest& request) override
    {
        QFileDialog dialog(nullptr, QString::fromStdString(request.Title), QString::fromStdString(request.InitialDir),
                           QString::fromStdString(QtFileFilter(request.Filter)));
        dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
        if (!request.OverwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.FileName.empty())
            dialog.selectFile(QString::fromStdString(request.FileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }
};

class DesktopOpener final : public IOpener {
public:
    bool Open(const std::string& fileOrUrl) override
    {
        const QString text = QString::fromStdString(fileOrUrl);
        const QUrl url = QDir::isAbsolutePath(text) || !text.contains(QStringLiteral("://")) ? QUrl::fromLocalFile(text)
                                                                                             : QUrl(text);
        return QDesktopServices::openUrl(url);
    }
};

class DesktopHelp final : public IHelp {
public:
    bool Show(const std::string& helpFile, UINT command, std::uintptr_t) override
    {
        if (command == HELP_QUIT)
            return true;
        return Opener().Open(helpFile);
    }
};

class QtClipboard final : public IClipboard {
public:
    bool HasText() override
    {
        QClipboard* clipboard = Board();
        return clipboard != nullptr && !clipboard->text().isEmpty();
    }
    std::string Text() override
    {
        QClipboard* clipboard = Board();
        return clipboard != nullptr ? clipboard->text().toStdString() : std::string();
    }

private:
    static QClipboard* Board()
    {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr ? QGuiApplication::clipboard()
                                                                                       : nullptr;
    }
};

class QtColorDialogs final : public IColorDialogs {
public:
    std::optional<COLORREF> PickColor(COLORREF initial) override
    {
        const QColor chosen =
            QColorDialog::getColor(QColor(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                                          static_cast<int>((initial >> 16) & 0xFF)));
        if (!chosen.isValid())
            return std::nullopt;
        return RGB(chosen.red(), chosen.green(), chosen.blue());
    }
};

Slot<IClipboard, QtClipboard>& ClipboardSlot()
{
    static Slot<IClipboard, QtClipboard> slot;
    return slot;
}
Slot<IColorDialogs, QtColorDialogs>& ColorDialogsSlot()
{
    static Slot<IColorDialogs, QtColorDialogs> slot;
    return slot;
}

Slot<IClock, SystemClock>& ClockSlot()
{
    static Slot<IClock, SystemClock> slot;
    return slot;
}
Slot<ITimerDriver, QtTimerDriver>& TimerSlot()
{
    static Slot<ITimerDriver, QtTimerDriver> slot;
    return slot;
}
Slot<IExceptionHandler, StderrExceptionHandler>& HandlerSlot()
{
    static Slot<IExceptionHandler, StderrExceptionHandler> slot;
    return slot;
}
Slot<IScreens, QtScreens>& ScreensSlot()
{
    static Slot<IScreens, QtScreens> slot;
    return slot;
}
Slot<ISound, QtSound>& SoundSlot()
{
    static Slot<ISound, QtSound> slot;
    return slot;
}
Slot<IPrompter, QtPrompter>& PrompterSlot()
{
    static Slot<IPrompter, QtPrompter> slot;
    return slot;
}
Slot<IFileDialogs, QtFileDialogs>& FileDialogsSlot()
{
    static Slot<IFileDialogs, QtFileDialogs> slot;
    return slot;
}
Slot<IOpener, DesktopOpener>& OpenerSlot()
{
    static Slot<IOpener, DesktopOpener> slot;
    return slot;
}
Slot<IHelp, DesktopHelp>& HelpSlot()
{
    static Slot<IHelp, DesktopHelp> slot;
    return slot;
}

}  // namespace

void FakeTimerDriver::Wait(std::optional<std::uint64_t> msUntilDue)
{
    ++FWaits;
    if (!msUntilDue)
        throw std::logic_error("FakeTimerDriver: waiting with nothing queued and no timer running");
    FClock.Advance(*msUntilDue);
}

void FakeTimerDriver::TimerChanged(HWND window, std::uintptr_t id, UINT interval)
{
    FChanges.push_back({window, id, interval});
}

void RecordingExceptionHandler::Report(std::exception_ptr exception) noexcept
{
    try {
        try {
            if (exception)
                std::rethrow_exception(exception);
            Messages.emplace_back("no exception");
        } catch (const std::exception& e) {
            Messages.emplace_back(e.what());
        } catch (...) {
            Messages.emplace_back("unknown exception");
        }
    } catch (...) {
        // Recording must not throw out of a handler; a failed allocation loses the record.
    }
}

bool RecordingSound::Play(const std::string& alias, DWORD)
{
    Events.push_back("play:" + alias);
    return true;
}

void RecordingSound::Beep(UINT type) { Events.push_back("beep:" + std::to_string(type)); }

int ScriptedPrompter::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    Questions.push_back({text, caption, flags});
    if (Answers.empty())
        return IDOK;
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedFileDialogs::Run(const FileDialogRequest& request)
{
    Requests.push_back(request);
    if (Answers.empty())
        return std::nullopt;
    std::optional<std::string> answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<COLORREF> ScriptedColorDialogs::PickColor(COLORREF initial)
{
    Requests.push_back(initial);
    if (Answers.empty())
        return std::nullopt;
    const std::optional<COLORREF> answer = Answers.front();
    Answers.pop_front();
    return answer;
}

bool RecordingOpener::Open(const std::string& fileOrUrl)
{
    Opened.push_back(fileOrUrl);
    return Result;
}

bool RecordingHelp::Show(const std::string& helpFile, UINT command, std::uintptr_t data)
{
    Requests.push_back({helpFile, command, data});
    return true;
}

IClock& Clock() { return ClockSlot().Get(); }
IClock* SetClock(IClock* clock) { return ClockSlot().Set(clock); }
ITimerDriver& TimerDriver() { return TimerSlot().Get(); }
ITimerDriver* SetTimerDriver(ITimerDriver* driver) { return TimerSlot().Set(driver); }
IExceptionHandler& ExceptionHandler() { return HandlerSlot().Get(); }
IExceptionHandler* SetExceptionHandler(IExceptionHandler* handler) { return HandlerSlot().Set(handler); }
void FixedScreens::SetMonitors(std::vector<MonitorRects> monitors)
{
    FMonitors = std::move(monitors);
    NotifyDisplayChange();
}

IScreens& Screens() { return ScreensSlot().Get(); }
IScreens* SetScreens(IScreens* screens) { return ScreensSlot().Set(screens); }
ISound& Sound() { return SoundSlot().Get(); }
ISound* SetSound(ISound* sound) { return SoundSlot().Set(sound); }
IPrompter& Prompter() { return PrompterSlot().Get(); }
IPrompter* SetPrompter(IPrompter* prompter) { return PrompterSlot().Set(prompter); }

IFileDialogs& FileDialogs() { return FileDialogsSlot().Get(); }
IFileDialogs* SetFileDialogs(IFileDialogs* dialogs) { return FileDialogsSlot().Set(dialogs); }

std::string QtFileFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
        entries << (parts[i].trimmed().endsWith(shown) ? parts[i] : parts[i] + QLatin1Char(' ') + shown);
    }
    return entries.join(QStringLiteral(";;")).toStdString();
}
IOpener& Opener() { return OpenerSlot().Get(); }
IOpener* SetOpener(IOpener* opener) { return OpenerSlot().Set(opener); }
IHelp& Help() { return HelpSlot().Get(); }
IHelp* SetHelp(IHelp* help) { return HelpSlot().Set(help); }
IClipboard& Clipboard() { return ClipboardSlot().Get(); }
IClipboard* SetClipboard(IClipboard* clipboard) { return ClipboardSlot().Set(clipboard); }
IColorDialogs& ColorDialogs() { return ColorDialogsSlot().Get(); }
IColorDialogs* SetColorDialogs(IColorDialogs* dialogs) { return ColorDialogsSlot().Set(dialogs); }

BOOL PlaySound(const std::string& alias, DWORD flags) { return Sound().Play(alias, flags) ? TRUE : FALSE; }

}  // namespace ovrel::ui
