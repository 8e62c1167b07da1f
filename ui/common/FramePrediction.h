// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <optional>

class QWidget;

namespace zarnik::ui {

// The frame the window manager gives the program's windows, and how it places
// them. Each window's own frame is read once it has been framed; a window not
// yet framed is expected to get the frame of the last one framed, since all of
// them carry the same decorations. One per application, living as long as it
// does.
class FramePrediction : public QObject {
    Q_OBJECT

public:
    [[nodiscard]] static FramePrediction& Instance();

    // The visible frame's thickness on each side in pixels; zero until the
    // window manager has framed the window.
    [[nodiscard]] QMargins FrameOf(const QWidget* window);

    // Where the window's client stands on the screen: as the window system
    // last told the program, or, under a window manager that publishes no
    // frame extents (and may not tell a window it was framed or moved), as
    // the X server has it now.
    [[nodiscard]] QPoint ClientPosition(const QWidget* window);

    // Whether the window manager has framed the window but not yet placed it.
    // One that publishes no frame extents may make each frame window at the
    // screen's origin and move it only once the window shows: weston's
    // XWayland does so as its compositor first draws the window, which on a
    // busy machine may come seconds after the frame. A frame window still at
    // the origin there tells nothing of where the window will stand.
    [[nodiscard]] bool Unplaced(const QWidget* window);

    // Whether the window manager tells every window where its frame put it;
    // where it may not, a new placement is watched by asking the X server.
    [[nodiscard]] bool Tells() { return WindowManagerPublishesExtents(); }

    // The frame of the window framed last; zero before the first.
    [[nodiscard]] QMargins Predicted() const { return predicted_; }

    // Where a client lands, against where it was asked to stand: zero where
    // the window manager keeps the client where asked, as the program asks it
    // to; else the offset each new window's request is corrected by.
    [[nodiscard]] QPoint Landing() const { return landing_; }

    // A window asked to stand with its client at a point landed elsewhere,
    // again and again, by the same amount: a window manager that puts its
    // visible frame where the client was asked. Where its frame window also
    // carries an invisible margin of the same width on every side (a shadow),
    // the visible frame is the frame read less that margin, and every new
    // window's request is corrected from then on. False where the miss is not
    // of that kind (the window corrects only its own requests).
    bool LearnMiss(const QWidget* window, QPoint miss);

private:
    explicit FramePrediction(QObject* application);

    // Whether the window manager publishes each frame's extents; where it does
    // not, the frame is read from the window's parent, the window manager's
    // frame window.
    bool WindowManagerPublishesExtents();

    // The window's client position and its frame window's margins around it,
    // read from the X server; none off X11 or for a window not yet framed.
    struct ServerReading {
        QPoint client;
        QMargins frame;
        // The frame window's top-left, where there is one.
        std::optional<QPoint> frameWindow;
    };
    [[nodiscard]] std::optional<ServerReading> ReadServer(const QWidget* window) const;

    QMargins predicted_;
    // The frame each window had when last framed.
    QHash<const QObject*, QMargins> framed_;
    QPoint landing_;
    int shadow_ = 0;
    std::optional<bool> publishesExtents_;
};

}  // namespace zarnik::ui
