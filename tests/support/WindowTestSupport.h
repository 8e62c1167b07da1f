#pragma once

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QString>
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
