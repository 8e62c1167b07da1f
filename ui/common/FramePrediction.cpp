// SPDX-License-Identifier: MIT
#include "ui/common/FramePrediction.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zarnik::ui {

FramePrediction::FramePrediction(QObject* application) : QObject(application) {}

FramePrediction& FramePrediction::Instance()
{
    QCoreApplication* application = QCoreApplication::instance();
    Q_ASSERT(application != nullptr);
    auto* prediction = application->findChild<FramePrediction*>(QString(), Qt::FindDirectChildrenOnly);
    return prediction != nullptr ? *prediction : *new FramePrediction(application);
}

QMargins FramePrediction::FrameOf(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    if (handle == nullptr || !window->isVisible()) {
        return {};
    }
    const QMargins m = handle->frameMargins();
    const QMargins frame(std::max(0, m.left()), std::max(0, m.top()), std::max(0, m.right()), std::max(0, m.bottom()));
    if (!frame.isNull()) {
        predicted_ = frame;
    }
    return frame;
}

}  // namespace zarnik::ui
