#pragma once
// Helpers shared by the control tests: a window-procedure hook that records control messages, and a form that
// is shown on the offscreen platform and freed at the end of the test.

#include "platform/ui/Services.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit::testing {

struct LoggedMessage {
    std::string Control;
    std::uint32_t Msg = 0;
    friend bool operator==(const LoggedMessage&, const LoggedMessage&) = default;
};

/// Hooks the WindowProc of controls and writes the control messages it is told to watch into one log.
class MessageLog {
public:
    explicit MessageLog(std::vector<std::uint32_t> watched) : FWatched(std::move(watched)) {}
    ~MessageLog()
    {
        for (auto& hook : FHooks)
            hook->Control->SetWindowProc(hook->Saved);
    }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    void Watch(TControl* control, const std::string& name)
    {
        auto hook = std::make_unique<Hook>();
        hook->Log = this;
        hook->Control = control;
        hook->Name = name;
        hook->Saved = control->GetWindowProc();
        control->SetWindowProc(TWndMethod(hook.get(), &Hook::Proc));
        FHooks.push_back(std::move(hook));
    }
    /// Stops watching control and gives it its procedure back (before it is freed).
    void Forget(TControl* control)
    {
        std::erase_if(FHooks, [control](const auto& hook) {
            if (hook->Control != control)
                return false;
            control->SetWindowProc(hook->Saved);
            return true;
        });
    }

    std::vector<LoggedMessage> Entries;

private:
    struct Hook {
        MessageLog* Log = nullptr;
        TControl* Control = nullptr;
        std::string Name;
        TWndMethod Saved;
        void Proc(TMessage& message)
        {
            for (std::uint32_t msg : Log->FWatched)
                if (msg == message.Msg)
                    Log->Entries.push_back({Name, msg});
            Saved(message);
        }
    };

    std::vector<std::uint32_t> FWatched;
    std::vector<std::unique_ptr<Hook>> FHooks;
};

/// Installs a recording exception handler for the test's lifetime.
class RecordedExceptions {
public:
    RecordedExceptions() : FPrevious(ui::SetExceptionHandler(&FHandler)) {}
    ~RecordedExceptions() { ui::SetExceptionHandler(FPrevious); }
    RecordedExceptions(const RecordedExceptions&) = delete;
    RecordedExceptions& operator=(const RecordedExceptions&) = delete;
    [[nodiscard]] const std::vector<std::string>& Messages() const { return FHandler.Messages; }

private:
    ui::RecordingExceptionHandler FHandler;
    ui::IExceptionHandler* FPrevious;
};

}  // namespace ovrel::toolkit::testing
