// SPDX-License-Identifier: MIT
#pragma once

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMetaObject>
#include <QMimeData>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtGlobal>

namespace zarnik::test {

// A named control of a window; a missing one ends the test run at once, since
// every later step would only fail less clearly.
template <class T = QWidget>
T* Child(const QObject* parent, const QString& name)
{
    T* child = parent->findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no child %s", qPrintable(name));
    }
    return child;
}

// The open top-level window of that name, or nullptr. The windows that open
// out of the decoder window have no parent; a closed one is gone at once.
template <class T = QWidget>
T* OpenWindow(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return qobject_cast<T*>(window);
        }
    }
    return nullptr;
}

// One tick of a window's named timer, handled as the timer's own tick is,
// whether the timer runs or not.
inline void Tick(const QObject* owner, const QString& timer)
{
    QMetaObject::invokeMethod(Child<QTimer>(owner, timer), "timeout");
}

// The open window of that name grown to its full size on its own Timer1,
// tick by tick; nullptr where none is open.
template <class T = QWidget>
T* GrownWindow(const QString& name)
{
    T* window = OpenWindow<T>(name);
    for (int i = 0; i < 500 && window != nullptr && Child<QTimer>(window, "Timer1")->isActive(); ++i) {
        Tick(window, "Timer1");
    }
    return window;
}

// Drops a file on a window, as a file manager does; false, and nothing
// dropped, where the window does not take it.
inline bool DropFile(QWidget* target, const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

// Chooses a named menu item.
inline void Trigger(const QObject* owner, const QString& action) { Child<QAction>(owner, action)->trigger(); }

// The first and last pixel rows of a control's text as drawn, from column
// fromX on: rows with a pixel darker than half in every channel, which the
// black text has and no background, frame or focus colour of the windows has.
struct TextRows {
    int top = -1, bottom = -1;
};
inline TextRows DrawnTextRows(QWidget* control, int fromX = 0)
{
    const QImage image = control->grab().toImage();
    TextRows rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = qMax(fromX, 0); x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qMax(qMax(qRed(pixel), qGreen(pixel)), qBlue(pixel)) < 128) {
                rows.top = rows.top < 0 ? y : rows.top;
                rows.bottom = y;
                break;
            }
        }
    }
    return rows;
}

}  // namespace zarnik::test
