// A real Qt click on a row, as the desktop delivers it: it goes through our queue and back to the widget.
#include "../controls/ControlsTestSupport.h"
#include "toolkit/StdLists.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QMouseEvent>

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
    QWidget* viewport = widget->viewport();
    const QRect row = widget->visualItemRect(widget->item(2));
    const QPointF local = row.center();
    const QPointF global = viewport->mapToGlobal(local);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
        application.ProcessMessages();
    }
    EXPECT_EQ(list->GetItemIndex(), 2);
}

}  // namespace
}  // namespace ovrel::toolkit
