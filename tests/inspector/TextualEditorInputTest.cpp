// The textual editor on a form, typed into with real Qt keys: its two change paths, Enter, the select-all
// strip, the text rectangle handed to the window, the border and the preview box read back from the
// printed window, and a memo's line breaks.

#include "EditorTestSupport.h"

#include "inspector/Resources.h"

#include <gtest/gtest.h>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

using TextualEditorTest = EditorOnForm<TTextualEditor>;

TEST_F(TextualEditorTest, TypingAlwaysChangesAProgramsTextOnlyWithoutTheLockAndMakingTheWindowNever)
{
    Editor->SetText("start");  // no window yet: a program's text
    ASSERT_EQ(Changes.Texts, std::vector<std::string>{"start"});
    Changes.Texts.clear();
    Show();
    ASSERT_TRUE(Editor->HandleAllocated());
    EXPECT_TRUE(Changes.Texts.empty()) << "making the window is no change";

    Editor->SetChangeLock(true);
    Editor->SetText("loaded");
    EXPECT_TRUE(Changes.Texts.empty());
    Editor->MoveCaretToEnd();
    Type(QStringLiteral("ab"));  // the lock does not stop typing
    EXPECT_EQ(Changes.Texts, (std::vector<std::string>{"loadeda", "loadedab"}));
    Editor->SetChangeLock(false);
    Editor->SetText("program");
    EXPECT_EQ(Changes.Texts.back(), "program");
    EXPECT_EQ(Changes.Texts.size(), 3u);

    // An equal text is no change and keeps the caret and the selection.
    Editor->SetSelStart(3);
    Editor->SetText("program");
    EXPECT_EQ(Editor->GetSelStart(), 3);
    EXPECT_EQ(Changes.Texts.size(), 3u);
    ui::SendMessage(Editor->GetHandle(), ui::EM_SETSEL, 1, 4);
    Editor->SetAsString("program");
    EXPECT_EQ(Editor->GetSelText(), "rog");
}

TEST_F(TextualEditorTest, EnterInsertsNothingAndReadOnlyTakesNoTyping)
{
    Show();
    Type(QStringLiteral("ab"));
    Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(Editor->GetText(), "ab");
    EXPECT_EQ(Changes.Texts.size(), 2u);
    Editor->SetReadOnly(true);
    Type(QStringLiteral("c"));
    EXPECT_EQ(Editor->GetText(), "ab");
    Editor->SetPasswordChar(u'#');
    EXPECT_EQ(Line()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Editor->GetText(), "ab");
}

TEST_F(TextualEditorTest, APressInTheLeftStripSelectsAllAndShowsTheReversedArrow)
{
    Editor->SetText("some text");
    Show();
    struct Row {
        int X;
        bool SelectsAll;
        TCursor Cursor;
    };
    for (const Row& row : {Row{0, true, crReversedArrow}, Row{2, true, crReversedArrow}, Row{3, false, crDefault},
                           Row{40, false, crDefault}}) {
        SCOPED_TRACE(row.X);
        Editor->SetSelStart(0);
        Clock.Advance(1000);
        MouseAt(Editor, ui::WM_MOUSEMOVE, {row.X, 8});
        EXPECT_EQ(Editor->GetCursor(), row.Cursor);
        MouseAt(Editor, ui::WM_LBUTTONDOWN, {row.X, 8});
        MouseAt(Editor, ui::WM_LBUTTONUP, {row.X, 8});
        EXPECT_EQ(Editor->GetSelText(), row.SelectsAll ? "some text" : "");
    }
}

TEST_F(TextualEditorTest, AutoSelectSelectsAllOnEntering)
{
    auto* other = new TTextualEditor(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(10, 60, 100, 22);
    Editor->SetText("whole");
    Editor->SetAutoSelect(true);
    Show();
    other->SetFocus();
    Pump();
    Editor->SetSelStart(2);
    Editor->SetFocus();
    Pump();
    EXPECT_EQ(Editor->GetSelText(), "whole");
}

TEST_F(TextualEditorTest, TheWindowLaysTheTextInTheEditRectangleClearOfThePreviewBox)
{
    Show();
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview);
        Editor->SetShowPreview(preview);
        TRect r;
        Editor->GetEditRect(r);
        EXPECT_EQ(r.left, preview ? 29 : 2);
        const QMargins margins = Line()->textMargins();
        EXPECT_EQ(margins.left(), r.left);
        EXPECT_EQ(margins.top(), std::max(0, r.top));
        EXPECT_EQ(margins.right(), Editor->GetClientWidth() - r.right);
    }
}

TEST_F(TextualEditorTest, TheBorderAndThePreviewBoxAreDrawnOverTheWindow)
{
    struct Painter {
        int Calls = 0;
        TRect Box;
        TTextualEditor* Editor;
        void Draw(TObject*, const TRect& rect)
        {
            ++Calls;
            Box = rect;
            Editor->GetCanvas()->GetBrush()->SetColor(clRed);
            Editor->GetCanvas()->FillRect(rect);
        }
    } painter{0, {}, Editor};
    Editor->OnCustomPreviewDraw = TCustomPreviewDrawEvent(&painter, &Painter::Draw);
    Editor->SetShowPreview(true);
    Show();
    ui::UpdateWindow(Editor->GetHandle());
    const int h = Editor->GetClientHeight();
    EXPECT_EQ(Editor->GetClientWidth(), 150 - 4) << "a 2-pixel edge without visual styles";
    ASSERT_GT(painter.Calls, 0);
    EXPECT_EQ(painter.Box, TRect(2, 2, 20, h - 2));

    const QImage image = Printed();
    // The sunken edge: shadow outside, dark shadow inside at the top left, light at the bottom right.
    EXPECT_EQ(WindowPixel(image, 0, 5), Resolved(clBtnShadow));
    EXPECT_EQ(WindowPixel(image, 1, 5), Resolved(cl3DDkShadow));
    EXPECT_EQ(WindowPixel(image, 149, 5), Resolved(clBtnHighlight));
    // The box: a black frame 20 pixels wide, 1 pixel in, filled by the handler.
    EXPECT_EQ(ClientPixel(image, 1, h / 2), clBlack);
    EXPECT_EQ(ClientPixel(image, 20, h / 2), clBlack);
    EXPECT_EQ(ClientPixel(image, 10, 1), clBlack);
    EXPECT_EQ(ClientPixel(image, 10, h / 2), clRed);
    EXPECT_NE(ClientPixel(image, 21, h / 2), clBlack);
    EXPECT_NE(ClientPixel(image, 0, h / 2), clBlack);

    // Without a border the client is the whole window and nothing is drawn around it.
    Editor->SetBorderStyle(TBorderStyle::bsNone);
    Pump();
    EXPECT_EQ(Editor->GetClientWidth(), 150);
    EXPECT_EQ(ClientPixel(Printed(), 1, h / 2), clBlack);
}

TEST_F(TextualEditorTest, UnderVisualStylesTheFrameIsOnePixelOfTheEditClass)
{
    ThemedScope themed;
    Show();
    EXPECT_EQ(Editor->GetClientWidth(), 150 - 2);
    themed.Styles.Requests.clear();
    Editor->PaintBorder();
    ASSERT_EQ(themed.Styles.Requests.size(), 1u);
    const auto& request = themed.Styles.Requests.front();
    EXPECT_EQ(request.ClassList, "edit");
    EXPECT_EQ(request.Part, 1);
    EXPECT_EQ(request.State, 1);
    EXPECT_EQ(request.Rect, ui::RECT(0, 0, 150, 22));
}

TEST_F(TextualEditorTest, AMemosLineBreaksStayThoughTheWindowShowsOneLine)
{
    Show();
    Editor->SetText("first\r\nsecond\nthird");
    EXPECT_EQ(Editor->GetText(), "first\r\nsecond\nthird");
    EXPECT_EQ(Line()->text(), QStringLiteral("first second third"));
    // Once the user edits the line, the line is the text.
    Editor->MoveCaretToEnd();
    Type(QStringLiteral("!"));
    EXPECT_EQ(Editor->GetText(), "first second third!");
}

}  // namespace
