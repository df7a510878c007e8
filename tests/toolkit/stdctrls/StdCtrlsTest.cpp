// Native controls driven through the queue: typing into an edit, program sets against typing, default and
// cancel buttons ending a modal form, radio exclusivity, and a handler that frees its control.
#include "../controls/ControlsTestSupport.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

struct Counter {
    int Count = 0;
    void Notify(TObject*) { ++Count; }
};

class StdCtrlsTest : public ::testing::Test {
protected:
    StdCtrlsTest()
    {
        Form->SetBounds(0, 0, 300, 200);
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 120, 22);
        Edit->OnChange = TNotifyEvent(&Changes, &Counter::Notify);
    }
    void Type(const std::string& text)
    {
        // A real key event: the widget queues it to us and gets it back from the default procedure.
        for (char c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c - 'a'), Qt::NoModifier, QString(QChar(c)));
            QCoreApplication::sendEvent(Line(), &press);
            Application.ProcessMessages();
        }
    }
    QLineEdit* Line() const { return static_cast<QLineEdit*>(Edit->GetWidget()); }

    Counter Changes;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TEdit* Edit = new TEdit(Form.get());
};

TEST_F(StdCtrlsTest, PropertiesSetBeforeTheWindowReachTheWidgetAndSurviveARecreate)
{
    Edit->SetText("kept");
    Edit->SetReadOnly(true);
    Edit->SetMaxLength(8);
    Edit->SetBorderStyle(TBorderStyle::bsNone);
    EXPECT_EQ(Edit->GetWidget(), nullptr);
    Form->Show();
    for (const char* stage : {"made", "remade"}) {
        SCOPED_TRACE(stage);
        ASSERT_NE(Line(), nullptr);
        EXPECT_EQ(Line()->text().toStdString(), "kept");
        EXPECT_TRUE(Line()->isReadOnly());
        EXPECT_EQ(Line()->maxLength(), 8);
        EXPECT_FALSE(Line()->hasFrame());
        EXPECT_EQ(ui::WindowFromWidget(Line()), Edit->GetHandle());
        Edit->RecreateWnd();
        Application.ProcessMessages();
    }
}

TEST_F(StdCtrlsTest, TypingChangesTheTextAndNotifiesOncePerKey)
{
    Form->Show();
    Edit->SetFocus();
    Application.ProcessMessages();
    Type("ab");
    EXPECT_EQ(Edit->GetText(), "ab");
    EXPECT_EQ(Changes.Count, 2);
}

TEST_F(StdCtrlsTest, AProgramSetNotifiesOnlyWhenTheTextChangesAndAnEqualSetKeepsTheCaret)
{
    Form->Show();
    Edit->SetText("hello");
    EXPECT_EQ(Changes.Count, 1);
    Edit->SetSelStart(2);
    Edit->SetText("hello");
    EXPECT_EQ(Changes.Count, 1);
    EXPECT_EQ(Edit->GetSelStart(), 2);
    Edit->SelectAll();
    EXPECT_EQ(Edit->GetSelLength(), 5);
}

TEST_F(StdCtrlsTest, AnExceptionFromAHandlerIsReportedAndAFreeingHandlerIsSafe)
{
    testing::RecordedExceptions errors;
    struct Thrower {
        void Throw(TObject*) { throw std::runtime_error("bad"); }
    } thrower;
    Form->Show();
    Edit->SetFocus();
    Application.ProcessMessages();
    Edit->OnChange = TNotifyEvent(&thrower, &Thrower::Throw);
    Type("x");
    EXPECT_EQ(errors.Messages().size(), 1u);

    struct Freer {
        TEdit* Target = nullptr;
        void Free(TObject*) { delete Target; }
    } freer{Edit};
    Edit->OnChange = TNotifyEvent(&freer, &Freer::Free);
    Type("y");
    EXPECT_EQ(Form->GetControlCount(), 0);
}

struct ButtonRow {
    const char* name;
    ui::WORD key;
    bool focusOther;  // the focus on a button that is neither
    TModalResult expected;
};

class ModalButtons : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(ModalButtons, EnterAndEscapeClickTheDefaultAndCancelButtons)
{
    const ButtonRow& row = GetParam();
    TApplication application(nullptr);
    TForm dialog(nullptr);
    dialog.SetBounds(0, 0, 300, 200);
    auto* ok = new TButton(&dialog);
    ok->SetParent(&dialog);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(&dialog);
    cancel->SetParent(&dialog);
    cancel->SetLeft(100);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* other = new TButton(&dialog);
    other->SetParent(&dialog);
    other->SetLeft(200);
    other->SetModalResult(mrRetry);
    auto* edit = new TEdit(&dialog);
    edit->SetParent(&dialog);
    edit->SetTop(50);
    Counter clicks;
    ok->OnClick = TNotifyEvent(&clicks, &Counter::Notify);

    // Once the modal loop runs: focus, then the key.
    struct Presser {
        TForm* Dialog;
        TWinControl* Focus;
        ui::WORD Key;
        void Proc(TMessage& message)
        {
            if (message.Msg != ui::WM_USER)
                return;
            Dialog->SetActiveControl(Focus);
            ui::PostKeyInput(ui::WM_KEYDOWN, Key);
            ui::PostKeyInput(ui::WM_KEYUP, Key);
        }
    } presser{&dialog, row.focusOther ? static_cast<TWinControl*>(other) : edit, row.key};
    ui::HWND window = AllocateHWnd(TWndMethod(&presser, &Presser::Proc));
    ui::PostMessage(window, ui::WM_USER, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), row.expected);
    EXPECT_EQ(clicks.Count, row.expected == mrOk ? 1 : 0);
    DeallocateHWnd(window);
}

INSTANTIATE_TEST_SUITE_P(Keys, ModalButtons,
                         ::testing::Values(ButtonRow{"EnterInAnEdit", ui::VK_RETURN, false, mrOk},
                                           ButtonRow{"EscapeInAnEdit", ui::VK_ESCAPE, false, mrCancel},
                                           ButtonRow{"EnterOnAnotherButton", ui::VK_RETURN, true, mrRetry}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RadioButtons, CheckingOneUnchecksItsSiblingsOnlyAndClicksOnce)
{
    TApplication application(nullptr);
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* a = new TRadioButton(&form);
    a->SetParent(&form);
    auto* b = new TRadioButton(&form);
    b->SetParent(&form);
    b->SetTop(30);
    auto* box = new TGroupBox(&form);
    box->SetParent(&form);
    box->SetTop(60);
    auto* inBox = new TRadioButton(&form);
    inBox->SetParent(box);
    inBox->SetChecked(true);
    Counter clicks;
    b->OnClick = TNotifyEvent(&clicks, &Counter::Notify);
    form.Show();
    application.ProcessMessages();

    a->SetChecked(true);
    b->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(inBox->GetChecked());
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_FALSE(static_cast<QRadioButton*>(a->GetWidget())->isChecked());
    EXPECT_TRUE(static_cast<QRadioButton*>(b->GetWidget())->isChecked());

    // A click through the queue checks a, and clicks it once.
    Counter aClicks;
    a->OnClick = TNotifyEvent(&aClicks, &Counter::Notify);
    QWidget* widget = a->GetWidget();
    const QPointF at(5, 8);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    application.ProcessMessages();
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
    application.ProcessMessages();
    EXPECT_TRUE(a->GetChecked());
    EXPECT_FALSE(b->GetChecked());
    EXPECT_EQ(aClicks.Count, 1);
}

TEST(Buttons, AClickByTheMouseClicksOnce)
{
    TApplication application(nullptr);
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    Counter clicks;
    button->OnClick = TNotifyEvent(&clicks, &Counter::Notify);
    form.Show();
    application.ProcessMessages();
    QWidget* widget = button->GetWidget();
    const QPointF at(10, 10);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
        application.ProcessMessages();
    }
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(button->Focused()) << "a press takes the focus";
}

TEST(GroupBox, ShowsTheWindowlessControlsPlacedOnIt)
{
    TApplication application(nullptr);
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* box = new TGroupBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 200, 120);
    auto* label = new TLabel(&form);
    label->SetParent(box);
    label->SetAutoSize(false);
    label->SetBounds(20, 40, 60, 20);
    label->SetColor(clYellow);
    form.Show();
    application.ProcessMessages();
    const auto shown = [&] {
        QCoreApplication::processEvents();
        return box->GetWidget()->grab().toImage().pixel(50, 50) & 0xFFFFFF;
    };
    EXPECT_EQ(shown(), qRgb(255, 255, 0) & 0xFFFFFF);
    label->SetColor(clBlue);  // a change on the label reaches the box's widget
    EXPECT_EQ(shown(), qRgb(0, 0, 255) & 0xFFFFFF);
}

}  // namespace
}  // namespace ovrel::toolkit
