#pragma once
// A cell editor shown on a form of the offscreen platform: real Qt input to its line, and its window read
// back as printed, frame and children included.

#include "GridTestSupport.h"
#include "InspectorTestSupport.h"

#include "inspector/CellEditors.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "support/QtInput.h"

#include <QImage>
#include <QLineEdit>

#include <string>

namespace ovrel::inspector::testing {

/// Counts an editor's OnChange, with the text each one saw.
struct ChangeLog {
    void Changed(toolkit::TObject* sender) { Texts.push_back(static_cast<toolkit::TControl*>(sender)->GetText()); }
    std::vector<std::string> Texts;
};

template <class T> class EditorOnForm : public OnForm {
public:
    EditorOnForm()
    {
        Editor->SetParent(Form.get());
        Editor->SetBounds(10, 10, 150, 22);
        Editor->OnChange = toolkit::TNotifyEvent(&Changes, &ChangeLog::Changed);
    }

    void Show()
    {
        Form->Show();
        Pump();
        Editor->SetFocus();
        Pump();
    }
    [[nodiscard]] QLineEdit* Line() const { return qobject_cast<QLineEdit*>(ui::GetWindowWidget(Editor->GetHandle())); }
    void Type(const QString& text)
    {
        ovrel::test::SendQtText(Line(), text, [this] { Pump(); });
    }
    void Press(Qt::Key key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ovrel::test::SendQtKey(Line(), key, modifiers, text, [this] { Pump(); });
    }
    /// The editor's window printed over a green sheet, in window coordinates.
    [[nodiscard]] QImage Printed() const
    {
        QImage sheet(Editor->GetWidth(), Editor->GetHeight(), QImage::Format_RGB32);
        sheet.fill(qRgb(0, 255, 0));
        ui::HDC dc = ui::CreateImageDC(sheet, ui::POINT{0, 0}, nullptr);
        ui::SendMessage(Editor->GetHandle(), ui::WM_PRINT, reinterpret_cast<ui::WPARAM>(dc),
                        ui::PRF_NONCLIENT | ui::PRF_CLIENT | ui::PRF_CHILDREN);
        ui::DeleteImageDC(dc);
        return sheet;
    }
    /// A pixel of the printed window at a client point.
    [[nodiscard]] toolkit::TColor ClientPixel(const QImage& image, int x, int y) const
    {
        const ui::RECT inset = ui::GetClientInset(Editor->GetHandle());
        const QRgb p = image.pixel(inset.left + x, inset.top + y);
        return static_cast<toolkit::TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    [[nodiscard]] static toolkit::TColor WindowPixel(const QImage& image, int x, int y)
    {
        const QRgb p = image.pixel(x, y);
        return static_cast<toolkit::TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }

    T* Editor = new T(Form.get());
    ChangeLog Changes;
};

}  // namespace ovrel::inspector::testing
