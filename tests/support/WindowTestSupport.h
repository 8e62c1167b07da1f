#pragma once

#include <QAction>
#include <QApplication>
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

}  // namespace zarnik::test
