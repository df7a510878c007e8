// A native control taken off a shown form loses its window, whichever widget stands for it.
#include "../controls/ControlsTestSupport.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ComCtrls.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

namespace ovrel::toolkit {
namespace {

TEST(NativeControl, LeavingAShownParentDestroysItsWindow)
{
    TApplication application{nullptr};
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* picker = new TDateTimePicker(&form);
    picker->SetParent(&form);
    form.Show();
    application.ProcessMessages();
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(picker)}) {
        ASSERT_TRUE(c->HandleAllocated());
        const ui::HWND h = c->GetHandle();
        c->SetParent(nullptr);
        application.ProcessMessages();
        EXPECT_FALSE(c->HandleAllocated());
        EXPECT_FALSE(ui::IsWindow(h));
    }
}

}  // namespace
}  // namespace ovrel::toolkit
