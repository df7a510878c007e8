// The control gallery: one form holding one of each control, grabbed as a PNG for a person to look at.
//   control_gallery OUT.png     shows the form, writes OUT.png and exits (0 when the image is not blank)
//   control_gallery --check OUT.png   exits 0 when OUT.png exists and holds more than one colour
#include "support/Screenshot.h"

#include "platform/ui/Window.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/DateUtils.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ListView.h"
#include "toolkit/ShellCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdLists.h"

#include <QApplication>

#include <string>

namespace {

using namespace ovrel::toolkit;

template <class C> C* Place(TWinControl* parent, int left, int top, int width, int height)
{
    auto* control = new C(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

class Gallery {
public:
    Gallery() : FForm(nullptr) { Build(); }

    TForm& Form() { return FForm; }

private:
    void PaintPreview(TObject* sender)
    {
        TCanvas* canvas = static_cast<TPaintBox*>(sender)->GetCanvas();
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FillRect(Rect(0, 0, 80, 60));
        canvas->GetPen()->SetColor(clBlue);
        canvas->Rectangle(10, 10, 70, 50);
        canvas->MoveTo(10, 10);
        canvas->LineTo(70, 50);
    }

    void Build()
    {
        FForm.SetCaption("Control gallery");
        FForm.SetBounds(0, 0, 720, 480);

        // Simple controls.
        auto* title = Place<TLabel>(&FForm, 8, 8, 0, 0);
        title->SetCaption("Labels, panel, paint box and speed buttons");
        title->GetFont()->SetStyle({fsBold});
        auto* link = Place<TLabel>(&FForm, 8, 28, 0, 0);
        link->SetCaption("example.org");
        link->GetFont()->SetStyle({fsUnderline});
        link->GetFont()->SetColor(clBlue);
        auto* panel = Place<TPanel>(&FForm, 8, 48, 180, 70);
        panel->SetCaption("Raised panel");
        auto* box = Place<TPaintBox>(&FForm, 196, 48, 80, 60);
        box->OnPaint = TNotifyEvent(this, &Gallery::PaintPreview);
        TBitmap glyph;
        glyph.SetSize(32, 16);
        glyph.GetCanvas()->GetBrush()->SetColor(clGreen);
        glyph.GetCanvas()->FillRect(Rect(2, 2, 14, 14));
        glyph.GetCanvas()->GetBrush()->SetColor(clGray);
        glyph.GetCanvas()->FillRect(Rect(18, 2, 30, 14));
        for (int i = 0; i < 2; ++i) {
            auto* speed = Place<TSpeedButton>(&FForm, 284 + 26 * i, 48, 22, 22);
            speed->SetGlyph(&glyph);
            speed->SetNumGlyphs(2);
            speed->SetEnabled(i == 0);
        }

        // Standard controls.
        auto* edit = Place<TEdit>(&FForm, 8, 130, 100, 22);
        edit->SetText("An edit");
        auto* button = Place<TButton>(&FForm, 114, 128, 74, 25);
        button->SetCaption("OK");
        auto* group = Place<TGroupBox>(&FForm, 8, 160, 180, 80);
        group->SetCaption("Group box");
        auto* first = Place<TRadioButton>(group, 10, 20, 150, 20);
        first->SetCaption("First choice");
        first->SetChecked(true);
        Place<TRadioButton>(group, 10, 45, 150, 20)->SetCaption("Second choice");

        // Lists.
        auto* combo = Place<TComboBox>(&FForm, 196, 130, 120, 22);
        combo->GetItems()->Add("Combo item");
        combo->GetItems()->Add("Another");
        combo->SetItemIndex(0);
        auto* list = Place<TListBox>(&FForm, 196, 160, 120, 80);
        for (const char* text : {"List item 1", "List item 2", "List item 3"})
            list->GetItems()->Add(text);
        list->SetItemIndex(1);
        auto* checks = Place<TCheckListBox>(&FForm, 324, 130, 120, 110);
        for (const char* text : {"Checked", "Unchecked", "Checked too"})
            checks->GetItems()->Add(text);
        checks->SetChecked(0, true);
        checks->SetChecked(2, true);
        auto* progress = Place<TProgressBar>(&FForm, 8, 250, 308, 18);
        progress->SetMax(100);
        progress->SetPosition(60);

        // Common controls.
        auto* pages = Place<TPageControl>(&FForm, 452, 8, 260, 120);
        for (const char* caption : {"First page", "Second page"}) {
            auto* sheet = new TTabSheet(&FForm);
            sheet->SetPageControl(pages);
            sheet->SetCaption(caption);
        }
        Place<TLabel>(pages->GetPage(0), 10, 10, 0, 0)->SetCaption("On the first page");
        pages->SetActivePageIndex(0);
        auto* tabs = Place<TTabControl>(&FForm, 452, 136, 260, 60);
        tabs->GetTabs()->Add("About");
        tabs->GetTabs()->Add("Credits");
        tabs->SetTabIndex(0);
        auto* date = Place<TDateTimePicker>(&FForm, 452, 204, 120, 22);
        date->SetKind(dtkDate);
        date->SetDateTime(EncodeDate(2024, 5, 17));
        auto* time = Place<TDateTimePicker>(&FForm, 580, 204, 100, 22);
        time->SetKind(dtkTime);
        time->SetDateTime(EncodeTime(14, 30, 0, 0));
        auto* spinEdit = Place<TEdit>(&FForm, 452, 234, 60, 22);
        auto* spin = Place<TUpDown>(&FForm, 512, 234, 17, 22);
        spin->SetAssociate(spinEdit);
        spin->SetMax(100);
        spin->SetPosition(42);

        // The list view and the folder tree.
        auto* view = Place<TListView>(&FForm, 8, 280, 440, 190);
        const struct {
            const char* Caption;
            int Width;
        } columns[] = {{"File", 160}, {"Size", 90}, {"Date", 110}};
        for (const auto& column : columns) {
            TListColumn* added = view->GetColumns()->Add();
            added->SetCaption(column.Caption);
            added->SetWidth(column.Width);
        }
        for (int i = 0; i < 8; ++i) {
            TListItem* item = view->GetItems()->Add();
            item->SetCaption("picture" + std::to_string(i) + ".jpg");
            item->GetSubItems()->Add(std::to_string(100 + 37 * i) + " KB");
            item->GetSubItems()->Add("2024-05-" + std::to_string(10 + i));
        }
        view->GetItems()->GetItem(2)->SetSelected(true);
        auto* tree = Place<TShellTreeView>(&FForm, 456, 264, 256, 206);
        tree->SetPath("");
    }

    TForm FForm;
};

int Shoot(const std::string& path)
{
    Gallery gallery;
    gallery.Form().Show();
    for (int i = 0; i < 10; ++i) {
        Application()->ProcessMessages();
        QApplication::processEvents();
    }
    return ovrel::test::SaveShot(ovrel::ui::GetWindowWidget(gallery.Form().GetHandle()), path);
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) { return ovrel::test::ScreenshotMain(argc, argv, "control_gallery", Shoot); }
