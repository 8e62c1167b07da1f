// SPDX-License-Identifier: MIT
#pragma once

// Where a top-level window stands and how big it is, frame included, in
// twips. The program asks once (an outer size; an outer place or the client's
// place), and Placement turns the request into one client geometry for Qt:
// the window manager's frame is read from the window once it is framed, or,
// before that, taken to be the frame of the window framed last. It then reads
// back what the window system did (Qt's frame margins where the window manager
// publishes them, else the frame window itself from the X server), and
// corrects: a frame that comes or changes applies the request again, and a
// new placement that the window manager answers elsewhere is asked again for
// a short while. Each workaround for a window manager is marked "Workaround"
// below and in Placement.cpp, with the window manager it is for.

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSizeF>
#include <QTimer>
#include <optional>

class QWidget;

namespace zarnik::ui {

class Placement : public QObject {
    Q_OBJECT

public:
    // The window's own placement, made on first use; it lives as long as the
    // window.
    [[nodiscard]] static Placement& Of(QWidget* window);
    [[nodiscard]] static Placement* Find(const QWidget* window);

    // The outer size in twips; the client area is never smaller than one
    // pixel. One size change of the window.
    void SetOuterSize(double width, double height);
    // The frame's top-left in twips. One request to the window system.
    void SetOuterPlace(double left, double top);
    // The client area's top-left in twips, kept there once the window
    // manager has framed the window, wherever the frame's corner then lies.
    void SetClientPlace(double left, double top);

    // The outer size last set, as a window reads back its own properties: a
    // growth of 75-twip steps from zero so ends exactly at its goal, whatever
    // the smallest size the window system allows on the way and however late
    // the window manager answers.
    [[nodiscard]] std::optional<QSizeF> OuterSize() const { return size_; }
    // Where the frame's top-left stands in pixels.
    [[nodiscard]] QPoint OuterPlace();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit Placement(QWidget* window);

    void Apply(bool placeAgain);
    void Check(bool answer);
    void Poll();
    void FixSize(QSize size);
    void WatchExposure();
    [[nodiscard]] QPoint FitOnScreen(QPoint frameTopLeft, QSize outer) const;
    void PlaceFrame(QPoint frameTopLeft);
    void Confirm();
    void Rearm();
    void Rewatch();
    void Ask(QPoint client);

    QWidget* window_;
    // What the program asked for: the outer size in twips, and the place in
    // pixels, of the frame's top-left or of the client's.
    std::optional<QSizeF> size_;
    std::optional<QPoint> place_;
    bool byClient_ = false;
    // The frame the request was last applied with.
    QMargins frame_;
    // Where the frame was last asked to stand, once it has been.
    std::optional<QPoint> placed_;
    // Whether the window system has shown the frame there since.
    bool shownAsAsked_ = false;
    // A placement not yet confirmed: since when, how often asked again, and
    // the miss seen last.
    QElapsedTimer placing_, asked_;
    int retries_ = 0;
    QPoint lastMiss_;
    // Polling the X server after a placement.
    QTimer poll_;
    int polls_ = 0;
    bool watching_ = false;
    // Whether the window has been exposed since it was last shown.
    bool seen_ = false;
};

// The same, for a window by itself. Readers of a window never sized or placed
// by the program read its frame and client.
[[nodiscard]] double OuterWidth(const QWidget* window);
[[nodiscard]] double OuterHeight(const QWidget* window);
[[nodiscard]] double OuterLeft(const QWidget* window);
[[nodiscard]] double OuterTop(const QWidget* window);
void SetOuterSize(QWidget* window, double width, double height);
void SetOuterPlace(QWidget* window, double left, double top);
void SetClientPlace(QWidget* window, double left, double top);

// Puts a window's frame on another window's outer top-left corner, before it
// is shown. Workaround, native Wayland (every compositor): a client cannot
// place its windows there, so the window is made transient for the other,
// and the compositor places it by that one.
void PlaceOnCorner(QWidget* window, QWidget* of);

}  // namespace zarnik::ui
