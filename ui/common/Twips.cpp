// SPDX-License-Identifier: MIT
#include "ui/common/Twips.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zarnik::ui {

namespace {

// The twips a control was last given, kept with the control.
class ControlTwips : public QObject {
    Q_OBJECT

public:
    ControlTwips(QWidget* control, TwipsRect twips) : QObject(control), rect(twips) {}
    TwipsRect rect;
};

ControlTwips* TwipsOf(const QWidget* control)
{
    return control->findChild<ControlTwips*>(QString(), Qt::FindDirectChildrenOnly);
}

void Place(QWidget* control, TwipsRect r)
{
    control->setGeometry(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height));
}

}  // namespace

int ToPixels(double twips)
{
    // Positions far outside any screen still map to a sane int.
    const double pixels = std::round(twips / kTwipsPerPixel);
    return int(std::clamp(pixels, -1.0e6, 1.0e6));
}

void SetTwipsGeometry(QWidget* control, TwipsRect rect)
{
    if (ControlTwips* twips = TwipsOf(control)) {
        twips->rect = rect;
    } else {
        new ControlTwips(control, rect);
    }
    Place(control, rect);
}

void SetTwipsLeft(QWidget* control, double left)
{
    TwipsRect r = TwipsGeometry(control);
    r.left = left;
    SetTwipsGeometry(control, r);
}

void SetTwipsTop(QWidget* control, double top)
{
    TwipsRect r = TwipsGeometry(control);
    r.top = top;
    SetTwipsGeometry(control, r);
}

void SetTwipsWidth(QWidget* control, double width)
{
    TwipsRect r = TwipsGeometry(control);
    r.width = width;
    SetTwipsGeometry(control, r);
}

TwipsRect TwipsGeometry(const QWidget* control)
{
    if (const ControlTwips* twips = TwipsOf(control)) {
        return twips->rect;
    }
    const QRect g = control->geometry();
    return {double(g.x()) * kTwipsPerPixel, double(g.y()) * kTwipsPerPixel, double(g.width()) * kTwipsPerPixel,
            double(g.height()) * kTwipsPerPixel};
}

double TwipsLeft(const QWidget* control) { return TwipsGeometry(control).left; }
double TwipsTop(const QWidget* control) { return TwipsGeometry(control).top; }

}  // namespace zarnik::ui

#include "Twips.moc"
