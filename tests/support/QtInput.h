#pragma once
// Input as the desktop delivers it: real Qt events sent to a widget, each followed by a pass of our queue.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace ovrel::test {

/// A left click (press, then release) at a point of the widget; pump handles our queue after each event.
template <class Pump> void SendQtClick(QWidget* widget, QPointF local, Qt::KeyboardModifiers modifiers, Pump&& pump)
{
    const QPointF global = widget->mapToGlobal(local);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, modifiers);
        QCoreApplication::sendEvent(widget, &event);
        pump();
    }
}

}  // namespace ovrel::test
