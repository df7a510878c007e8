#include "toolkit/ComCtrls.h"

#include "platform/ui/Gdi.h"
#include "toolkit/SysUtils.h"

#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QTime>
#include <QTimeEdit>

#include <algorithm>
#include <utility>

namespace ovrel::toolkit {

namespace {

TDateTime Combine(TDateTime datePart, TDateTime timePart)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeDate(datePart, year, month, day);
    DecodeTime(timePart, hour, minute, second, millisecond);
    return EncodeDateTime(year, month, day, hour, minute, second, millisecond);
}

}  // namespace

// --- TCustomTabControl -------------------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* owner) : TCustomControl(owner) {}

std::vector<int> TCustomTabControl::TabEdges() const
{
    // Measured with the control's font on a memory DC, so hit tests outside a paint agree with the paint.
    ui::HDC dc = ui::CreateCompatibleDC(nullptr);
    const ui::HGDIOBJ old = ui::SelectObject(dc, GetFont()->GetHandle());
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < TabCount(); ++i) {
        ui::SIZE text{};
        ui::GetTextExtentPoint32(dc, TabCaption(i), &text);
        right += std::max(TabWidth, text.cx + 2 * TabTextMargin);
        edges.push_back(right);
    }
    ui::SelectObject(dc, old);
    ui::DeleteDC(dc);
    return edges;
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const
{
    if (y < 0 || y >= TabStripHeight || x < 0)
        return -1;
    const std::vector<int> edges = TabEdges();
    const auto at = std::upper_bound(edges.begin(), edges.end(), x);
    return at == edges.end() ? -1 : static_cast<int>(at - edges.begin());
}

void TCustomTabControl::AdjustClientRect(ui::RECT& rect)
{
    TCustomControl::AdjustClientRect(rect);
    rect.top = std::min(rect.bottom, rect.top + TabStripHeight);
}

void TCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    const int index = IndexOfTabAt(x, y);
    if (index < 0 || index == CurrentTab())
        return;
    SelectTab(index);
    OnChange(this);  // may free this control: nothing follows
}

void TCustomTabControl::Paint()
{
    TCanvas& canvas = *GetCanvas();
    const int width = GetClientWidth();
    const int height = GetClientHeight();
    const int active = CurrentTab();
    canvas.GetBrush()->SetColor(clBtnFace);
    canvas.FillRect({0, 0, width, height});
    const std::vector<int> edges = TabEdges();
    for (int i = 0; i < TabCount(); ++i) {
        const int left = i == 0 ? 0 : edges[static_cast<std::size_t>(i) - 1];
        const TRect tab{left, i == active ? 0 : 2, edges[static_cast<std::size_t>(i)] - 1, TabStripHeight};
        canvas.Rectangle(tab);
        // Inside the outline: the text's background would cover it.
        const TRect inside{tab.left + 1, tab.top + 1, tab.right - 1, tab.bottom};
        canvas.TextRect(inside, tab.left + TabTextMargin, tab.top + 3, TabCaption(i));
    }
    canvas.FrameRect({0, TabStripHeight - 1, width, height});
}

std::string TPageControl::TabCaption(int index) const { return FPages[static_cast<std::size_t>(index)]->GetCaption(); }

// --- TTabSheet ---------------------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(GetControlStyle().Include(csAcceptsControls));
    SetAlign(alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (FPageControl != nullptr)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) { SetParent(value); }

int TTabSheet::GetPageIndex() const
{
    if (FPageControl == nullptr)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetParent(TWinControl* value)
{
    auto* pageControl = dynamic_cast<TPageControl*>(value);
    if (FPageControl != nullptr && FPageControl != pageControl)
        FPageControl->RemovePage(this);
    TCustomControl::SetParent(value);
    if (pageControl != nullptr && FPageControl != pageControl)
        pageControl->InsertPage(this);
}

// --- TPageControl ------------------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner)
{
    SetControlStyle(GetControlStyle().Include(csAcceptsControls));
}

TPageControl::~TPageControl()
{
    // The base frees the sheets; they must not reach back into a half-destroyed control.
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::GetPage(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return FPages[static_cast<std::size_t>(index)];
}

void TPageControl::SetActivePage(TTabSheet* value)
{
    if (value != nullptr && value->FPageControl != this)
        return;
    if (value == FActivePage)
        return;
    FActivePage = value;
    ShowActive();
}

int TPageControl::GetActivePageIndex() const { return FActivePage != nullptr ? FActivePage->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) { SetActivePage(GetPage(value)); }

void TPageControl::InsertPage(TTabSheet* page)
{
    FPages.push_back(page);
    page->FPageControl = this;
    if (FActivePage == nullptr)
        FActivePage = page;
    ShowActive();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto found = std::find(FPages.begin(), FPages.end(), page);
    if (found == FPages.end())
        return;
    const auto index = found - FPages.begin();
    FPages.erase(found);
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        // The neighbour that takes the removed tab's place, else the one before it.
        const auto count = static_cast<std::ptrdiff_t>(FPages.size());
        FActivePage = count == 0 ? nullptr : FPages[static_cast<std::size_t>(std::min(index, count - 1))];
    }
    ShowActive();
}

void TPageControl::ShowActive()
{
    for (TTabSheet* page : FPages)
        page->SetVisible(page == FActivePage);
    Invalidate();
}

// --- TTabControl -------------------------------------------------------------------------------------------

void TTabStrings::Changed()
{
    TStringList::Changed();
    FControl.TabsChanged();
}

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner), FTabs(std::make_unique<TTabStrings>(*this))
{
    SetControlStyle(GetControlStyle().Include(csAcceptsControls));
}

TTabControl::~TTabControl() = default;

void TTabControl::SetTabs(const TStrings* value)
{
    if (value != nullptr)
        FTabs->Assign(*value);
    else
        FTabs->Clear();
}

void TTabControl::SetTabIndex(int value)
{
    if (value < 0 || value >= FTabs->GetCount())
        value = -1;
    if (value == FTabIndex)
        return;
    FTabIndex = value;
    Invalidate();
}

void TTabControl::TabsChanged()
{
    // A list that shrank below the current tab leaves no tab selected; a first tab becomes the current one.
    if (FTabIndex >= FTabs->GetCount())
        FTabIndex = -1;
    if (FTabIndex < 0 && FTabs->GetCount() > 0)
        FTabIndex = 0;
    Invalidate();
}

// --- TDateTimePicker ---------------------------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* owner) : TNativeControl(owner) { SetBounds(0, 0, 186, 23); }

TDateTimePicker::~TDateTimePicker() = default;

QWidget* TDateTimePicker::CreateWidget()
{
    if (FKind == dtkTime) {
        auto* edit = new QTimeEdit;
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return edit;
    }
    auto* edit = new QDateEdit;
    // Four-digit years, so a typed year is never read as another century.
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

void TDateTimePicker::InitWidget(QWidget* widget)
{
    TNativeControl::InitWidget(widget);
    ShowValue(widget);
    // Only the user's edits count here: a program set has updated the value before it reaches the widget.
    if (FKind == dtkTime) {
        auto* edit = static_cast<QTimeEdit*>(widget);
        QObject::connect(
            edit, &QTimeEdit::timeChanged, edit, Slot<QTime>([this](QTime time) {
                if (!FShowing && time.isValid())
                    UserChanged(Combine(FDateTime, EncodeTime(time.hour(), time.minute(), time.second(), time.msec())));
            }));
    } else {
        auto* edit = static_cast<QDateEdit*>(widget);
        QObject::connect(edit, &QDateEdit::dateChanged, edit, Slot<QDate>([this](QDate date) {
                             TDateTime day = 0;
                             if (!FShowing && date.isValid() &&
                                 TryEncodeDate(date.year(), date.month(), date.day(), day))
                                 UserChanged(Combine(day, FDateTime));
                         }));
    }
}

void TDateTimePicker::WMLButtonUp(TMessage& message)
{
    TNativeControl::WMLButtonUp(message);
    // Qt only places the cursor, and a full field then takes no digit at all.
    auto* edit = qobject_cast<QDateTimeEdit*>(GetWidget());
    const auto* line = edit != nullptr ? edit->findChild<QLineEdit*>() : nullptr;
    if (line != nullptr && edit->currentSection() != QDateTimeEdit::NoSection && !line->hasSelectedText())
        edit->setSelectedSection(edit->currentSection());
}

void TDateTimePicker::ShowValue(QWidget* widget)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeDateTime(FDateTime, year, month, day, hour, minute, second, millisecond);
    // A value outside the widget's range shows clamped; the kept value stays as it was set.
    const bool showing = std::exchange(FShowing, true);
    if (FKind == dtkTime)
        static_cast<QTimeEdit*>(widget)->setTime(QTime(hour, minute, second, millisecond));
    else
        static_cast<QDateEdit*>(widget)->setDate(QDate(year, month, day));
    FShowing = showing;
}

void TDateTimePicker::UserChanged(TDateTime value)
{
    if (value == FDateTime)
        return;
    FDateTime = value;
    OnChange(this);  // runs inside the widget's slot, which reports exceptions and may see us freed
}

void TDateTimePicker::SetKind(TDateTimeKind value)
{
    if (value == FKind)
        return;
    FKind = value;
    if (HandleAllocated())
        RecreateWnd();
}

void TDateTimePicker::SetDateTime(TDateTime value)
{
    if (value == FDateTime)
        return;
    FDateTime = value;
    if (QWidget* widget = GetWidget())
        ShowValue(widget);
    OnChange(this);
}

TDateTime TDateTimePicker::GetDate() const { return DateOf(FDateTime); }

void TDateTimePicker::SetDate(TDateTime value) { SetDateTime(Combine(value, FDateTime)); }

TDateTime TDateTimePicker::GetTime() const
{
    // Decoded and encoded again, so the result equals the time it was set from to the millisecond.
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(FDateTime, hour, minute, second, millisecond);
    return EncodeTime(hour, minute, second, millisecond);
}

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(Combine(FDateTime, value)); }

std::string TDateTimePicker::DisplayText() const
{
    return FKind == dtkDate ? DateToStr(FDateTime) : TimeToStr(FDateTime);
}

// --- TUpDown -----------------------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 17, 23); }

TUpDown::~TUpDown() = default;

void TUpDown::SetAssociate(TWinControl* value)
{
    if (value == FAssociate)
        return;
    if (FAssociate != nullptr)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = value;
    if (FAssociate != nullptr) {
        FAssociate->FreeNotification(this);
        FAssociate->SetText(IntToStr(FPosition));
    }
}

void TUpDown::SetMin(int value)
{
    FMin = value;
    SetPosition(FPosition);
}

void TUpDown::SetMax(int value)
{
    FMax = value;
    SetPosition(FPosition);
}

void TUpDown::SetIncrement(int value) { FIncrement = value; }

int TUpDown::Clamp(int value) const
{
    // Min above Max is allowed while both are being set; clamp into whichever range they span.
    return std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax));
}

int TUpDown::GetPosition() const
{
    if (FAssociate == nullptr)
        return FPosition;
    return Clamp(StrToIntDef(Trim(FAssociate->GetText()), FPosition));
}

void TUpDown::SetPosition(int value)
{
    FPosition = Clamp(value);
    if (FAssociate != nullptr)
        FAssociate->SetText(IntToStr(FPosition));  // an equal text notifies nobody
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    Step(y < GetClientHeight() / 2 ? btNext : btPrev);
}

void TUpDown::Step(TUDBtnType button)
{
    const long long step = button == btNext ? FIncrement : -static_cast<long long>(FIncrement);
    const long long next =
        std::clamp(static_cast<long long>(GetPosition()) + step, static_cast<long long>(std::min(FMin, FMax)),
                   static_cast<long long>(std::max(FMin, FMax)));
    SetPosition(static_cast<int>(next));
    OnClick(this, button);  // may free this control: nothing follows
}

void TUpDown::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FAssociate)
        FAssociate = nullptr;
}

void TUpDown::Paint()
{
    TCanvas& canvas = *GetCanvas();
    const int width = GetClientWidth();
    const int half = GetClientHeight() / 2;
    canvas.GetBrush()->SetColor(clBtnFace);
    canvas.Rectangle(0, 0, width, half);
    canvas.Rectangle(0, half, width, GetClientHeight());
    canvas.GetBrush()->SetColor(clWindowText);
    const int mid = width / 2;
    const TPoint up[] = {{mid, half / 3}, {mid - 3, half - half / 3}, {mid + 3, half - half / 3}};
    const TPoint down[] = {{mid - 3, half + half / 3}, {mid + 3, half + half / 3}, {mid, 2 * half - half / 3}};
    canvas.Polygon(up);
    canvas.Polygon(down);
}

}  // namespace ovrel::toolkit
