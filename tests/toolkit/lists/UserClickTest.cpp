// A real Qt click on a row, as the desktop delivers it: it goes through our queue and back to the widget.
#include "../controls/ControlsTestSupport.h"
#include "support/QtInput.h"
#include "toolkit/StdLists.h"

#include <QListWidget>

#include <gtest/gtest.h>

namespace ovrel::toolkit {
namespace {

TEST(UserClick, AClickOnARowSelectsIt)
{
    TApplication application{nullptr};
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(10, 10, 150, 150);
    for (const char* s : {"alpha", "beta", "gamma"})
        list->Items()->Add(s);
    form.Show();
    application.ProcessMessages();
    auto* widget = static_cast<QListWidget*>(list->GetWidget());
    const QPointF row = widget->visualItemRect(widget->item(2)).center();
    test::SendQtClick(widget->viewport(), row, Qt::NoModifier, [&] { application.ProcessMessages(); });
    EXPECT_EQ(list->GetItemIndex(), 2);
}

}  // namespace
}  // namespace ovrel::toolkit
