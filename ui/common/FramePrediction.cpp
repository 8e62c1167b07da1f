// SPDX-License-Identifier: MIT
#include "ui/common/FramePrediction.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace zarnik::ui {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// No window manager's frame is thicker than this on any side.
constexpr int kThickestFrame = 64;

}  // namespace

FramePrediction::FramePrediction(QObject* application) : QObject(application) {}

FramePrediction& FramePrediction::Instance()
{
    QCoreApplication* application = QCoreApplication::instance();
    Q_ASSERT(application != nullptr);
    auto* prediction = application->findChild<FramePrediction*>(QString(), Qt::FindDirectChildrenOnly);
    return prediction != nullptr ? *prediction : *new FramePrediction(application);
}

namespace {

xcb_connection_t* X11Connection()
{
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

std::optional<FramePrediction::ServerReading> FramePrediction::ReadServer(const QWidget* window) const
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
        // A frame is as thick on the right and at the bottom as on the left
        // (the title bar is on top); what is left of the frame window's size
        // beside the client's lags while the window is quickly resized.
        const int left = scaled(inFrame->dst_x + frameGeometry->border_width);
        const int top = scaled(inFrame->dst_y + frameGeometry->border_width);
        reading.frame = QMargins(left, top, left, left);
        reading.frameWindow = QPoint(scaled(frameGeometry->x), scaled(frameGeometry->y));
    }
    return reading;
}

QPoint FramePrediction::ClientPosition(const QWidget* window)
{
    if (!WindowManagerPublishesExtents() && window->isVisible()) {
        if (const std::optional<ServerReading> reading = ReadServer(window)) {
            return reading->client;
        }
    }
    return window->geometry().topLeft();
}

bool FramePrediction::Unplaced(const QWidget* window)
{
    if (WindowManagerPublishesExtents() || !window->isVisible()) {
        return false;
    }
    const std::optional<ServerReading> reading = ReadServer(window);
    return reading && reading->frameWindow && reading->frameWindow->isNull();
}

bool FramePrediction::WindowManagerPublishesExtents()
{
    if (publishesExtents_) {
        return *publishesExtents_;
    }
    // Off X11 (Wayland, offscreen) the platform's own reading is all there is.
    publishesExtents_ = true;
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return true;
    }
    const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr));
    bool found = false;
    if (reply && reply->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        found = std::find(atoms, atoms + count, extents) != atoms + count;
    }
    publishesExtents_ = found;
    return found;
}

QMargins FramePrediction::FrameOf(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    if (handle == nullptr || !window->isVisible()) {
        return {};
    }
    QMargins m = handle->frameMargins();
    if (!WindowManagerPublishesExtents()) {
        // Read from the frame window, as the X server has it now. What the
        // frame window carries beyond the visible frame is no part of it.
        const std::optional<ServerReading> reading = ReadServer(window);
        m = reading ? reading->frame - QMargins(shadow_, shadow_, shadow_, shadow_) : QMargins();
    }
    const QMargins frame(std::max(0, m.left()), std::max(0, m.top()), std::max(0, m.right()), std::max(0, m.bottom()));
    if (frame.isNull()) {
        // A window once framed stays framed: a reading of none while the
        // window manager rewrites the extents is not news.
        return framed_.value(window);
    }
    if (!framed_.contains(window)) {
        connect(window, &QObject::destroyed, this, [this, window] { framed_.remove(window); });
    }
    framed_.insert(window, frame);
    predicted_ = frame;
    return frame;
}

bool FramePrediction::LearnMiss(const QWidget* window, QPoint miss)
{
    if (!landing_.isNull() || WindowManagerPublishesExtents() || miss.x() <= 0 || miss.y() <= 0) {
        return false;
    }
    // The client landed by the visible frame's left and top below where it
    // was asked: the frame read is that much and a shadow more on each side.
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

}  // namespace zarnik::ui
