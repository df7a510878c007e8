#include "inspector/Resources.h"

#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <QImage>
#include <QString>

#include <string>
#include <vector>

// Resources of a static library are only linked in when something refers to them.
static void InitInspectorResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(inspector);
        return true;
    }();
    (void)done;
}

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

// A cursor made from its resource image on first use and kept for the program's life; none when the
// image or the GUI is missing, and then it is tried again next time.
void RegisterCursor(TCursor id, const char* name, ui::POINT hotSpot)
{
    struct Made {
        TCursor Id;
        ui::HCURSOR Cursor;
    };
    static std::vector<Made> made;
    ui::HCURSOR cursor = nullptr;
    for (const Made& m : made)
        if (m.Id == id)
            cursor = m.Cursor;
    if (cursor == nullptr) {
        InitInspectorResources();
        const QImage image(QStringLiteral(":/") + QString::fromLatin1(name) + QStringLiteral(".png"));
        cursor = ui::CreateCursorFromImage(image, hotSpot);
        if (cursor == nullptr)
            return;
        made.push_back({id, cursor});
    }
    Screen()->SetCursors(id, cursor);
}

}  // namespace

void LoadResourceBitmap(TBitmap* bitmap, std::string_view name)
{
    InitInspectorResources();
    bitmap->LoadFromResourceName(name);
}

void RegisterEditorCursor() { RegisterCursor(crReversedArrow, "REVERSEDARROW", ui::POINT{15, 0}); }

void RegisterRollCursors()
{
    RegisterCursor(crRoll, "ROLL", ui::POINT{16, 16});
    RegisterCursor(crRollUp, "ROLLUP", ui::POINT{16, 16});
    RegisterCursor(crRollDown, "ROLLDOWN", ui::POINT{16, 16});
}

}  // namespace ovrel::inspector
