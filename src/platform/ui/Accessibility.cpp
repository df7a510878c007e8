#include "platform/ui/Accessibility.h"

#include "platform/ui/Services_p.h"

namespace ovrel::ui {
namespace {

class NoAccessibility final : public IAccessibilitySink {
public:
    void NotifyWinEvent(DWORD, HWND, LONG, LONG) override {}
};

Slot<IAccessibilitySink, NoAccessibility>& SinkSlot()
{
    static Slot<IAccessibilitySink, NoAccessibility> slot;
    return slot;
}

}  // namespace

void RecordingAccessibilitySink::NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId)
{
    Events.push_back(RecordedEvent{event, window, objectId, childId});
}

IAccessibilitySink& AccessibilitySink() { return SinkSlot().Get(); }
IAccessibilitySink* SetAccessibilitySink(IAccessibilitySink* sink) { return SinkSlot().Set(sink); }

void NotifyWinEvent(DWORD event, HWND window, LONG objectId, LONG childId)
{
    AccessibilitySink().NotifyWinEvent(event, window, objectId, childId);
}

}  // namespace ovrel::ui
