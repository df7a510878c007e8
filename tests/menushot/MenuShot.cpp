// A form with a menu bar whose File menu and its Recent Folders submenu are open, and a docked toolbar,
// grabbed from the screen (so that the pop-up windows show) as a PNG for a person to look at.
//   menu_shot OUT.png            shows the form and its menus, writes OUT.png and exits (0 when not blank)
//   menu_shot --check OUT.png    exits 0 when OUT.png exists and holds more than one colour
#include "support/Screenshot.h"

#include "platform/ui/Window.h"
#include "toolbars/Dock.h"
#include "toolbars/Items.h"
#include "toolbars/Toolbar.h"
#include "toolbars/View.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <string>

namespace {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

TTBCustomItem* Add(TTBCustomItem* parent, const std::string& caption, TShortCut shortCut = 0)
{
    auto* item = new TTBCustomItem(nullptr);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    parent->Add(item);
    return item;
}

// A submenu: an item whose style opens its children.
class TSubmenuItem : public TTBCustomItem {
public:
    explicit TSubmenuItem(TComponent* owner) : TTBCustomItem(owner) { FItemStyle |= itsSubmenu; }
};

TTBCustomItem* AddSubmenu(TTBCustomItem* parent, const std::string& caption)
{
    auto* item = new TSubmenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

void Pump()
{
    for (int i = 0; i < 10; ++i) {
        Application()->ProcessMessages();
        QApplication::processEvents();
    }
}

int Shoot(const std::string& path)
{
    TForm form(nullptr);
    form.SetCaption("Menu gallery");
    form.SetBounds(40, 40, 560, 380);
    auto* dock = new TTBDock(&form);
    dock->SetPosition(dpTop);
    dock->SetParent(&form);

    auto* bar = new TTBToolbar(&form);
    bar->SetMenuBar(true);
    TTBCustomItem* file = AddSubmenu(bar->GetItems(), "&File");
    Add(file, "&Open...", ShortCut('O', TShiftState{ssCtrl}));
    Add(file, "&Save", ShortCut('S', TShiftState{ssCtrl}));
    Add(file, "Save &As...");
    file->Add(new TTBSeparatorItem(nullptr));
    TTBCustomItem* recent = AddSubmenu(file, "&Recent Folders");
    for (const char* folder : {"&1 Holiday 2024", "&2 Family", "&3 Scans"})
        Add(recent, folder);
    file->Add(new TTBSeparatorItem(nullptr));
    Add(file, "E&xit", ShortCut(0x73, TShiftState{ssAlt}));
    for (const char* caption : {"&Edit", "&View", "&Language", "&Help"})
        Add(AddSubmenu(bar->GetItems(), caption), "Item");
    bar->SetParent(dock);

    auto* tools = new TTBToolbar(&form);
    for (const char* caption : {"Open", "Save", "Edit", "Export"})
        Add(tools->GetItems(), caption);
    tools->SetDockRow(1);
    tools->SetParent(dock);

    form.Show();
    Pump();
    // File's menu, and in it the Recent Folders submenu, as a user who pointed at them would see them.
    TTBView* barView = bar->GetView();
    barView->Select(barView->FindViewerOfItem(file));
    barView->OpenChildPopup(false);
    TTBView* fileView = barView->GetOpenViewerView();
    if (fileView == nullptr) {
        std::fprintf(stderr, "the File menu did not open\n");
        return 1;
    }
    fileView->Select(fileView->FindViewerOfItem(recent));
    fileView->OpenChildPopup(false);
    Pump();

    // The form and what opened over it, from the screen.
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 640, 460).toImage();
    barView->CloseChildPopups();
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return ovrel::test::HasContent(image) ? 0 : 1;
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) { return ovrel::test::ScreenshotMain(argc, argv, "menu_shot", Shoot); }
