// SPDX-License-Identifier: MIT
#include "ui/common/Twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/common/FramePrediction.h"

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

// X11 does not map a window of no pixels; the smallest window has one.
constexpr int kSmallestClient = 1;

// A placement the window manager has not yet confirmed is asked for again when
// a stale or reordered answer puts the window elsewhere; a few times at most,
// and only for a short while, so that the user's own moves are never fought.
constexpr int kPlacementRetries = 8;
constexpr int kPlacementPatienceMs = 500;
// Under a window manager that tells nothing, the X server is asked this often
// for a second after each placement, and a request is judged no sooner than
// this after it was made.
constexpr int kPollMs = 40;
constexpr int kPolls = 25;
constexpr int kAnswerMs = 120;

QSize FrameExtra(QMargins frame) { return {frame.left() + frame.right(), frame.top() + frame.bottom()}; }

QPoint FrameTopLeft(const QWidget* window)
{
    FramePrediction& prediction = FramePrediction::Instance();
    const QMargins frame = prediction.FrameOf(window);
    return prediction.ClientPosition(window) - QPoint(frame.left(), frame.top());
}

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
    Q_OBJECT

public:
    explicit OuterGeometry(QWidget* window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
        WatchExposure();
        poll_.setInterval(kPollMs);
        connect(&poll_, &QTimer::timeout, this, [this] {
            if (--polls_ <= 0) {
                poll_.stop();
            }
            if (window_->isVisible()) {
                Check(true);
            }
        });
    }

    static OuterGeometry* Find(const QWidget* window)
    {
        return window->findChild<OuterGeometry*>(QString(), Qt::FindDirectChildrenOnly);
    }

    static OuterGeometry* Of(QWidget* window)
    {
        OuterGeometry* geometry = Find(window);
        return geometry != nullptr ? geometry : new OuterGeometry(window);
    }

    std::optional<double> width, height, left, top;
    // The client's top-left on the screen, for a window placed by its client.
    std::optional<QPoint> clientPlace;

    // Sizes the window to the outer size set; with placeAgain, or where the
    // window would not fit the screen, also moves its frame to the place set.
    void Apply(bool placeAgain)
    {
        // A frame that came or changed since the last time moves the window
        // back to its place, whatever brought the news.
        FramePrediction& prediction = FramePrediction::Instance();
        const QMargins frame = prediction.FrameOf(window_);
        if (frame != frame_) {
            frame_ = frame;
            placeAgain = true;
        }
        const QSize extra = FrameExtra(frame_);
        QSize client = ClientSize(window_);
        if (width) {
            client.setWidth(std::max(kSmallestClient, ToPixels(*width) - extra.width()));
        }
        if (height) {
            client.setHeight(std::max(kSmallestClient, ToPixels(*height) - extra.height()));
        }
        FixSize(client);
        const QPoint current = TopLeft();
        QPoint wanted = current;
        if (placeAgain && clientPlace) {
            const QMargins margins = frame_.isNull() ? prediction.Predicted() : frame_;
            wanted = *clientPlace - QPoint(margins.left(), margins.top());
        } else if (placeAgain) {
            wanted = QPoint(left ? ToPixels(*left) : current.x(), top ? ToPixels(*top) : current.y());
        }
        wanted = FitOnScreen(wanted, client.grownBy(frame_));
        if (wanted != current || (placeAgain && (left || top || clientPlace))) {
            PlaceFrame(wanted);
        }
    }

    // Where the frame's top-left stands, as the window system has it; but a
    // window placed by the program that the window manager has framed and
    // not yet placed stands, for all the program knows, where it was asked
    // (a window opened on its corner meanwhile goes there, not to the
    // screen's origin).
    QPoint TopLeft()
    {
        const QPoint read = FrameTopLeft(window_);
        if (read == placed_) {
            shownAsAsked_ = true;
        }
        if (placedOnce_ && !shownAsAsked_ && FramePrediction::Instance().Unplaced(window_)) {
            return placed_;
        }
        return read;
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
            Poll();
        }
        if (type == QEvent::Hide) {
            seen_ = false;
        }
        const bool watch = watched == window_->windowHandle() ? type == QEvent::Expose
                                                              : type == QEvent::Move || type == QEvent::Resize;
        if (watched == window_->windowHandle() && type == QEvent::Expose && !seen_ &&
            window_->windowHandle()->isExposed()) {
            seen_ = true;
            Rearm();
        }
        if (watch) {
            // Only the window system's moves answer a request: Qt moves the
            // window where it was asked at once, before any answer.
            Check(type == QEvent::Move && event->spontaneous());
        }
        return false;
    }

private:
    // A frame that came or changed places the window again; an answer to a
    // placement confirms it or asks again.
    void Check(bool answer)
    {
        if (FramePrediction::Instance().FrameOf(window_) != frame_) {
            Apply(false);
        } else if (answer) {
            Confirm();
        }
    }

    // A window manager that may not tell a window it was framed or moved is
    // asked through the X server, for a while after each placement.
    void Poll()
    {
        if (!FramePrediction::Instance().Tells()) {
            polls_ = kPolls;
            poll_.start();
        }
    }

    // The window is not resizable by the user: its minimum and maximum are the
    // size the program sets, given in one call, so that no size hint the
    // window manager reads has a minimum above its maximum or describes a
    // resizable window (openbox, for one, would add its resize handle to the
    // frame for that moment, and the frame would change under the window).
    void FixSize(QSize size)
    {
        if (window_->minimumSize() != size || window_->maximumSize() != size) {
            window_->setFixedSize(size);
        }
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
        const QMargins margins = frame_.isNull() ? FramePrediction::Instance().Predicted() : frame_;
        Ask(frameTopLeft + QPoint(margins.left(), margins.top()));
        placed_ = frameTopLeft;
        placedOnce_ = true;
        shownAsAsked_ = false;
        retries_ = 0;
        lastMiss_ = {};
        placing_.start();
        Poll();
    }

    // A move the window manager reports while a placement is still new: at
    // the place asked, it confirms it; elsewhere, it is a stale or reordered
    // answer, and the place is asked for again.
    void Confirm()
    {
        if (!placing_.isValid()) {
            return;
        }
        // A window manager that tells nothing is given time to answer.
        if (!FramePrediction::Instance().Tells() && asked_.elapsed() < kAnswerMs) {
            return;
        }
        // Framed but not yet placed: the window manager has not answered.
        if (FramePrediction::Instance().Unplaced(window_)) {
            return;
        }
        const QPoint at = FrameTopLeft(window_);
        if (at == placed_ || frame_.isNull()) {
            if (at == placed_) {
                placing_.invalidate();
            }
            return;
        }
        const int patience = FramePrediction::Instance().Tells() ? kPlacementPatienceMs : kPolls * kPollMs;
        if (placing_.elapsed() > patience || retries_ >= kPlacementRetries) {
            placing_.invalidate();
            return;
        }
        ++retries_;
        // The same miss twice running, each the answer to a request of its
        // own, may be a window manager that puts its visible frame where the
        // client was asked to stand: learnt once, for every window.
        const QPoint miss = at - placed_;
        if (miss == lastMiss_ && FramePrediction::Instance().LearnMiss(window_, miss)) {
            lastMiss_ = {};
            Apply(true);
            return;
        }
        lastMiss_ = miss;
        Ask(placed_ + QPoint(frame_.left(), frame_.top()));
    }

    // A window manager answers a placement made before the window was mapped
    // only as it maps it, which on a busy machine may come long after the
    // request, and may then put the window elsewhere (fvwm moves a very
    // small window by a few pixels as it frames it). The user cannot have
    // moved a window not yet seen, so its placement is watched anew from its
    // first exposure, and checked at once.
    void Rearm()
    {
        if (!placedOnce_) {
            return;
        }
        placing_.start();
        retries_ = 0;
        lastMiss_ = {};
        if (!FramePrediction::Instance().Tells()) {
            Poll();
        } else if (FrameTopLeft(window_) != placed_) {
            Confirm();
        }
    }

    // Asks the window manager for the client to land at a point.
    void Ask(QPoint client)
    {
        asked_.start();
        window_->setGeometry(QRect(client - FramePrediction::Instance().Landing(), ClientSize(window_)));
    }

    QWidget* window_;
    QMargins frame_;
    QPoint placed_;
    // The last miss seen while placing.
    QPoint lastMiss_;
    QElapsedTimer placing_, asked_;
    QTimer poll_;
    int polls_ = 0;
    int retries_ = 0;
    bool watching_ = false;
    // Whether the window has been exposed since it was last shown.
    bool seen_ = false;
    bool placedOnce_ = false;
    // Whether the window system has shown the frame where it was last asked.
    bool shownAsAsked_ = false;
};

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

// Width and Height read back what the program set, as a window reads back its
// own properties: a growth of 75-twip steps from zero so ends exactly at its
// goal, whatever the smallest size the window system allows on the way and
// however late the window manager answers. A window never sized by the
// program reads its frame and client.
double OuterWidth(const QWidget* window)
{
    if (const OuterGeometry* geometry = OuterGeometry::Find(window); geometry != nullptr && geometry->width) {
        return *geometry->width;
    }
    const QSize extra = FrameExtra(FramePrediction::Instance().FrameOf(window));
    return double(ClientSize(window).width() + extra.width()) * kTwipsPerPixel;
}

double OuterHeight(const QWidget* window)
{
    if (const OuterGeometry* geometry = OuterGeometry::Find(window); geometry != nullptr && geometry->height) {
        return *geometry->height;
    }
    const QSize extra = FrameExtra(FramePrediction::Instance().FrameOf(window));
    return double(ClientSize(window).height() + extra.height()) * kTwipsPerPixel;
}

namespace {

QPoint OuterTopLeft(const QWidget* window)
{
    OuterGeometry* geometry = OuterGeometry::Find(window);
    return geometry != nullptr ? geometry->TopLeft() : FrameTopLeft(window);
}

}  // namespace

double OuterLeft(const QWidget* window) { return double(OuterTopLeft(window).x()) * kTwipsPerPixel; }
double OuterTop(const QWidget* window) { return double(OuterTopLeft(window).y()) * kTwipsPerPixel; }

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

void SetClientPlace(QWidget* window, double left, double top)
{
    OuterGeometry* geometry = OuterGeometry::Of(window);
    geometry->clientPlace = QPoint(ToPixels(left), ToPixels(top));
    geometry->Apply(true);
}

}  // namespace zarnik::ui

#include "Twips.moc"
