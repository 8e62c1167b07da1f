// SPDX-License-Identifier: MIT
#include "ui/common/SecondaryWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QShortcut>
#include <QTimer>

#include "ui/common/Controls.h"
#include "ui/common/Placement.h"
#include "ui/common/Window.h"

namespace zarnik::ui {

namespace {

constexpr double kGrowthStep = 75;

}  // namespace

SecondaryWindow::SecondaryWindow(QWidget* decoder, const QString& objectName, const QString& caption,
                                 const QColor& background)
    : decoder_(decoder)
{
    SetupFixedWindow(this, objectName, caption);
    client_ = new ClientArea(this, background);
    client_->setObjectName(QStringLiteral("client"));
    client_->setGeometry(rect());
    if (decoder_) {
        decoderHeight_ = OuterHeight(decoder_);
    }
    SetupWindowKeysAndRole();
}

void SecondaryWindow::SetupWindowKeysAndRole()
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("closeKey"));
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // A plain widget is a filler to assistive tools, even as a top-level
    // window.
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            auto* window = qobject_cast<SecondaryWindow*>(object);
            return window != nullptr ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
        });
        return true;
    }();
}

void SecondaryWindow::SetZeroSize() { SetOuterSize(this, 0, 0); }

void SecondaryWindow::PlaceOnDecoderCorner()
{
    if (decoder_) {
        PlaceOnCorner(this, decoder_);
    }
}

bool SecondaryWindow::GrowStep()
{
    if (decoder_) {
        decoderHeight_ = OuterHeight(decoder_);
    }
    const double height = OuterHeight(this) + kGrowthStep;
    SetOuterSize(this, height, height);
    return OuterHeight(this) >= decoderHeight_;
}

QTimer* SecondaryWindow::GrowthTimer(const QString& name)
{
    if (growth_ == nullptr) {
        growth_ = MakeTimer(this, name, 1);
        connect(growth_, &QTimer::timeout, this, [this] {
            if (GrowStep()) {
                growth_->stop();
            }
        });
    }
    return growth_;
}

void SecondaryWindow::FinishGrowthAlone()
{
    QTimer* growth = GrowthTimer(QStringLiteral("growth"));
    decoder_.clear();
    growth->start();
}

void SecondaryWindow::GrowOnOwnTimer(const QString& timerName) { GrowthTimer(timerName)->start(); }

void SecondaryWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (growth_ != nullptr) {
        growth_->stop();
    }
    Form_Unload();
    closed_ = true;
    emit closed();
    if (holds_ == 0) {
        deleteLater();
    }
}

void SecondaryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    client_->setGeometry(rect());
}

SecondaryWindow::DeletionHold::DeletionHold(SecondaryWindow* window) : window_(window) { ++window->holds_; }

SecondaryWindow::DeletionHold::~DeletionHold()
{
    if (window_ && --window_->holds_ == 0 && window_->closed_) {
        window_->deleteLater();
    }
}

}  // namespace zarnik::ui
