#include "platform/ui/EditControl.h"

#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "platform/ui/Window_p.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QString>

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

namespace ovrel::ui {
namespace {

QLineEdit* LineOf(HWND window) { return qobject_cast<QLineEdit*>(GetWindowWidget(window)); }

void SetPasswordChar(QLineEdit* line, char16_t mask)
{
    if (mask == 0) {
        line->setEchoMode(QLineEdit::Normal);
        line->setStyleSheet(QString());
        return;
    }
    // Qt takes the mask from the style; a style sheet is the one per-widget way to set it.
    line->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1 }").arg(static_cast<int>(mask)));
    line->setEchoMode(QLineEdit::Password);
}

Qt::Alignment AlignmentOf(DWORD style)
{
    if ((style & ES_RIGHT) != 0)
        return Qt::AlignRight | Qt::AlignVCenter;
    if ((style & ES_CENTER) != 0)
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void ApplyCreateStyle(QLineEdit* line, const CREATESTRUCT& create)
{
    const auto style = static_cast<DWORD>(create.style);
    line->setAlignment(AlignmentOf(style));
    // The layer's frame styles decide whether the line draws its own frame, so that text margins are exact.
    line->setFrame((style & WS_BORDER) != 0 || (create.dwExStyle & WS_EX_CLIENTEDGE) != 0);
    line->setReadOnly((style & ES_READONLY) != 0);
    SetPasswordChar(line, (style & ES_PASSWORD) != 0 ? DefaultPasswordChar : char16_t{0});
    line->setText(QString::fromStdString(create.lpszName));
    line->setCursorPosition(0);
}

// The user's edits (typing, pasting) notify the parent; the program's sets do not (textEdited is not
// emitted for setText).
void NotifyChange(QLineEdit* line)
{
    try {
        HWND window = WindowFromWidget(line);
        if (window == nullptr)
            return;
        const auto id = static_cast<int>(GetWindowLongPtr(window, GWL_ID));
        const ScopedControlCall call;  // the line is emitting: the parent may destroy the window
        if (HWND parent = GetParent(window); parent != nullptr)
            SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, static_cast<int>(EN_CHANGE)),
                        reinterpret_cast<LPARAM>(window));
    } catch (...) {
        ReportException(std::current_exception());
    }
}

// Keeps the window's own text in step, so whatever reads it without asking the widget sees the line.
void StoreText(QLineEdit* line)
{
    try {
        if (HWND window = WindowFromWidget(line); window != nullptr) {
            const std::string text = line->text().toStdString();
            DefWindowProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    } catch (...) {
        ReportException(std::current_exception());
    }
}

QWidget* MakeLine()
{
    auto* line = new QLineEdit;
    QObject::connect(line, &QLineEdit::textChanged, line, [line] { StoreText(line); });
    QObject::connect(line, &QLineEdit::textEdited, line, [line] { NotifyChange(line); });
    // The window procedure opens the menu (WM_CONTEXTMENU), so that a subclass sees it and Paste.
    line->setContextMenuPolicy(Qt::PreventContextMenu);
    return line;
}

// Ctrl+V and Shift+Insert paste through WM_PASTE, so that a subclass may filter the text first.
bool IsPasteKey(WPARAM key)
{
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    return (key == 'V' && control && !shift) || (key == VK_INSERT && shift && !control);
}

// Characters are typed from WM_CHAR, so that a window procedure may change or drop them first; control
// characters (Backspace, Enter, Ctrl+letters) are the line's keys and reach it with their key press.
bool IsTypedCharacter(char32_t c) { return c >= 0x20 && c != 0x7F; }

bool TypesCharacters(HWND window)
{
    const std::u32string text = TextOfDispatchedKey(window, WM_KEYDOWN);
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTypedCharacter);
}

void PasteFromClipboard(QLineEdit* line)
{
    if (line->isReadOnly())  // QLineEdit itself would ignore the read-only state
        return;
    IClipboard& clipboard = Clipboard();
    if (clipboard.HasText())
        line->insert(QString::fromStdString(clipboard.Text()));  // the user's edit: EN_CHANGE follows
}

// Takes the line's own paste off a menu entry; true when it was this entry's. Qt may have connected it
// either way.
bool TakePaste(QAction* action, QLineEdit* line)
{
    if (QObject::disconnect(action, &QAction::triggered, line, &QLineEdit::paste))
        return true;
    const QMetaObject* meta = line->metaObject();
    const int paste = meta->indexOfSlot("paste()");
    return paste >= 0 &&
           QObject::disconnect(action, QMetaMethod::fromSignal(&QAction::triggered), line, meta->method(paste));
}

// The line's own menu at a screen point ((-1, -1): at the caret), its Paste sent as WM_PASTE.
void ShowStandardMenu(QLineEdit* line, LPARAM lParam)
{
    QMenu* menu = line->createStandardContextMenu();  // owned by the line
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (!TakePaste(action, line))
            continue;
        action->setEnabled(!line->isReadOnly() && Clipboard().HasText());
        QObject::connect(action, &QAction::triggered, line, [line] {
            try {
                if (HWND window = WindowFromWidget(line); window != nullptr)
                    SendMessage(window, WM_PASTE, 0, 0);
            } catch (...) {
                ReportException(std::current_exception());
            }
        });
    }
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    menu->popup(at.x == -1 && at.y == -1
                    ? line->mapToGlobal(line->inputMethodQuery(Qt::ImCursorRectangle).toRect().bottomLeft())
                    : QPoint(at.x, at.y));
}

LRESULT SetSelection(QLineEdit* line, WPARAM wParam, LPARAM lParam)
{
    const int length = static_cast<int>(line->text().size());
    int start = static_cast<int>(static_cast<std::int32_t>(wParam));
    int end = static_cast<int>(static_cast<std::int32_t>(lParam));
    if (start == -1) {  // drop the selection, keep the caret
        line->deselect();
        return 0;
    }
    if (end < 0)
        end = length;
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    if (start == end) {
        line->deselect();
        line->setCursorPosition(end);
    } else {
        line->setSelection(start, end - start);  // the caret ends at end, also when end < start
    }
    return 0;
}

LRESULT GetSelection(QLineEdit* line, WPARAM wParam, LPARAM lParam)
{
    int start = line->cursorPosition();
    int end = start;
    if (line->hasSelectedText()) {
        start = line->selectionStart();
        end = line->selectionEnd();
    }
    if (auto* out = reinterpret_cast<DWORD*>(wParam); out != nullptr)
        *out = static_cast<DWORD>(start);
    if (auto* out = reinterpret_cast<DWORD*>(lParam); out != nullptr)
        *out = static_cast<DWORD>(end);
    if (start > 0xFFFF || end > 0xFFFF)
        return -1;  // does not pack; the pointers hold the positions
    return MAKELPARAM(start, end);
}

LRESULT SetEditRect(HWND window, QLineEdit* line, LPARAM lParam)
{
    const auto* rect = reinterpret_cast<const RECT*>(lParam);
    if (rect == nullptr) {
        line->setTextMargins(0, 0, 0, 0);
        return 0;
    }
    RECT client;
    GetClientRect(window, &client);
    line->setTextMargins(std::max(0, rect->left), std::max(0, rect->top), std::max(0, client.right - rect->right),
                         std::max(0, client.bottom - rect->bottom));
    return 0;
}

LRESULT CopyText(QLineEdit* line, WPARAM size, LPARAM buffer)
{
    if (size == 0 || buffer == 0)
        return 0;
    const std::string text = line->text().toStdString();
    std::size_t count = std::min<std::size_t>(size - 1, text.size());
    // Never cut a character in half.
    while (count > 0 && count < text.size() && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80)
        --count;
    std::memcpy(reinterpret_cast<char*>(buffer), text.data(), count);
    reinterpret_cast<char*>(buffer)[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QLineEdit* line = LineOf(window);
    if (line == nullptr)
        return DefWindowProc(window, message, wParam, lParam);
    switch (message) {
    case WM_NCCREATE:
        if (const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam); create != nullptr)
            ApplyCreateStyle(line, *create);
        break;
    case WM_SETTEXT: {
        const QString text = lParam != 0 ? QString::fromUtf8(reinterpret_cast<const char*>(lParam)) : QString();
        if (text == line->text())
            return TRUE;  // caret and selection stay, nobody hears of it
        line->setText(text);
        line->setCursorPosition(0);
        return TRUE;
    }
    case WM_GETTEXT: return CopyText(line, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(line->text().toStdString().size());
    case EM_SETSEL: return SetSelection(line, wParam, lParam);
    case EM_GETSEL: return GetSelection(line, wParam, lParam);
    case EM_SETRECTNP: return SetEditRect(window, line, lParam);
    case EM_SETPASSWORDCHAR: SetPasswordChar(line, static_cast<char16_t>(wParam)); return 0;
    case EM_SETREADONLY: line->setReadOnly(wParam != 0); return TRUE;
    case WM_KEYDOWN:
        if (IsPasteKey(wParam)) {
            SendMessage(window, WM_PASTE, 0, 0);  // the line does not see the key
            return 0;
        }
        if (TypesCharacters(window))
            return 0;  // typed when its WM_CHAR comes here
        break;
    case WM_CHAR:
        if (IsTypedCharacter(static_cast<char32_t>(wParam)) && !line->isReadOnly()) {
            const auto c = static_cast<char32_t>(wParam);
            line->insert(QString::fromUcs4(&c, 1));  // the user's edit: EN_CHANGE follows
        }
        return 0;
    case WM_PASTE: PasteFromClipboard(line); return 0;
    case WM_CONTEXTMENU: ShowStandardMenu(line, lParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    default: break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterEditClass()
{
    WNDCLASS windowClass;
    windowClass.lpszClassName = std::string(EDIT_CLASS);
    windowClass.lpfnWndProc = EditProc;
    windowClass.widgetFactory = MakeLine;
    RegisterClass(windowClass);
}

}  // namespace ovrel::ui
