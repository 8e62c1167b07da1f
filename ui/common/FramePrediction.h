// SPDX-License-Identifier: MIT
#pragma once

#include <QMargins>
#include <QObject>

class QWidget;

namespace zarnik::ui {

// The frame the window manager gives the program's windows. Each window's own
// is read once it has been framed; a window not yet framed is expected to get
// the frame of the last one framed, since all of them carry the same
// decorations. One per application, living as long as it does.
class FramePrediction : public QObject {
    Q_OBJECT

public:
    [[nodiscard]] static FramePrediction& Instance();

    // The frame's thickness on each side in pixels; zero until the window
    // manager has framed the window.
    [[nodiscard]] QMargins FrameOf(const QWidget* window);

    // The frame of the window framed last; zero before the first.
    [[nodiscard]] QMargins Predicted() const { return predicted_; }

private:
    explicit FramePrediction(QObject* application);

    QMargins predicted_;
};

}  // namespace zarnik::ui
