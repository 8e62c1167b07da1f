// SPDX-License-Identifier: MIT
#include "ui/common/Placement.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/common/Twips.h"

namespace zarnik::ui {

namespace {

// Workaround, X11 (every window manager): the X server maps no window of no
// pixels, and a window manager may put a window that was never mapped
// anywhere once it grows (openbox and icewm at the screen's corner). The
// smallest window has a client of one pixel.
constexpr int kSmallestClient = 1;

// Workaround, fvwm and weston's XWayland (asked again under both in the
// desktop tests), and fluxbox and jwm, which also send late or reordered
// ConfigureNotify events: a placement the window manager has not yet
// confirmed is asked for again when an answer puts the window elsewhere; a
// few times at most, and only for a short while, so that the user's own moves
// are never fought.
constexpr int kPlacementRetries = 8;
constexpr int kPlacementPatienceMs = 500;
// Workaround, weston's XWayland and twm, which publish no frame extents and
// may not tell a window it was framed or moved: the X server is asked this
// often for a second after each placement, and a request is judged no sooner
// than this after it was made.
constexpr int kPollMs = 40;
constexpr int kPolls = 25;
constexpr int kAnswerMs = 120;
// No window manager's frame is thicker than this on any side.
constexpr int kThickestFrame = 64;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* X11Connection()
{
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QSize FrameExtra(QMargins frame) { return {frame.left() + frame.right(), frame.top() + frame.bottom()}; }

// What the window system does with every window of the program: the frame the
// window manager gives them and how it places them. Each window's own frame is
// read once it has been framed; a window not yet framed is expected to get the
// frame of the last one framed, since all of them carry the same decorations.
// One per application, living as long as it does.
class Desktop : public QObject {
    Q_OBJECT

public:
    static Desktop& Instance()
    {
        QCoreApplication* application = QCoreApplication::instance();
        Q_ASSERT(application != nullptr);
        auto* desktop = application->findChild<Desktop*>(QString(), Qt::FindDirectChildrenOnly);
        return desktop != nullptr ? *desktop : *new Desktop(application);
    }

    // The visible frame's thickness on each side in pixels; zero until the
    // window manager has framed the window.
    QMargins FrameOf(const QWidget* window)
    {
        const QWindow* handle = window->windowHandle();
        if (handle == nullptr || !window->isVisible()) {
            return {};
        }
        QMargins m = handle->frameMargins();
        if (!Tells()) {
            // Read from the frame window, as the X server has it now. What the
            // frame window carries beyond the visible frame is no part of it.
            const std::optional<ServerReading> reading = ReadServer(window);
            m = reading ? reading->frame - QMargins(shadow_, shadow_, shadow_, shadow_) : QMargins();
        }
        const QMargins frame(std::max(0, m.left()), std::max(0, m.top()), std::max(0, m.right()),
                             std::max(0, m.bottom()));
        if (frame.isNull()) {
            // A window once framed stays framed: a reading of none while the
            // window manager rewrites the extents, or between a frame window
            // and the next, is not news. (No window manager of the desktop
            // tests has been seen to give one; the guard costs nothing.)
            return framed_.value(window);
        }
        if (!framed_.contains(window)) {
            connect(window, &QObject::destroyed, this, [this, window] { framed_.remove(window); });
        }
        framed_.insert(window, frame);
        predicted_ = frame;
        return frame;
    }

    // Where the window's client stands on the screen: as the window system
    // last told the program, or, where the window manager may not tell, as
    // the X server has it now.
    QPoint ClientPosition(const QWidget* window)
    {
        if (!Tells() && window->isVisible()) {
            if (const std::optional<ServerReading> reading = ReadServer(window)) {
                return reading->client;
            }
        }
        return window->geometry().topLeft();
    }

    // Workaround, fvwm: as it resizes a very small frame it may move the
    // window back to where it had nudged it and tell the program the place
    // asked. Where the X server has the client elsewhere than the program
    // believes, the place the program believes is asked for again, straight
    // from the X server (Qt asks nothing for a place it takes to hold).
    void HoldClientPosition(const QWidget* window)
    {
        xcb_connection_t* connection = X11Connection();
        const QWindow* handle = window->windowHandle();
        if (connection == nullptr || handle == nullptr || handle->handle() == nullptr || !window->isVisible()) {
            return;
        }
        const auto client = xcb_window_t(handle->winId());
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const ReplyPtr<xcb_translate_coordinates_reply_t> onScreen(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, client, root, 0, 0), nullptr));
        if (!onScreen) {
            return;
        }
        const double ratio = handle->devicePixelRatio();
        const QPoint believed = window->geometry().topLeft();
        const QPoint device(int(std::lround(believed.x() * ratio)), int(std::lround(believed.y() * ratio)));
        if (QPoint(onScreen->dst_x, onScreen->dst_y) == device) {
            return;
        }
        const uint32_t place[] = {uint32_t(int32_t(device.x())), uint32_t(int32_t(device.y()))};
        xcb_configure_window(connection, client, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
        xcb_flush(connection);
    }

    QPoint FrameTopLeft(const QWidget* window)
    {
        const QMargins frame = FrameOf(window);
        return ClientPosition(window) - QPoint(frame.left(), frame.top());
    }

    // Workaround, weston's XWayland: it makes each frame window at the
    // screen's origin and moves it only as its compositor first draws the
    // window, which on a busy machine may come seconds after the frame. A
    // frame window still at the origin there tells nothing of where the
    // window will stand: the window is framed but not yet placed.
    bool Unplaced(const QWidget* window)
    {
        if (Tells() || !window->isVisible()) {
            return false;
        }
        const std::optional<ServerReading> reading = ReadServer(window);
        return reading && reading->frameWindow && reading->frameWindow->isNull();
    }

    // Whether the window manager publishes each frame's extents
    // (_NET_FRAME_EXTENTS), and so tells every window where its frame put it.
    // Off X11 (Wayland, offscreen) the platform's own reading is all there is.
    bool Tells()
    {
        if (!publishesExtents_) {
            publishesExtents_ = PublishesExtents();
        }
        return *publishesExtents_;
    }

    // The frame of the window framed last; zero before the first.
    QMargins Predicted() const { return predicted_; }

    // Where a client lands, against where it was asked to stand: zero where
    // the window manager keeps the client where asked; else the offset each
    // new window's request is corrected by.
    QPoint Landing() const { return landing_; }

    // Workaround, weston's XWayland: it puts the visible frame where the
    // client was asked to stand, and its frame window carries an invisible
    // margin of the same width on every side (a shadow). A window that landed
    // elsewhere by the same amount twice running tells both: the visible frame
    // is the frame read less that margin, and every new window's request is
    // corrected from then on. False where the miss is not of that kind.
    bool LearnMiss(const QWidget* window, QPoint miss)
    {
        if (!landing_.isNull() || Tells() || miss.x() <= 0 || miss.y() <= 0) {
            return false;
        }
        const QMargins read = FrameOf(window);
        const int shadow = read.left() - miss.x();
        if (shadow < 0 || shadow != read.top() - miss.y() || shadow > kThickestFrame) {
            return false;
        }
        shadow_ += shadow;
        landing_ = miss;
        (void)FrameOf(window);  // the prediction without the shadow
        return true;
    }

private:
    explicit Desktop(QObject* application) : QObject(application) {}

    static bool PublishesExtents()
    {
        xcb_connection_t* connection = X11Connection();
        if (connection == nullptr) {
            return true;
        }
        const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
        const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr));
        if (!reply || reply->format != 32) {
            return false;
        }
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        return std::find(atoms, atoms + count, extents) != atoms + count;
    }

    // The window's client position and its frame window's margins around it,
    // read from the X server; none off X11 or for a window not yet framed.
    struct ServerReading {
        QPoint client;
        QMargins frame;
        // The frame window's top-left, where there is one.
        std::optional<QPoint> frameWindow;
    };
    static std::optional<ServerReading> ReadServer(const QWidget* window)
    {
        xcb_connection_t* connection = X11Connection();
        const QWindow* handle = window->windowHandle();
        if (connection == nullptr || handle == nullptr || handle->handle() == nullptr) {
            return std::nullopt;
        }
        const auto client = xcb_window_t(handle->winId());
        // The frame window is the window's ancestor that is a child of the root.
        xcb_window_t frame = client;
        xcb_window_t root = XCB_WINDOW_NONE;
        for (int depth = 0; depth < 16; ++depth) {
            const ReplyPtr<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr));
            if (!tree) {
                return std::nullopt;
            }
            root = tree->root;
            if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) {
                break;
            }
            frame = tree->parent;
        }
        const ReplyPtr<xcb_translate_coordinates_reply_t> onScreen(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, client, root, 0, 0), nullptr));
        const ReplyPtr<xcb_translate_coordinates_reply_t> inFrame(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, client, frame, 0, 0), nullptr));
        const ReplyPtr<xcb_get_geometry_reply_t> frameGeometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr));
        if (!onScreen || !inFrame || !frameGeometry) {
            return std::nullopt;
        }
        // The X server counts device pixels; the program, Qt's.
        const double ratio = handle->devicePixelRatio();
        const auto scaled = [ratio](int pixels) { return int(std::lround(pixels / ratio)); };
        ServerReading reading;
        reading.client = QPoint(scaled(onScreen->dst_x), scaled(onScreen->dst_y));
        if (frame != client) {
            // A frame is as thick on the right and at the bottom as on the
            // left (the title bar is on top); what is left of the frame
            // window's size beside the client's lags while the window is
            // quickly resized.
            const int left = scaled(inFrame->dst_x + frameGeometry->border_width);
            const int top = scaled(inFrame->dst_y + frameGeometry->border_width);
            reading.frame = QMargins(left, top, left, left);
            reading.frameWindow = QPoint(scaled(frameGeometry->x), scaled(frameGeometry->y));
        }
        return reading;
    }

    QMargins predicted_;
    // The frame each window had when last framed.
    QHash<const QObject*, QMargins> framed_;
    QPoint landing_;
    int shadow_ = 0;
    std::optional<bool> publishesExtents_;
};

// The client size the program gave the window. Workaround, every window
// manager of the desktop tests, kwin_x11 included: while it catches up with a
// quick run of resizes (a growing window) the size Qt reports may for a
// moment be an earlier one; the fixed size is the last.
QSize ClientSize(const QWidget* window)
{
    return window->minimumSize() == window->maximumSize() ? window->minimumSize() : window->size();
}

}  // namespace

Placement::Placement(QWidget* window) : QObject(window), window_(window)
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

Placement* Placement::Find(const QWidget* window)
{
    return window->findChild<Placement*>(QString(), Qt::FindDirectChildrenOnly);
}

Placement& Placement::Of(QWidget* window)
{
    Placement* placement = Find(window);
    return placement != nullptr ? *placement : *new Placement(window);
}

void Placement::SetOuterSize(double width, double height)
{
    size_ = QSizeF(width, height);
    Apply(false);
    Rewatch();
}

void Placement::SetOuterPlace(double left, double top)
{
    place_ = QPoint(ToPixels(left), ToPixels(top));
    byClient_ = false;
    Apply(true);
}

void Placement::SetClientPlace(double left, double top)
{
    place_ = QPoint(ToPixels(left), ToPixels(top));
    byClient_ = true;
    Apply(true);
}

// Where the frame's top-left stands, as the window system has it.
// Workaround, weston's XWayland: a window placed by the program that it has
// framed and not yet placed stands, for all the program knows, where it was
// asked (a window opened on its corner meanwhile goes there, not to the
// screen's origin).
QPoint Placement::OuterPlace()
{
    Desktop& desktop = Desktop::Instance();
    const QPoint read = desktop.FrameTopLeft(window_);
    if (placed_ && read == *placed_) {
        shownAsAsked_ = true;
    }
    if (placed_ && !shownAsAsked_ && desktop.Unplaced(window_)) {
        return *placed_;
    }
    return read;
}

// Sizes the window to the outer size set; with placeAgain, or where the window
// would not fit the screen, also moves its frame to the place set.
void Placement::Apply(bool placeAgain)
{
    // A frame that came or changed since the last time moves the window back
    // to its place, whatever brought the news.
    Desktop& desktop = Desktop::Instance();
    const QMargins frame = desktop.FrameOf(window_);
    if (frame != frame_) {
        frame_ = frame;
        placeAgain = true;
    }
    const QSize extra = FrameExtra(frame_);
    QSize client = ClientSize(window_);
    if (size_) {
        client = QSize(std::max(kSmallestClient, ToPixels(size_->width()) - extra.width()),
                       std::max(kSmallestClient, ToPixels(size_->height()) - extra.height()));
    }
    FixSize(client);
    const QPoint current = OuterPlace();
    QPoint wanted = current;
    if (placeAgain && place_) {
        const QMargins margins = frame_.isNull() ? desktop.Predicted() : frame_;
        wanted = byClient_ ? *place_ - QPoint(margins.left(), margins.top()) : *place_;
    }
    wanted = FitOnScreen(wanted, client.grownBy(frame_));
    if (wanted != current || (placeAgain && place_)) {
        PlaceFrame(wanted);
    }
}

bool Placement::eventFilter(QObject* watched, QEvent* event)
{
    // Workaround, every reparenting window manager: the frame comes with the
    // window's first exposure (X11 tells no event of its own for it) and may
    // change with a move or resize (fvwm decorates a very small window
    // otherwise; weston's frame loses its shadow once learnt); the window's
    // own moves leave the frame as it was.
    const QEvent::Type type = event->type();
    if (type == QEvent::Show) {
        WatchExposure();
        Poll();
    }
    if (type == QEvent::Hide) {
        seen_ = false;
    }
    const bool exposure = watched == window_->windowHandle() && type == QEvent::Expose;
    if (exposure && !seen_ && window_->windowHandle()->isExposed()) {
        seen_ = true;
        Rearm();
    }
    if (exposure || (watched == window_ && (type == QEvent::Move || type == QEvent::Resize))) {
        // Only the window system's moves answer a request: Qt moves the window
        // where it was asked at once, before any answer.
        Check(type == QEvent::Move && event->spontaneous());
    }
    return false;
}

// A frame that came or changed places the window again; an answer to a
// placement confirms it or asks again.
void Placement::Check(bool answer)
{
    if (Desktop::Instance().FrameOf(window_) != frame_) {
        Apply(false);
    } else if (answer) {
        Confirm();
    }
}

// A window manager that may not tell a window it was framed or moved is asked
// through the X server, for a while after each placement.
void Placement::Poll()
{
    if (!Desktop::Instance().Tells()) {
        polls_ = kPolls;
        poll_.start();
    }
}

// The window is not resizable by the user: its minimum and maximum are the
// size the program sets, given in one call. Workaround, openbox and fvwm: no
// size hint they read may have a minimum above its maximum or describe a
// resizable window (openbox would add its resize handle to the frame for that
// moment, and the frame would change under the window).
void Placement::FixSize(QSize size)
{
    if (window_->minimumSize() != size || window_->maximumSize() != size) {
        window_->setFixedSize(size);
    }
}

// The native window exists once the window is shown; its exposure is watched
// from then on.
void Placement::WatchExposure()
{
    if (window_->windowHandle() != nullptr && !watching_) {
        watching_ = true;
        window_->windowHandle()->installEventFilter(this);
    }
}

// A window that would reach beyond the screen's available area (a high scale
// factor, a small screen) moves just enough to lie inside it; its size stays.
QPoint Placement::FitOnScreen(QPoint frameTopLeft, QSize outer) const
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

// The frame's top-left goes to the point, framed yet or not. Workaround, every
// reparenting window manager (all of the desktop tests' but kwin_x11, which
// draws no frame there): until it has framed this window, the frame is
// taken to be that of the windows framed before it (they carry the same
// decorations), and the client is placed inside it; should the frame come out
// otherwise, its arrival places the window again.
void Placement::PlaceFrame(QPoint frameTopLeft)
{
    const QMargins margins = frame_.isNull() ? Desktop::Instance().Predicted() : frame_;
    Ask(frameTopLeft + QPoint(margins.left(), margins.top()));
    placed_ = frameTopLeft;
    shownAsAsked_ = false;
    retries_ = 0;
    lastMiss_ = {};
    placing_.start();
    Poll();
}

// A move the window manager reports while a placement is still new: at the
// place asked, it confirms it; elsewhere, it is a stale or reordered answer,
// and the place is asked for again.
void Placement::Confirm()
{
    Desktop& desktop = Desktop::Instance();
    if (!placing_.isValid() || !placed_) {
        return;
    }
    // A window manager that tells nothing is given time to answer.
    if (!desktop.Tells() && asked_.elapsed() < kAnswerMs) {
        return;
    }
    // Framed but not yet placed: the window manager has not answered.
    if (desktop.Unplaced(window_)) {
        return;
    }
    const QPoint at = desktop.FrameTopLeft(window_);
    if (at == *placed_ || frame_.isNull()) {
        if (at == *placed_) {
            placing_.invalidate();
        }
        return;
    }
    const int patience = desktop.Tells() ? kPlacementPatienceMs : kPolls * kPollMs;
    if (placing_.elapsed() > patience || retries_ >= kPlacementRetries) {
        placing_.invalidate();
        return;
    }
    ++retries_;
    // The same miss twice running, each the answer to a request of its own:
    // perhaps weston's landing (see LearnMiss), learnt once for every window.
    const QPoint miss = at - *placed_;
    if (miss == lastMiss_ && desktop.LearnMiss(window_, miss)) {
        lastMiss_ = {};
        Apply(true);
        return;
    }
    lastMiss_ = miss;
    Ask(*placed_ + QPoint(frame_.left(), frame_.top()));
}

// Workaround, fvwm (the desktop tests see it ask again after this) and
// weston's XWayland: a window manager answers a placement made before the
// window was mapped only as it maps it, which on a busy machine may come long
// after the request, and may then put the window elsewhere (fvwm moves a very
// small window by a few pixels as it frames it).
// The user cannot have moved a window not yet seen, so its placement is
// watched anew from its first exposure, and checked at once.
void Placement::Rearm()
{
    if (!placed_) {
        return;
    }
    placing_.start();
    retries_ = 0;
    lastMiss_ = {};
    if (!Desktop::Instance().Tells()) {
        Poll();
    } else if (Desktop::Instance().FrameTopLeft(window_) != *placed_) {
        Confirm();
    }
}

// Workaround, fvwm: as it resizes a very small frame it moves it by a few
// pixels now and then, after it has confirmed the frame's place, and may even
// keep it there while it tells the program the place asked. A placement the
// frame still holds is watched anew with each size change and held against the
// X server's reading, so that such a move is put back; a frame the user has
// moved elsewhere stays there.
void Placement::Rewatch()
{
    Desktop& desktop = Desktop::Instance();
    if (placed_ && desktop.Tells() && desktop.FrameTopLeft(window_) == *placed_) {
        placing_.start();
        retries_ = 0;
        lastMiss_ = {};
        desktop.HoldClientPosition(window_);
    }
}

// Asks the window manager for the client to land at a point.
void Placement::Ask(QPoint client)
{
    asked_.start();
    window_->setGeometry(QRect(client - Desktop::Instance().Landing(), ClientSize(window_)));
}

// Width and Height read back what the program set; a window never sized by
// the program reads its frame and client.
double OuterWidth(const QWidget* window)
{
    if (const Placement* placement = Placement::Find(window); placement != nullptr && placement->OuterSize()) {
        return placement->OuterSize()->width();
    }
    const QSize extra = FrameExtra(Desktop::Instance().FrameOf(window));
    return double(ClientSize(window).width() + extra.width()) * kTwipsPerPixel;
}

double OuterHeight(const QWidget* window)
{
    if (const Placement* placement = Placement::Find(window); placement != nullptr && placement->OuterSize()) {
        return placement->OuterSize()->height();
    }
    const QSize extra = FrameExtra(Desktop::Instance().FrameOf(window));
    return double(ClientSize(window).height() + extra.height()) * kTwipsPerPixel;
}

namespace {

QPoint OuterTopLeft(const QWidget* window)
{
    Placement* placement = Placement::Find(window);
    return placement != nullptr ? placement->OuterPlace() : Desktop::Instance().FrameTopLeft(window);
}

}  // namespace

double OuterLeft(const QWidget* window) { return double(OuterTopLeft(window).x()) * kTwipsPerPixel; }
double OuterTop(const QWidget* window) { return double(OuterTopLeft(window).y()) * kTwipsPerPixel; }

void SetOuterSize(QWidget* window, double width, double height) { Placement::Of(window).SetOuterSize(width, height); }
void SetOuterPlace(QWidget* window, double left, double top) { Placement::Of(window).SetOuterPlace(left, top); }
void SetClientPlace(QWidget* window, double left, double top) { Placement::Of(window).SetClientPlace(left, top); }

void PlaceOnCorner(QWidget* window, QWidget* of)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (of->windowHandle() != nullptr) {
            (void)window->winId();
            window->windowHandle()->setTransientParent(of->windowHandle());
        }
        return;
    }
    SetOuterPlace(window, OuterLeft(of), OuterTop(of));
}

}  // namespace zarnik::ui

#include "Placement.moc"
