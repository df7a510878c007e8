#include "platform/ui/EditControl.h"

#include "WindowTestSupport.h"
#include "support/QtInput.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ovrel::ui::test {
namespace {

constexpr int EditId = 7;

class EditControlTest : public WindowTest {
protected:
    HWND MakeEdit(DWORD style = 0, const char* text = "")
    {
        Parent = Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 250});
        HWND edit = CreateWindowEx(0, EDIT_CLASS, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 120, 24, Parent);
        SetWindowLongPtr(edit, GWL_ID, EditId);
        Line = qobject_cast<QLineEdit*>(GetWindowWidget(edit));
        SetFocus(edit);
        Pump();
        Rec.Log.clear();
        return edit;
    }
    void Type(Qt::Key key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ovrel::test::SendQtKey(Line, key, modifiers, text, [this] { Pump(); });
    }
    std::vector<Received> Changes() const { return Rec.Of(WM_COMMAND); }
    std::pair<DWORD, DWORD> Selection(HWND edit, LRESULT* packed = nullptr)
    {
        DWORD start = 99;
        DWORD end = 99;
        const LRESULT result =
            SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (packed != nullptr)
            *packed = result;
        return {start, end};
    }

    HWND Parent = nullptr;
    QLineEdit* Line = nullptr;
};

TEST_F(EditControlTest, OnlyTheUsersEditsNotifyTheParent)
{
    HWND edit = MakeEdit(0, "abc");
    ASSERT_NE(Line, nullptr);  // the class exists without anyone registering it
    EXPECT_EQ(GetWindowText(edit), "abc");

    SetWindowText(edit, "héllo");
    EXPECT_EQ(GetWindowText(edit), "héllo");
    EXPECT_EQ(GetWindowTextLength(edit), 6);  // bytes of the text
    EXPECT_TRUE(Changes().empty());

    // An equal set keeps the caret and the selection.
    SendMessage(edit, EM_SETSEL, 1, 3);
    SetWindowText(edit, "héllo");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{1}, DWORD{3}));

    SendMessage(edit, EM_SETSEL, 5, 5);
    Type(Qt::Key_X, QStringLiteral("x"));
    EXPECT_EQ(GetWindowText(edit), "héllox");
    auto changes = Changes();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Window, Parent);
    EXPECT_EQ(changes[0].WParam, MAKEWPARAM(EditId, static_cast<int>(EN_CHANGE)));
    EXPECT_EQ(changes[0].LParam, reinterpret_cast<LPARAM>(edit));

    // A paste is the user's edit too.
    Rec.Log.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowText(edit), "zz");
    EXPECT_EQ(Changes().size(), 1u);

    // A short buffer gets whole characters only.
    SetWindowText(edit, "aé");
    char buffer[3] = {'?', '?', '?'};
    EXPECT_EQ(SendMessage(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_STREQ(buffer, "a");
}

TEST_F(EditControlTest, AParentThatThrowsOnTheChangeIsReportedAndTheTypingStands)
{
    HWND edit = MakeEdit(0, "ab");
    Rec.OnMessage = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_COMMAND)
            throw std::runtime_error("handler failed");
        return std::nullopt;
    };
    SendMessage(edit, EM_SETSEL, 2, 2);
    Type(Qt::Key_C, QStringLiteral("c"));
    EXPECT_EQ(GetWindowText(edit), "abc");
    ASSERT_EQ(Errors.Messages.size(), 1u);
    EXPECT_NE(Errors.Messages[0].find("handler failed"), std::string::npos);
    Rec.OnMessage = nullptr;
}

TEST_F(EditControlTest, TypedCharactersComeAsWmCharSoThatTheProcedureMayChangeOrDropThem)
{
    HWND edit = MakeEdit(0, "");
    WNDPROC classProc = SetWindowProc(edit, nullptr);
    SetWindowProc(edit, [classProc](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_CHAR && wp == 'x')
            return 0;
        if (m == WM_CHAR && wp == 'a')
            wp = 'b';
        return CallWindowProc(classProc, w, m, wp, lp);
    });
    ovrel::test::SendQtText(Line, QStringLiteral("xaY 1"), [this] { Pump(); });
    EXPECT_EQ(GetWindowText(edit), "bY 1");
    EXPECT_EQ(Changes().size(), 4u);

    // The line's own keys still reach it with their key press.
    Type(Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(GetWindowText(edit), "bY ");
    Type(Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{3}));
    DestroyWindow(edit);  // while the subclass's state lives
}

TEST_F(EditControlTest, PastingByKeyOrMenuGoesThroughTheWindowProcedure)
{
    FakeClipboard clipboard;
    ScopedService<IClipboard> scoped{SetClipboard, clipboard};
    QGuiApplication::clipboard()->setText(QStringLiteral("QT"));  // what the line would paste by itself
    HWND edit = MakeEdit(0, "ab");
    WNDPROC classProc = SetWindowProc(edit, nullptr);
    int pastes = 0;
    bool filter = false;
    SetWindowProc(edit, [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_PASTE) {
            ++pastes;
            if (filter) {
                SetWindowText(w, "filtered");
                return 0;
            }
        }
        return CallWindowProc(classProc, w, m, wp, lp);
    });
    auto byMenu = [edit, &clipboard] {
        SendMessage(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(-1, -1));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) {
                EXPECT_EQ(action->isEnabled(), clipboard.HasText());
                action->trigger();
            }
        }
        menu->close();
    };
    struct Row {
        const char* name;
        std::function<void()> paste;
    };
    const Row rows[] = {
        {"CtrlV", [this] { Type(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier); }},
        {"ShiftInsert", [this] { Type(Qt::Key_Insert, {}, Qt::ShiftModifier); }},
        {"ContextMenu", byMenu},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        clipboard.Content = "12";
        filter = false;
        SetWindowText(edit, "ab");
        SendMessage(edit, EM_SETSEL, 1, 1);
        pastes = 0;
        Rec.Log.clear();
        row.paste();
        EXPECT_EQ(pastes, 1);
        EXPECT_EQ(GetWindowText(edit), "a12b");  // the default pastes our clipboard's text at the caret
        EXPECT_EQ(Changes().size(), 1u);

        // A procedure that answers the paste itself has the last word.
        filter = true;
        row.paste();
        EXPECT_EQ(GetWindowText(edit), "filtered");

        // Nothing on the clipboard pastes nothing and keeps the selection.
        filter = false;
        clipboard.Content.reset();
        SendMessage(edit, EM_SETSEL, 0, 3);
        row.paste();
        EXPECT_EQ(GetWindowText(edit), "filtered");
        EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{3}));
    }
    DestroyWindow(edit);  // while the subclass's state lives
}

TEST_F(EditControlTest, AParentThatDestroysTheEditOnAPastedChangeLeavesNothingBehind)
{
    FakeClipboard clipboard;
    clipboard.Content = "12";
    ScopedService<IClipboard> scoped{SetClipboard, clipboard};
    HWND edit = MakeEdit(0, "ab");
    Rec.OnMessage = [edit](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_COMMAND && IsWindow(edit))
            DestroyWindow(edit);  // while the line is still inside its paste
        return std::nullopt;
    };
    Type(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    EXPECT_FALSE(IsWindow(edit));
    ProcessQtEvents();
    EXPECT_TRUE(Errors.Messages.empty());
}

TEST_F(EditControlTest, SelectionRoundTrips)
{
    HWND edit = MakeEdit(0, "abcdef");
    struct Row {
        const char* name;
        int start;
        int end;
        DWORD wantStart;
        DWORD wantEnd;
        int wantCaret;
    };
    const Row rows[] = {
        {"All", 0, -1, 0, 6, 6},  {"Part", 1, 3, 1, 3, 3},        {"Backwards", 4, 1, 1, 4, 1},
        {"Caret", 2, 2, 2, 2, 2}, {"PastTheEnd", 1, 99, 1, 6, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(row.start), static_cast<LPARAM>(row.end));
        LRESULT packed = 0;
        EXPECT_EQ(Selection(edit, &packed), std::make_pair(row.wantStart, row.wantEnd));
        EXPECT_EQ(packed, MAKELPARAM(static_cast<int>(row.wantStart), static_cast<int>(row.wantEnd)));
        EXPECT_EQ(Line->cursorPosition(), row.wantCaret);
    }
    // -1 drops the selection and keeps the caret.
    SendMessage(edit, EM_SETSEL, 1, 4);
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{4}, DWORD{4}));
    EXPECT_TRUE(Changes().empty());
}

TEST_F(EditControlTest, ReadOnlyRefusesTypedAndPastedText)
{
    HWND edit = MakeEdit(ES_READONLY, "ro");
    QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "ByStyle" : "ByMessage");
        Type(Qt::Key_X, QStringLiteral("x"));
        SendMessage(edit, WM_PASTE, 0, 0);
        Type(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        EXPECT_EQ(GetWindowText(edit), "ro");
        EXPECT_TRUE(Changes().empty());
        SendMessage(edit, EM_SETREADONLY, FALSE, 0);
        SendMessage(edit, EM_SETSEL, 2, 2);
        Type(Qt::Key_X, QStringLiteral("x"));
        EXPECT_EQ(GetWindowText(edit), "rox");
        EXPECT_EQ(Changes().size(), 1u);
        SetWindowText(edit, "ro");
        SendMessage(edit, EM_SETREADONLY, TRUE, 0);
        Rec.Log.clear();
    }
}

TEST_F(EditControlTest, FormattingRectangleBecomesTextMargins)
{
    HWND edit = MakeEdit();
    const RECT rect{5, 2, 100, 20};  // client 120 x 24
    SendMessage(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(Line->textMargins(), QMargins(5, 2, 20, 4));
    const RECT outside{-3, -1, 200, 30};
    SendMessage(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&outside));
    EXPECT_EQ(Line->textMargins(), QMargins(0, 0, 0, 0));
    SendMessage(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
    SendMessage(edit, EM_SETRECTNP, 0, 0);
    EXPECT_EQ(Line->textMargins(), QMargins(0, 0, 0, 0));
}

TEST_F(EditControlTest, PasswordMaskFollowsStyleAndMessage)
{
    HWND edit = MakeEdit(ES_PASSWORD, "abc");
    EXPECT_EQ(Line->displayText(), QStringLiteral("***"));
    SendMessage(edit, EM_SETPASSWORDCHAR, '#', 0);
    EXPECT_EQ(Line->displayText(), QStringLiteral("###"));
    SendMessage(edit, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(Line->displayText(), QStringLiteral("abc"));
    EXPECT_EQ(GetWindowText(edit), "abc");
}

TEST_F(EditControlTest, AlignmentStyles)
{
    struct Row {
        const char* name;
        DWORD style;
        Qt::Alignment want;
    };
    const Row rows[] = {
        {"Left", ES_LEFT, Qt::AlignLeft}, {"Center", ES_CENTER, Qt::AlignHCenter}, {"Right", ES_RIGHT, Qt::AlignRight}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MakeEdit(row.style | ES_AUTOHSCROLL | ES_MULTILINE);
        EXPECT_EQ(Line->alignment() & Qt::AlignHorizontal_Mask, row.want);
    }
}

TEST_F(EditControlTest, EnterReachesTheWindowAndLeavesTheText)
{
    HWND edit = MakeEdit(0, "abc");
    WNDPROC classProc = SetWindowProc(edit, nullptr);
    std::vector<WPARAM> keys;
    SetWindowProc(edit, [&keys, classProc](HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_KEYDOWN)
            keys.push_back(wp);
        return CallWindowProc(classProc, w, m, wp, lp);
    });
    Type(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(keys, std::vector<WPARAM>{VK_RETURN});
    EXPECT_EQ(GetWindowText(edit), "abc");
    EXPECT_TRUE(Changes().empty());
    DestroyWindow(edit);  // while the recording procedure's state lives
}

}  // namespace
}  // namespace ovrel::ui::test
