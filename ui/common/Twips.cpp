#include "ui/common/Twips.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zarnik::ui {

namespace {

constexpr const char* kLeft = "zarnikTwipsLeft";
constexpr const char* kTop = "zarnikTwipsTop";
constexpr const char* kWidth = "zarnikTwipsWidth";
constexpr const char* kHeight = "zarnikTwipsHeight";

double Stored(const QWidget* control, const char* name, int pixels)
{
    const QVariant value = control->property(name);
    return value.isValid() ? value.toDouble() : double(pixels) * kTwipsPerPixel;
}

void Place(QWidget* control)
{
    const TwipsRect r = TwipsGeometry(control);
    control->setGeometry(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height));
}

// Frame sizes (left+right, top+bottom) in pixels; zero until the window
// manager has framed the window.
QSize FrameExtra(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {std::max(0, outer.width() - inner.width()), std::max(0, outer.height() - inner.height())};
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
    control->setProperty(kLeft, rect.left);
    control->setProperty(kTop, rect.top);
    control->setProperty(kWidth, rect.width);
    control->setProperty(kHeight, rect.height);
    Place(control);
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
    const QRect g = control->geometry();
    return {Stored(control, kLeft, g.x()), Stored(control, kTop, g.y()), Stored(control, kWidth, g.width()),
            Stored(control, kHeight, g.height())};
}

double TwipsLeft(const QWidget* control) { return TwipsGeometry(control).left; }
double TwipsTop(const QWidget* control) { return TwipsGeometry(control).top; }

double OuterWidth(const QWidget* window)
{
    return double(window->width() + FrameExtra(window).width()) * kTwipsPerPixel;
}

double OuterHeight(const QWidget* window)
{
    return double(window->height() + FrameExtra(window).height()) * kTwipsPerPixel;
}

double OuterLeft(const QWidget* window) { return double(window->frameGeometry().x()) * kTwipsPerPixel; }
double OuterTop(const QWidget* window) { return double(window->frameGeometry().y()) * kTwipsPerPixel; }

void SetOuterWidth(QWidget* window, double twips)
{
    // The window is not resizable by the user: its minimum and maximum follow
    // every size the program sets.
    const int client = std::max(0, ToPixels(twips) - FrameExtra(window).width());
    window->setFixedWidth(client);
}

void SetOuterHeight(QWidget* window, double twips)
{
    const int client = std::max(0, ToPixels(twips) - FrameExtra(window).height());
    window->setFixedHeight(client);
}

void SetOuterLeft(QWidget* window, double twips)
{
    window->move(ToPixels(twips), window->frameGeometry().y());
}

void SetOuterTop(QWidget* window, double twips)
{
    window->move(window->frameGeometry().x(), ToPixels(twips));
}

}  // namespace zarnik::ui
