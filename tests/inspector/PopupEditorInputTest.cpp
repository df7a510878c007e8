// The button and pop-up editors on a form, driven through the queue and real Qt keys: the drop-down's
// size, placement and pick, Esc, stepping, the list style's own paint, the pickers with text that is no
// date or colour, and the buttons' click and themed states.

#include "EditorTestSupport.h"

#include "inspector/Pickers.h"

#include "platform/ui/Services.h"
#include "toolkit/DateUtils.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// Editors on a form of one screen, today being 15 January 2025, with every error the queue reports kept.
template <class T> class PopupEditorTest : public EditorOnForm<T> {
public:
    PopupEditorTest()
    {
        SetNowFunction([] { return EncodeDate(2025, 1, 15) + 0.5; });
    }
    ~PopupEditorTest() override
    {
        SetNowFunction(nullptr);
        EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
    }
    // The user's press and release on the editor's button.
    void ClickButton()
    {
        this->Clock.Advance(1000);
        CellEditors::TSmallButton* button = this->Editor->GetButton();
        this->MouseAt(button, ui::WM_MOUSEMOVE, {5, 5});
        this->MouseAt(button, ui::WM_LBUTTONDOWN, {5, 5});
        this->MouseAt(button, ui::WM_LBUTTONUP, {5, 5});
    }
    void ClickPopup(TPoint client)
    {
        TPopupView* popup = this->Editor->GetPopup();
        this->Clock.Advance(1000);
        this->MouseAt(popup, ui::WM_MOUSEMOVE, client);
        this->MouseAt(popup, ui::WM_LBUTTONDOWN, client);
        this->MouseAt(popup, ui::WM_LBUTTONUP, client);
    }

    ui::RecordingExceptionHandler Errors;
    ui::ScopedService<ui::IExceptionHandler> ErrorsInPlace{ui::SetExceptionHandler, Errors};
    ui::FixedScreens Screens{{{ui::RECT{0, 0, 1024, 768}, ui::RECT{0, 0, 1024, 728}, true}}};
    ui::ScopedService<ui::IScreens> ScreensInPlace{ui::SetScreens, Screens};
};

std::unique_ptr<TStringList> Lines(int count)
{
    auto lines = std::make_unique<TStringList>();
    for (int i = 0; i < count; ++i)
        lines->Add("Item " + std::to_string(i));
    return lines;
}

using ComboEditorTest = PopupEditorTest<TComboBoxEditor>;

TEST_F(ComboEditorTest, TheButtonDropsTheListUnderTheEditorAndAPickSetsTheTextAfterPopupClose)
{
    Editor->SetItems(*Lines(20));
    Editor->SetText("free");
    std::vector<std::string> closing;
    struct Watcher {
        TComboBoxEditor* Editor;
        std::vector<std::string>* Seen;
        void Closed(TObject*) { Seen->push_back(Editor->GetText() + " " + std::to_string(Editor->GetItemIndex())); }
    } watcher{Editor, &closing};
    Editor->OnPopupClose = TNotifyEvent(&watcher, &Watcher::Closed);
    Show();
    ClickButton();
    auto* list = static_cast<TPopupList*>(Editor->GetPopup());
    ASSERT_FALSE(list->GetClosed());
    EXPECT_TRUE(Editor->GetButton()->GetPressed());
    EXPECT_EQ(list->GetClientHeight(), 8 * 16);
    EXPECT_EQ(list->GetWidth(), Editor->GetWidth());
    const TPoint corner = Editor->ClientToScreen(TPoint{-1, Editor->GetClientHeight()});
    EXPECT_EQ(list->ClientToScreen(TPoint{0, 0}), (TPoint{corner.x + 2, corner.y + 2})) << "under its frame";

    ClickPopup({10, 2 * 16 + 5});
    EXPECT_EQ(closing, std::vector<std::string>{"free 2"}) << "the index first, then the text";
    EXPECT_EQ(Editor->GetText(), "Item 2");
    EXPECT_TRUE(list->GetClosed());
    EXPECT_FALSE(Editor->GetButton()->GetPressed());
    EXPECT_EQ(Changes.Texts.back(), "Item 2");

    // Three lines open three rows high.
    Editor->SetItems(*Lines(3));
    ClickButton();
    EXPECT_EQ(list->GetClientHeight(), 3 * 16);
}

TEST_F(ComboEditorTest, EscClosesTheListAndLeavesTheTextAndHidingTheEditorClosesItToo)
{
    Editor->SetItems(*Lines(4));
    Editor->SetText("kept");
    Show();
    ClickButton();
    TPopupView* popup = Editor->GetPopup();
    ASSERT_FALSE(popup->GetClosed());
    Press(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_TRUE(popup->GetClosed());
    EXPECT_EQ(Editor->GetText(), "kept");
    EXPECT_FALSE(Editor->GetButton()->GetPressed());

    ClickButton();
    ASSERT_FALSE(popup->GetClosed());
    Editor->Hide();
    EXPECT_TRUE(popup->GetClosed());
}

TEST_F(ComboEditorTest, ArrowsStepOutsideTheGridAndTheWheelAlwaysWithinTheList)
{
    Editor->SetItems(*Lines(3));
    Show();
    struct Row {
        bool Embedded;
        int From;
        Qt::Key Key;  // Key_unknown: a wheel notch
        int Delta;
        int To;
    };
    const Row rows[] = {
        {false, -1, Qt::Key_Down, 0, 0},     {false, 1, Qt::Key_Down, 0, 2},      {false, 2, Qt::Key_Down, 0, 2},
        {false, 0, Qt::Key_Up, 0, 0},        {false, 2, Qt::Key_Up, 0, 1},        {true, 0, Qt::Key_Down, 0, 0},
        {true, 1, Qt::Key_Up, 0, 1},         {true, 2, Qt::Key_unknown, -120, 2}, {true, 1, Qt::Key_unknown, -120, 2},
        {false, 0, Qt::Key_unknown, 120, 0}, {true, 2, Qt::Key_unknown, 120, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "embedded " << row.Embedded << ", from " << row.From << ", key " << row.Key
                                          << ", wheel " << row.Delta);
        Editor->SetEmbedded(row.Embedded);
        Editor->SetItemIndex(row.From);
        if (row.Key != Qt::Key_unknown)
            Press(row.Key);
        else
            MouseAt(Editor, ui::WM_MOUSEWHEEL, {20, 8}, 0, row.Delta);
        EXPECT_EQ(Editor->GetItemIndex(), row.To);
        EXPECT_EQ(Editor->GetText(), "Item " + std::to_string(row.To));
    }
}

TEST_F(ComboEditorTest, InListStyleAPressOpensTheListAndTheValueIsPaintedHighlightedWhileFocused)
{
    Editor->SetItems(*Lines(3));
    Editor->SetStyle(dsDropDownList);
    Editor->SetItemIndex(1);
    Show();
    ui::UpdateWindow(Editor->GetHandle());
    QImage image = Printed();
    EXPECT_EQ(ClientPixel(image, 60, 2), Resolved(clHighlight));
    TRect text{2, 0, 100, Editor->GetClientHeight()};
    bool ink = false;
    for (int x = text.left; x < text.right && !ink; ++x)
        for (int y = 0; y < text.bottom && !ink; ++y)
            ink = ClientPixel(image, x, y) == Resolved(clHighlightText);
    EXPECT_TRUE(ink) << "the text in the highlight colour";

    Clock.Advance(1000);
    MouseAt(Editor, ui::WM_LBUTTONDOWN, {30, 8});
    EXPECT_FALSE(Editor->GetPopup()->GetClosed());
    EXPECT_TRUE(Editor->GetButton()->GetPressed());
    MouseAt(Editor, ui::WM_LBUTTONUP, {30, 8});
    EXPECT_FALSE(Editor->GetPopup()->GetClosed()) << "the opening release only arms it";
    Editor->GetPopup()->ClosePopup();

    // Unfocused, the cell has the editor's colour.
    auto* other = new TTextualEditor(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(10, 80, 100, 22);
    Pump();
    other->SetFocus();
    Pump();
    ui::UpdateWindow(Editor->GetHandle());
    EXPECT_EQ(ClientPixel(Printed(), 60, 2), Resolved(clWindow));
}

using DateEditorTest = PopupEditorTest<TDatePickerEditor>;

TEST_F(DateEditorTest, TheCalendarOpensOnTheEditorsDateAndOnTodayForTextThatIsNone)
{
    EXPECT_EQ(TDatePickerEditor(nullptr).GetText(), DateToStr(EncodeDate(2025, 1, 15))) << "made on today";
    Show();
    const struct {
        const char* Text;
        TDateTime Opens;
    } rows[] = {
        {"", EncodeDate(2025, 1, 15)},
        {"0", EncodeDate(2025, 1, 15)},
        {"no date", EncodeDate(2025, 1, 15)},
        {"", EncodeDate(2025, 1, 15)},
    };
    Editor->SetDate(EncodeDate(2024, 3, 9));
    ClickButton();
    auto* calendar = static_cast<TDatePopup*>(Editor->GetPopup());
    EXPECT_EQ(calendar->GetDate(), EncodeDate(2024, 3, 9));
    EXPECT_EQ(calendar->GetMonth(), 3);
    EXPECT_EQ(calendar->GetWidth(), 151);
    EXPECT_EQ(calendar->GetHeight(), 163);
    calendar->ClosePopup();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        Editor->SetText(row.Text);
        ClickButton();
        EXPECT_FALSE(calendar->GetClosed());
        EXPECT_EQ(calendar->GetDate(), row.Opens);
        calendar->ClosePopup();
        EXPECT_FALSE(Editor->GetButton()->GetPressed());
    }
    Editor->SetText("0");
    EXPECT_EQ(Editor->GetDate(), EncodeDate(2025, 1, 15));
    Editor->SetText("no date");
    EXPECT_THROW((void)Editor->GetDate(), EConvertError) << "the typed getter still raises";
}

using ColorEditorTest = PopupEditorTest<TColorPickerEditor>;

TEST_F(ColorEditorTest, ThePreviewShowsTheColourOrARedCrossAndPaintingNeverRaises)
{
    Show();
    const int h = Editor->GetClientHeight();
    const struct {
        const char* Text;
        bool Web;
        TColor Fill;  // clNone: the white box with the red cross
    } rows[] = {
        {"", false, clNone},       {"clRe", false, clNone},  {"clRed", false, clRed},
        {"#00FF00", true, clLime}, {"clBlue", true, clNone}, {"#1234567", true, clNone},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.Text << (row.Web ? " web" : ""));
        Editor->SetWebColorFormat(row.Web);
        Editor->SetText(row.Text);
        ui::UpdateWindow(Editor->GetHandle());
        const QImage image = Printed();
        // The box's inside runs from (2, 2) to (20, h - 2).
        if (row.Fill == clNone) {
            EXPECT_EQ(ClientPixel(image, 2, 2), Resolved(clRed)) << "the cross's first stroke";
            EXPECT_EQ(ClientPixel(image, 19, 2), Resolved(clRed)) << "its second";
            EXPECT_EQ(ClientPixel(image, 10, 2), Resolved(clWhite));
        } else {
            EXPECT_EQ(ClientPixel(image, 10, h / 2), Resolved(row.Fill));
            EXPECT_EQ(ClientPixel(image, 2, 2), Resolved(row.Fill));
        }
        ClickButton();
        EXPECT_FALSE(Editor->GetPopup()->GetClosed());
        EXPECT_EQ(static_cast<TColorPopup*>(Editor->GetPopup())->GetSelectedColor(), row.Fill);
        Editor->GetPopup()->ClosePopup();
    }
    Editor->SetWebColorFormat(false);
    Editor->SetText("clRe");
    EXPECT_THROW((void)Editor->GetSelectedColor(), EConvertError);
    Editor->SetSelectedColor(clNone);
    EXPECT_EQ(Editor->GetText(), "");
    Editor->SetWebColorFormat(true);
    Editor->SetSelectedColor(clRed);
    EXPECT_EQ(Editor->GetText(), "#FF0000");
}

using ButtonEditorTest = PopupEditorTest<TButtonEditor>;

TEST_F(ButtonEditorTest, OnlyAReleaseAfterAPressOnTheButtonClicksAndTheButtonKeepsClearOfTheText)
{
    int clicks = 0;
    struct Counter {
        int* Clicks;
        void Click(TObject*) { ++*Clicks; }
    } counter{&clicks};
    Editor->OnButtonClick = TNotifyEvent(&counter, &Counter::Click);
    Show();
    CellEditors::TSmallButton* button = Editor->GetButton();
    EXPECT_TRUE(button->GetVisible());
    EXPECT_EQ(button->GetBoundsRect(),
              TRect(Editor->GetClientWidth() - 21, 0, Editor->GetClientWidth(), Editor->GetClientHeight()));
    MouseAt(button, ui::WM_LBUTTONUP, {5, 5});
    EXPECT_EQ(clicks, 0);
    ClickButton();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Editor->Focused()) << "a press on the button focuses the editor";
    TRect r;
    Editor->GetEditRect(r);
    EXPECT_EQ(r.right, Editor->GetClientWidth() - 1 - 21);
    EXPECT_EQ(Line()->textMargins().right(), Editor->GetClientWidth() - r.right);
}

TEST_F(ButtonEditorTest, ThemedButtonsAskForTheirClassPartAndState)
{
    ThemedScope themed;
    Show();
    CellEditors::TSmallButton* button = Editor->GetButton();
    auto* spin = new TComboBoxEditor(Form.get());
    spin->SetParent(Form.get());
    spin->SetBounds(10, 60, 120, 22);
    Pump();
    CellEditors::TSmallButton* drop = spin->GetButton();
    struct Row {
        CellEditors::TSmallButton* Button;
        bool Hot;
        bool Pressed;
        const char* Class;
        int State;
    };
    for (const Row& row : {Row{button, false, false, "button", 1}, Row{button, true, false, "button", 2},
                           Row{button, true, true, "button", 3}, Row{drop, false, false, "combobox", 1},
                           Row{drop, true, false, "combobox", 2}, Row{drop, false, true, "combobox", 3}}) {
        SCOPED_TRACE(::testing::Message() << row.Class << " hot " << row.Hot << " pressed " << row.Pressed);
        row.Button->SetHot(row.Hot);
        row.Button->SetPressed(row.Pressed);
        themed.Styles.Requests.clear();
        row.Button->Repaint();
        ASSERT_FALSE(themed.Styles.Requests.empty());
        const auto& request = themed.Styles.Requests.back();
        EXPECT_EQ(request.ClassList, row.Class);
        EXPECT_EQ(request.Part, 1);
        EXPECT_EQ(request.State, row.State);
    }
}

using ImagePathEditorTest = PopupEditorTest<TImagePathEditor>;

TEST_F(ImagePathEditorTest, TheButtonRunsThePictureDialogAndAChosenFileBecomesTheText)
{
    ui::ScriptedFileDialogs dialogs;
    ui::ScopedService<ui::IFileDialogs> inPlace{ui::SetFileDialogs, dialogs};
    dialogs.Answers = {std::string("/pictures/a.png"), std::nullopt};
    Editor->SetText("before");
    Show();
    ClickButton();
    EXPECT_EQ(Editor->GetText(), "/pictures/a.png");
    ClickButton();  // cancelled
    EXPECT_EQ(Editor->GetText(), "/pictures/a.png");
    EXPECT_EQ(dialogs.Requests.size(), 2u);
}

using FontEditorTest = PopupEditorTest<TFontEditor>;

TEST_F(FontEditorTest, ListsTheScreensFontsAndShowsASampleInThePreview)
{
    EXPECT_EQ(Editor->GetItems()->GetCount(), Screen()->GetFonts()->GetCount());
    ASSERT_GT(Editor->GetItems()->GetCount(), 0);
    Editor->SetText(Editor->GetItems()->Get(0));
    Editor->SetShowPreview(true);
    Show();
    ui::UpdateWindow(Editor->GetHandle());
    EXPECT_EQ(ClientPixel(Printed(), 3, 3), Resolved(clHighlight)) << "the sample's background";
    ClickButton();
    auto* fonts = dynamic_cast<TFontPopup*>(Editor->GetPopup());
    ASSERT_NE(fonts, nullptr);
    EXPECT_EQ(fonts->GetItems(), Editor->GetItems());
    EXPECT_EQ(fonts->GetCount(), Editor->GetItems()->GetCount());
}

}  // namespace
