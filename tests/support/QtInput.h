#pragma once
// Input as the desktop delivers it: real Qt events sent to a widget, each followed by a pass of our queue.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include <initializer_list>

namespace ovrel::test {

/// One mouse event at a point of the widget; buttons are the buttons held after it.
template <class Pump>
void SendQtMouse(QWidget* widget, QEvent::Type type, QPointF local, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers, Pump&& pump)
{
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
    pump();
}

/// A left click (press, then release) at a point of the widget; pump handles our queue after each event.
template <class Pump> void SendQtClick(QWidget* widget, QPointF local, Qt::KeyboardModifiers modifiers, Pump&& pump)
{
    SendQtMouse(widget, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton, modifiers, pump);
    SendQtMouse(widget, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton, modifiers, pump);
}

/// A left double click as the desktop sends it: press, release, double-click press, release.
template <class Pump> void SendQtDoubleClick(QWidget* widget, QPointF local, Pump&& pump)
{
    SendQtClick(widget, local, Qt::NoModifier, pump);
    SendQtMouse(widget, QEvent::MouseButtonDblClick, local, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, pump);
    SendQtMouse(widget, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, pump);
}

/// A left-button drag: press at from, moves through the points, release at the last one.
template <class Pump> void SendQtDrag(QWidget* widget, QPointF from, std::initializer_list<QPointF> moves, Pump&& pump)
{
    SendQtMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, pump);
    QPointF at = from;
    for (QPointF point : moves) {
        at = point;
        SendQtMouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, pump);
    }
    SendQtMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, pump);
}

/// A key press and release sent to the widget.
template <class Pump> void SendQtKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, Pump&& pump)
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers);
        QCoreApplication::sendEvent(widget, &event);
        pump();
    }
}

/// A key pressed and released on a widget (the focused one, as the desktop sends keys), with the text it
/// types; pump handles our queue after each event.
template <class Pump>
void SendQtKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text, Pump&& pump)
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, text);
        QCoreApplication::sendEvent(widget, &event);
        pump();
    }
}

/// Types text key by key: letters, digits and a few signs, each as the key that types it.
template <class Pump> void SendQtText(QWidget* widget, const QString& text, Pump&& pump)
{
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();  // Qt's keys for letters, digits and ASCII signs are their codes
        const Qt::KeyboardModifiers modifiers = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        SendQtKey(widget, static_cast<Qt::Key>(key), modifiers, QString(c), pump);
    }
}

}  // namespace ovrel::test
