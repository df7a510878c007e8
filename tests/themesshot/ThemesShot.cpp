// A form laid out with the themed controls as the main window uses them: the menu bar in the top dock with its
// File menu open, a panel in a left multi-dock, two panels in a right one (the lower holding an alignment panel),
// one more panel floating, and the status bar with its two panels. Grabbed from the whole screen (so that the
// pop-up and the floating frame show) as a PNG for a person to look at.
//   themes_shot OUT.png            shows the form, writes OUT.png and exits (0 when not blank)
//   themes_shot --check OUT.png    exits 0 when OUT.png exists and holds more than one colour
#include "support/Screenshot.h"

#include "themes/DockablePanels.h"
#include "themes/PanelObjects.h"
#include "themes/StatusBars.h"
#include "themes/ThemeRuntime.h"
#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedToolbars.h"

#include "platform/ui/Window.h"
#include "toolbars/View.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>

#include <cstdio>
#include <string>

namespace {

using namespace ovrel::themes;
using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

TTBXItem* Add(TTBCustomItem* parent, const std::string& caption, TShortCut shortCut = 0)
{
    auto* item = new TTBXItem(nullptr);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    parent->Add(item);
    return item;
}

TTBXSubmenuItem* AddSubmenu(TTBCustomItem* parent, const std::string& caption)
{
    auto* item = new TTBXSubmenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TTBXDockablePanel* AddPanel(TForm& form, TTBDock* dock, const std::string& caption, int splitHeight)
{
    auto* panel = new TTBXDockablePanel(&form);
    panel->SetCaption(caption);
    panel->SetDockedWidth(196);
    if (splitHeight > 0)
        panel->SetSplitHeight(splitHeight);
    panel->SetParent(dock);
    return panel;
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
    const TThemeRuntime runtime;
    int result = 1;
    {
        TForm form(nullptr);
        form.SetCaption("Themed controls");
        form.SetBounds(40, 40, 760, 560);

        auto* top = new TTBXDock(&form);
        top->SetPosition(dpTop);
        top->SetParent(&form);
        auto* bar = new TTBXToolbar(&form);
        bar->SetMenuBar(true);
        TTBXSubmenuItem* file = AddSubmenu(bar->GetItems(), "&File");
        Add(file, "&Open Folder...", ShortCut('O', TShiftState{ssCtrl}));
        Add(file, "&Export to XML...");
        file->Add(new TTBXSeparatorItem(nullptr));
        Add(file, "E&xit", ShortCut(0x73, TShiftState{ssAlt}));
        for (const char* caption : {"&Edit", "&View", "&Options", "&Help"})
            Add(AddSubmenu(bar->GetItems(), caption), "Item");
        bar->SetParent(top);

        auto* status = new TTBXStatusBar(&form);
        status->SetParent(&form);
        status->GetPanels()->Add()->SetSize(8);
        status->GetPanels()->Add()->SetSize(800);
        for (int i = 0; i < 2; ++i)
            status->GetPanels()->GetItem(i)->SetFramed(false);
        status->GetPanels()->GetItem(1)->SetCaption("12 images in the folder");

        auto* left = new TTBXMultiDock(&form);
        left->SetPosition(dpLeft);
        left->SetParent(&form);
        auto* right = new TTBXMultiDock(&form);
        right->SetPosition(dpRight);
        right->SetParent(&form);
        AddPanel(form, left, "Folders", 0);
        TTBXDockablePanel* preview = AddPanel(form, right, "Preview", 124);
        preview->SetMinClientHeight(160);
        preview->SetMaxClientHeight(160);
        TTBXDockablePanel* properties = AddPanel(form, right, "Properties", 398);
        auto* buttons = new TTBXAlignmentPanel(&form);
        buttons->SetAlign(alBottom);
        buttons->SetHeight(32);
        buttons->SetParent(properties);
        auto* edit = new TButton(&form);
        edit->SetCaption("Edit...");
        edit->SetBounds(4, 4, 80, 24);
        edit->SetParent(buttons);
        TTBXDockablePanel* floating = AddPanel(form, left, "Thumbnails", 0);

        form.Show();
        // Without a window manager nothing activates the form; the user's form would be active.
        ovrel::ui::SetActiveWindow(form.GetHandle());
        Pump();
        floating->MoveFloatingTo(TPoint{560, 420});
        floating->SetFloating(true);
        Pump();

        // The File menu as a user who pointed at it would see it.
        TTBView* barView = bar->GetView();
        barView->Select(barView->FindViewerOfItem(file));
        barView->OpenChildPopup(false);
        if (barView->GetOpenViewerView() == nullptr) {
            std::fprintf(stderr, "the File menu did not open\n");
            return 1;
        }
        Pump();

        const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        barView->CloseChildPopups();
        if (!image.save(QString::fromStdString(path), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        result = ovrel::test::HasContent(image) ? 0 : 1;
    }
    return result;
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) { return ovrel::test::ScreenshotMain(argc, argv, "themes_shot", Shoot); }
