#pragma once

#include <QObject>
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

}  // namespace zarnik::test
