// The editors, pop-ups and scroll views an item makes: their defaults and value logic, the text rectangle,
// and the scroll-bar model against a view that records what reaches it. None of them makes a window here.

#include "inspector/CellEditors.h"
#include "inspector/PopupView.h"
#include "inspector/Resources.h"
#include "inspector/ScrollView.h"

#include "platform/ui/Messages.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

template <class T> std::unique_ptr<T> Make() { return std::unique_ptr<T>(new T(nullptr)); }

TEST(EditRect, FollowsMarginAlignmentAndPreview)
{
    struct Row {
        int Margin;
        TVerticalAlignment Alignment;
        bool Preview;
        TRect Expected;  // client 100 × 20, text 13 high
    };
    const Row rows[] = {
        {0, vaTop, false, {2, 0, 99, 13}},    {0, vaMiddle, false, {2, 3, 99, 16}},
        {0, vaBottom, false, {2, 7, 99, 20}}, {1, vaTop, true, {30, 1, 98, 14}},
        {2, vaMiddle, false, {4, 3, 97, 16}}, {2, vaBottom, true, {31, 5, 97, 18}},
        {1, vaMiddle, true, {30, 3, 98, 16}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "margin " << row.Margin << ", alignment " << int(row.Alignment) << ", preview " << row.Preview);
        EXPECT_EQ(EditRectFor(100, 20, row.Margin, row.Alignment, 13, row.Preview), row.Expected);
    }
}

TEST(TextualEditor, StartsWithTheDefaultsAndNoWindow)
{
    auto editor = Make<TTextualEditor>();
    EXPECT_EQ(editor->GetWidth(), 121);
    EXPECT_EQ(editor->GetHeight(), 20);
    EXPECT_EQ(editor->GetColor(), clWindow);
    EXPECT_FALSE(editor->GetParentColor());
    EXPECT_TRUE(editor->GetTabStop());
    EXPECT_EQ(editor->GetBorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(editor->GetAlignment(), taLeftJustify);
    EXPECT_EQ(editor->GetVerticalAlignment(), vaMiddle);
    EXPECT_EQ(editor->GetMargin(), 0);
    EXPECT_FALSE(editor->GetChangeLock());
    EXPECT_FALSE(editor->GetEmbedded());
    EXPECT_TRUE(editor->NativePaint());
    EXPECT_NE(Screen()->GetCursors(crReversedArrow), Screen()->GetCursors(crArrow));

    // The text rectangle is measured without making the window.
    editor->SetShowPreview(true);
    TRect r;
    editor->GetEditRect(r);
    EXPECT_EQ(r.left, 29);
    EXPECT_EQ(r.right, 121 - 1);
    EXPECT_GT(r.bottom - r.top, 5);
    EXPECT_FALSE(editor->HandleAllocated());
}

TEST(TextualEditor, ValueSlotsConvertTheText)
{
    auto editor = Make<TTextualEditor>();
    editor->SetAsBoolean(true);
    EXPECT_EQ(editor->GetAsString(), "True");
    EXPECT_TRUE(editor->GetAsBoolean());
    editor->SetAsInteger(-7);
    EXPECT_EQ(editor->GetText(), "-7");
    EXPECT_EQ(editor->GetAsInteger(), -7);
    editor->SetAsFloat(0.25);
    EXPECT_DOUBLE_EQ(editor->GetAsFloat(), 0.25);
    editor->SetAsString("abc");
    EXPECT_THROW((void)editor->GetAsInteger(), EConvertError);
    EXPECT_THROW((void)editor->GetAsFloat(), EConvertError);
    editor->Clear();
    EXPECT_EQ(editor->GetText(), "");
    editor->SetPasswordChar(u'#');
    editor->SetReadOnly(true);
    EXPECT_EQ(editor->GetPasswordChar(), u'#');
    EXPECT_TRUE(editor->GetReadOnly());
    EXPECT_EQ(editor->GetSelStart(), 0);
    EXPECT_EQ(editor->GetSelText(), "");
}

TEST(ButtonEditors, MakeTheirButtonAndPopupHiddenAndKeepTextClearOfTheButton)
{
    auto plain = Make<TCustomButtonCellEditor>();
    auto* execute = dynamic_cast<TExecuteButton*>(plain->GetButton());
    ASSERT_NE(execute, nullptr);
    EXPECT_EQ(execute->GetWidth(), 21);
    EXPECT_FALSE(execute->GetVisible());
    EXPECT_EQ(execute->GetParent(), plain.get());
    EXPECT_EQ(execute->GetEditor(), plain.get());
    EXPECT_EQ(plain->GetButton(), execute);  // made once
    TPopupView* popup = plain->GetPopup();
    EXPECT_FALSE(popup->GetVisible());
    EXPECT_TRUE(popup->GetClosed());

    auto combo = Make<TComboBoxEditor>();
    EXPECT_EQ(combo->GetButton()->GetWidth(), 16);
    EXPECT_NE(dynamic_cast<TPopupList*>(combo->GetPopup()), nullptr);
    TRect r;
    combo->GetEditRect(r);
    TRect textual;
    plain->TTextualEditor::GetEditRect(textual);
    EXPECT_EQ(r.right, textual.right - 16);
    EXPECT_FALSE(combo->HandleAllocated());
    EXPECT_FALSE(combo->GetPopup()->HandleAllocated());
}

TEST(ButtonEditors, TheButtonRaisesItsClickOnlyOnAReleaseAfterAPress)
{
    auto editor = Make<TCustomButtonCellEditor>();
    int clicks = 0;
    struct Counter {
        int* Clicks;
        void Click(TObject*) { ++*Clicks; }
    } counter{&clicks};
    editor->OnButtonClick = TNotifyEvent(&counter, &Counter::Click);
    CellEditors::TSmallButton* button = editor->GetButton();
    button->OnRelease(button);
    EXPECT_EQ(clicks, 1);  // the editor's wiring
    button->SetPressed(true);
    editor->GetPopup()->ClosePopup();  // closing the pop-up releases the button
    EXPECT_FALSE(button->GetPressed());
}

TEST(PopupEditors, ListStyleIsReadOnlyAndPaintsItsOwnValue)
{
    auto editor = Make<TPopupEditor>();
    EXPECT_EQ(editor->GetStyle(), dsDropDown);
    editor->SetStyle(dsDropDownList);
    EXPECT_TRUE(editor->GetReadOnly());
    EXPECT_EQ(editor->GetCursor(), crArrow);
    EXPECT_FALSE(editor->NativePaint());
    TRect r{1, 2, 3, 4};
    editor->GetEditRect(r);
    EXPECT_EQ(r, TRect{});
    editor->SetStyle(dsDropDown);
    EXPECT_FALSE(editor->GetReadOnly());
    EXPECT_EQ(editor->GetCursor(), crDefault);
    EXPECT_TRUE(editor->NativePaint());
}

TEST(ComboBoxEditor, ItemIndexSetsTheTextOnlyForALineOfTheList)
{
    auto editor = Make<TComboBoxEditor>();
    EXPECT_EQ(editor->GetDropDownCount(), 8);
    EXPECT_EQ(editor->GetItemIndex(), -1);
    EXPECT_EQ(editor->GetItemHeight(), 16);
    TStringList lines;
    lines.Add("one");
    lines.Add("two");
    editor->SetItems(lines);
    lines.Add("three");
    EXPECT_EQ(editor->GetItems()->GetCount(), 2);  // a copy
    editor->SetText("free text");
    for (int index : {2, -1, 5}) {
        editor->SetItemIndex(index);
        EXPECT_EQ(editor->GetItemIndex(), index);
        EXPECT_EQ(editor->GetText(), "free text");
    }
    editor->SetItemIndex(1);
    EXPECT_EQ(editor->GetText(), "two");
    editor->SetText("typed");
    editor->SetStyle(dsDropDownList);  // the list style shows the line of the index again
    EXPECT_EQ(editor->GetText(), "two");
}

TEST(ComboBoxEditor, APickClosesThePopupAndRaisesPopupCloseBeforeTheTextChanges)
{
    auto editor = Make<TComboBoxEditor>();
    editor->SetText("before");
    std::vector<std::string> seen;
    struct Watcher {
        TComboBoxEditor* Editor;
        std::vector<std::string>* Seen;
        void Closed(TObject*) { Seen->push_back(Editor->GetText()); }
    } watcher{editor.get(), &seen};
    editor->OnPopupClose = TNotifyEvent(&watcher, &Watcher::Closed);
    editor->GetButton()->SetPressed(true);
    editor->GetButton()->SetHot(true);
    editor->PopupSelected(editor->GetPopup(), "after");
    EXPECT_EQ(seen, std::vector<std::string>{"before"});
    EXPECT_EQ(editor->GetText(), "after");
    EXPECT_FALSE(editor->GetButton()->GetPressed());
    EXPECT_FALSE(editor->GetButton()->GetHot());
    EXPECT_TRUE(editor->GetPopup()->GetClosed());
}

TEST(PopupList, RowsGeometryAndItsImagesReference)
{
    auto list = Make<TPopupList>();
    EXPECT_EQ(list->GetClientWidth(), 80);
    EXPECT_EQ(list->GetClientHeight(), 50);
    EXPECT_EQ(list->GetCount(), 0);
    list->SetItemHeight(0);
    EXPECT_EQ(list->GetItemHeight(), 1);
    list->SetItemHeight(-4);
    EXPECT_EQ(list->GetItemHeight(), 1);
    list->SetItemHeight(16);
    TStringList items;
    for (int i = 0; i < 20; ++i)
        items.Add("Line " + std::to_string(i));
    list->SetItems(&items);
    list->SetClientHeight(128);
    EXPECT_EQ(list->GetCount(), 20);
    EXPECT_EQ(list->GetMaxTop(), 12);
    EXPECT_EQ(list->GetVertScrollDelta(3, 5), -32);
    auto images = std::make_unique<TImageList>(nullptr);
    list->SetImages(images.get());
    images.reset();
    EXPECT_EQ(list->GetImages(), nullptr);
}

// ---- Scroll views -----------------------------------------------------------------------------------------

// A view that moves no pixels but records what its bars ask of it.
class RecordingView : public TScrollView {
public:
    RecordingView() : TScrollView(nullptr)
    {
        FSaved = GetWindowProc();
        SetWindowProc(TWndMethod(this, &RecordingView::Proc));
    }
    ~RecordingView() override { SetWindowProc(FSaved); }  // the base's last messages must not come here
    int GetVertScrollDelta(int oldPos, int newPos) override { return (oldPos - newPos) * 10; }
    int GetHorzScrollDelta(int oldPos, int newPos) override { return (oldPos - newPos) * 3; }
    void ScrollClientBy(int dx, int dy) override { Moves.emplace_back(dx, dy); }
    void Scrolled(TScrollBarKind kind) override { ScrolledKinds.push_back(kind); }
    void Invalidate() override { ++Invalidations; }

    std::vector<std::pair<int, int>> Moves;
    std::vector<TScrollBarKind> ScrolledKinds;
    std::vector<std::pair<std::uint32_t, std::uintptr_t>> ScrollMessages;
    int Invalidations = 0;

private:
    void Proc(TMessage& message)
    {
        if (message.Msg == ui::WM_VSCROLL || message.Msg == ui::WM_HSCROLL)
            ScrollMessages.emplace_back(message.Msg, message.WParam);
        FSaved(message);
    }
    TWndMethod FSaved;
};

TEST(ScrollBarModel, PositionsAreClampedAndMovePixelsByTheViewsDelta)
{
    RecordingView view;
    TControlScrollBar* bar = view.GetVertScrollBar();
    EXPECT_EQ(bar->GetKind(), sbVertical);
    EXPECT_EQ(bar->GetMax(), 100);
    bar->SetPosition(150);
    EXPECT_EQ(bar->GetPosition(), 100);
    EXPECT_EQ(bar->GetOldPosition(), 0);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ((view.Moves), (std::vector<std::pair<int, int>>{{0, -1000}, {0, 1000}}));
    EXPECT_EQ(view.ScrolledKinds.size(), 2u);

    TControlScrollBar* horizontal = view.GetHorzScrollBar();
    horizontal->SetPosition(4);
    EXPECT_EQ(view.Moves.back(), std::make_pair(-12, 0));
    EXPECT_EQ(view.ScrolledKinds.back(), sbHorizontal);

    // With no range the position is told but no pixels move.
    view.Moves.clear();
    bar->SetRange(-3);
    EXPECT_EQ(bar->GetMax(), 0);
    bar->SetPosition(7);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_TRUE(view.Moves.empty());
}

TEST(ScrollBarModel, ALowerRangeBringsThePositionBackAndRepaintsWhole)
{
    RecordingView view;
    TControlScrollBar* bar = view.GetVertScrollBar();
    bar->SetPosition(50);
    view.Moves.clear();
    view.ScrolledKinds.clear();
    bar->SetRange(80);  // still inside: nothing moves
    EXPECT_EQ(bar->GetPosition(), 50);
    EXPECT_EQ(view.Invalidations, 0);
    bar->SetRange(20);
    EXPECT_EQ(bar->GetPosition(), 20);
    EXPECT_EQ(bar->GetOldPosition(), 50);
    EXPECT_EQ(view.Invalidations, 1);
    EXPECT_TRUE(view.Moves.empty()) << "no pixel scroll, the whole view repaints";
    EXPECT_EQ(view.ScrolledKinds.size(), 1u);
}

TEST(ScrollBarModel, StepsAreScrollMessagesToTheViewOnlyWithARange)
{
    RecordingView view;
    TControlScrollBar* bar = view.GetVertScrollBar();
    bar->LineDown();
    bar->PageUp();
    view.GetHorzScrollBar()->LineUp();
    bar->SetRange(0);
    bar->LineDown();
    bar->PageDown();
    using M = std::pair<std::uint32_t, std::uintptr_t>;
    EXPECT_EQ(view.ScrollMessages, (std::vector<M>{{ui::WM_VSCROLL, ui::SB_LINEDOWN},
                                                   {ui::WM_VSCROLL, ui::SB_PAGEUP},
                                                   {ui::WM_HSCROLL, ui::SB_LINEUP}}));
}

TEST(ScrollBarModel, AssigningABarCopiesNothing)
{
    RecordingView one;
    RecordingView two;
    two.GetVertScrollBar()->SetPosition(30);
    one.GetVertScrollBar()->Assign(two.GetVertScrollBar());
    EXPECT_EQ(one.GetVertScrollBar()->GetPosition(), 0);
    TFont font;
    EXPECT_THROW(one.GetVertScrollBar()->Assign(&font), EConvertError);
}

TEST(ScrollView, HasBothBarsAHiddenRollMarkAndNoWindow)
{
    RecordingView view;
    EXPECT_EQ(view.GetHorzScrollBar()->GetKind(), sbHorizontal);
    EXPECT_TRUE(view.GetAutoScroll());
    EXPECT_FALSE(view.GetRolling());
    TRollShadow* mark = view.GetRollShadow();
    EXPECT_FALSE(mark->GetVisible());
    EXPECT_EQ(mark->GetParent(), &view);
    EXPECT_EQ(mark->GetWidth(), 32);
    EXPECT_EQ(mark->GetHeight(), 32);
    EXPECT_EQ(mark->GetColor(), clGrayText);
    EXPECT_FALSE(view.HandleAllocated());
    for (TCursor id : {crRoll, crRollUp, crRollDown})
        EXPECT_NE(Screen()->GetCursors(id), Screen()->GetCursors(crArrow));
}

}  // namespace

namespace {

TEST(PopupPlacement, StaysInsideTheWorkAreaOfItsMonitorAndOpensAboveWhenBelowIsFull)
{
    struct Row {
        const char* Name;
        TPoint Point;
        TSize Size;
        TRect Work;
        int EditorTop;
        TPoint Expected;
    };
    const Row rows[] = {
        {"Fits", {100, 200}, {200, 100}, {0, 0, 1024, 768}, 180, {100, 200}},
        {"PastTheRightEdge", {1024 - 100, 200}, {200, 100}, {0, 0, 1024, 768}, 180, {1024 - 201, 200}},
        {"LeftOfTheScreen", {-30, 200}, {200, 100}, {0, 0, 1024, 768}, 180, {0, 200}},
        {"SecondMonitorRightEdge", {1900, 200}, {200, 100}, {1024, 0, 2048, 768}, 180, {2048 - 201, 200}},
        {"SecondMonitorLeftEdge", {1000, 200}, {200, 100}, {1024, 0, 2048, 768}, 180, {1024, 200}},
        {"PastTheBottom", {100, 700}, {200, 100}, {0, 0, 1024, 768}, 680, {100, 580}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const TPoint p = PopupPosition(row.Point, row.Size, row.Work, row.EditorTop);
        EXPECT_EQ(p, row.Expected);
    }
}

TEST(Rolling, TheDistanceFromTheOriginGivesDirectionCursorAndInterval)
{
    struct Row {
        int Dy;
        TRollDirection Direction;
        TCursor Cursor;
        unsigned Interval;
    };
    const Row rows[] = {
        {0, TRollDirection::None, crRoll, 100},    {-5, TRollDirection::None, crRoll, 95},
        {5, TRollDirection::None, crRoll, 95},     {-6, TRollDirection::Up, crRollUp, 94},
        {6, TRollDirection::Down, crRollDown, 94}, {99, TRollDirection::Down, crRollDown, 1},
        {-100, TRollDirection::Up, crRollUp, 1},   {400, TRollDirection::Down, crRollDown, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Dy);
        EXPECT_EQ(RollDirection(row.Dy), row.Direction);
        EXPECT_EQ(RollCursor(RollDirection(row.Dy)), row.Cursor);
        EXPECT_EQ(RollInterval(row.Dy), row.Interval);
    }
}

}  // namespace
