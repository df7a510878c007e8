#pragma once
// Where the program announces menu and focus changes to assistive technology. No bridge to the desktop's
// accessibility stack is built in: by default the events go nowhere, and tests record them.

#include "platform/ui/Types.h"

#include <vector>

namespace ovrel::ui {

// Events.
inline constexpr DWORD EVENT_SYSTEM_MENUSTART = 0x0004;
inline constexpr DWORD EVENT_SYSTEM_MENUEND = 0x0005;
inline constexpr DWORD EVENT_SYSTEM_MENUPOPUPSTART = 0x0006;
inline constexpr DWORD EVENT_SYSTEM_MENUPOPUPEND = 0x0007;
inline constexpr DWORD EVENT_OBJECT_FOCUS = 0x8005;

// Object and child identifiers.
inline constexpr LONG OBJID_WINDOW = 0;
inline constexpr LONG OBJID_CLIENT = -4;
inline constexpr LONG CHILDID_SELF = 0;

// Roles.
inline constexpr LONG ROLE_SYSTEM_CLIENT = 10;
inline constexpr LONG ROLE_SYSTEM_MENUITEM = 12;
inline constexpr LONG ROLE_SYSTEM_SEPARATOR = 21;
inline constexpr LONG ROLE_SYSTEM_PUSHBUTTON = 43;
inline constexpr LONG ROLE_SYSTEM_BUTTONMENU = 57;
inline constexpr LONG ROLE_SYSTEM_BUTTONDROPDOWNGRID = 58;

class IAccessibilitySink {
public:
    virtual ~IAccessibilitySink() = default;
    virtual void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId) = 0;
};

// Keeps every event in order.
class RecordingAccessibilitySink final : public IAccessibilitySink {
public:
    struct RecordedEvent {
        DWORD Event = 0;
        HWND Window = nullptr;
        LONG ObjectId = 0;
        LONG ChildId = 0;
        friend bool operator==(const RecordedEvent&, const RecordedEvent&) = default;
    };
    void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId) override;
    std::vector<RecordedEvent> Events;
};

// The default drops every event.
IAccessibilitySink& AccessibilitySink();
IAccessibilitySink* SetAccessibilitySink(IAccessibilitySink* sink);
// Hands the event to the sink in place. UI thread only.
void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId);

}  // namespace ovrel::ui
