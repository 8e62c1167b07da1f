// SPDX-License-Identifier: MIT
#include "ui/common/Twips.h"

#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

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

// The frame's thickness on each side in pixels; zero until the window manager
// has framed the window.
QMargins Frame(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
            std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom())};
}

QSize FrameExtra(const QWidget* window)
{
    const QMargins m = Frame(window);
    return {m.left() + m.right(), m.top() + m.bottom()};
}

// X11 does not map a window of no pixels; the smallest window has one.
constexpr int kSmallestClient = 1;

// The client size the program gave the window. While the window manager
// catches up with a quick run of resizes (a growing window), the size Qt
// reports may for a moment be an earlier one; the fixed size is the last.
QSize ClientSize(const QWidget* window)
{
    return window->minimumSize() == window->maximumSize() ? window->minimumSize() : window->size();
}

// The outer geometry the program last gave a top-level window, in twips. The
// frame's size is known only once the window manager has framed the window,
// and may change later; whenever it does, the same outer geometry is applied
// again, so Width, Height, Left and Top always mean the frame's.
class OuterGeometry : public QObject {
public:
    explicit OuterGeometry(QWidget* window) : QObject(window), window_(window)
    {
        setObjectName(QStringLiteral("zarnikOuterGeometry"));
        window->installEventFilter(this);
        WatchExposure();
    }

    static OuterGeometry* Of(QWidget* window)
    {
        auto* geometry =
            window->findChild<OuterGeometry*>(QStringLiteral("zarnikOuterGeometry"), Qt::FindDirectChildrenOnly);
        return geometry != nullptr ? geometry : new OuterGeometry(window);
    }

    std::optional<double> width, height, left, top;

    // Sizes the window to the outer size set; with placeAgain, or where the
    // window would not fit the screen, also moves its frame to the place set.
    void Apply(bool placeAgain)
    {
        // A frame that came or changed since the last time moves the window
        // back to its place, whatever brought the news.
        if (Frame(window_) != frame_) {
            frame_ = Frame(window_);
            placeAgain = true;
            if (!frame_.isNull()) {
                lastFrame_ = frame_;
            }
        }
        const QSize extra = FrameExtra(window_);
        QSize client = ClientSize(window_);
        if (width) {
            client.setWidth(std::max(kSmallestClient, ToPixels(*width) - extra.width()));
        }
        if (height) {
            client.setHeight(std::max(kSmallestClient, ToPixels(*height) - extra.height()));
        }
        FixSize(client);
        const QPoint current = window_->frameGeometry().topLeft();
        QPoint wanted = current;
        if (placeAgain) {
            wanted = QPoint(left ? ToPixels(*left) : current.x(), top ? ToPixels(*top) : current.y());
        }
        wanted = FitOnScreen(wanted, window_->size().grownBy(frame_));
        if (wanted != current || (placeAgain && (left || top))) {
            PlaceFrame(wanted);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window manager's frame comes with the window's first exposure
        // (X11 tells no event of its own for it) and may change with a move or
        // resize; the window's own moves leave the frame as it was.
        const QEvent::Type type = event->type();
        if (type == QEvent::Show) {
            WatchExposure();
        }
        const bool watch = watched == window_->windowHandle() ? type == QEvent::Expose
                                                              : type == QEvent::Move || type == QEvent::Resize;
        if (watch && Frame(window_) != frame_) {
            Apply(false);
        }
        return false;
    }

private:
    // The window is not resizable by the user: its minimum and maximum follow
    // every size the program sets. On the way from one size to the next the
    // minimum never lies below the maximum, so the window manager never sees a
    // resizable window: openbox, for one, would add its resize handle to the
    // frame for that moment, and the frame would change under the window.
    void FixSize(QSize size)
    {
        window_->setMaximumSize(window_->maximumSize().boundedTo(size));
        window_->setMinimumSize(size);
        window_->setMaximumSize(size);
        window_->resize(size);
    }

    // The native window exists once the window is shown; its exposure is
    // watched from then on.
    void WatchExposure()
    {
        if (window_->windowHandle() != nullptr && !watching_) {
            watching_ = true;
            window_->windowHandle()->installEventFilter(this);
        }
    }

    // A window that would reach beyond the screen's available area (a high
    // scale factor, a small screen) moves just enough to lie inside it; its
    // size stays.
    QPoint FitOnScreen(QPoint frameTopLeft, QSize outer) const
    {
        const QScreen* screen = window_->screen();
        if (screen == nullptr) {
            return frameTopLeft;
        }
        const QRect area = screen->availableGeometry();
        QPoint fitted = frameTopLeft;
        fitted.setX(std::max(area.left(), std::min(fitted.x(), area.left() + area.width() - outer.width())));
        fitted.setY(std::max(area.top(), std::min(fitted.y(), area.top() + area.height() - outer.height())));
        return fitted;
    }

    // The frame's top-left goes to the point, framed yet or not. Until the
    // window manager has framed this window its frame is taken to be that of
    // the windows framed before it (they carry the same decorations), and the
    // client is placed inside it; should the frame come out otherwise, its
    // arrival places the window again.
    void PlaceFrame(QPoint frameTopLeft)
    {
        if (Frame(window_).isNull()) {
            const QPoint client = frameTopLeft + QPoint(lastFrame_.left(), lastFrame_.top());
            window_->setGeometry(QRect(client, window_->size()));
        } else {
            window_->move(frameTopLeft);
        }
    }

    static inline QMargins lastFrame_;
    QWidget* window_;
    QMargins frame_;
    bool watching_ = false;
};

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
    return double(ClientSize(window).width() + FrameExtra(window).width()) * kTwipsPerPixel;
}

double OuterHeight(const QWidget* window)
{
    return double(ClientSize(window).height() + FrameExtra(window).height()) * kTwipsPerPixel;
}

double OuterLeft(const QWidget* window) { return double(window->frameGeometry().x()) * kTwipsPerPixel; }
double OuterTop(const QWidget* window) { return double(window->frameGeometry().y()) * kTwipsPerPixel; }

namespace {

// A new place moves the frame there at once.
void SetOuter(QWidget* window, std::optional<double> OuterGeometry::*part, double twips, bool place)
{
    OuterGeometry* geometry = OuterGeometry::Of(window);
    geometry->*part = twips;
    geometry->Apply(place);
}

}  // namespace

void SetOuterWidth(QWidget* window, double twips) { SetOuter(window, &OuterGeometry::width, twips, false); }
void SetOuterHeight(QWidget* window, double twips) { SetOuter(window, &OuterGeometry::height, twips, false); }
void SetOuterLeft(QWidget* window, double twips) { SetOuter(window, &OuterGeometry::left, twips, true); }
void SetOuterTop(QWidget* window, double twips) { SetOuter(window, &OuterGeometry::top, twips, true); }

}  // namespace zarnik::ui
