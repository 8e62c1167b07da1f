// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

// Geometry in twips. Controls are placed from twips and remember the exact
// twips they were given, so that animations stepping in twips never drift
// through pixel rounding. A window's Width, Height, Left and Top are its outer
// size and place, frame included.
namespace zarnik::ui {

inline constexpr int kTwipsPerPixel = 15;

[[nodiscard]] int ToPixels(double twips);

// A control's place inside its window's client area.
struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

void SetTwipsGeometry(QWidget* control, TwipsRect rect);
void SetTwipsLeft(QWidget* control, double left);
void SetTwipsTop(QWidget* control, double top);
void SetTwipsWidth(QWidget* control, double width);
// The twips last given; a control never placed in twips reads its pixels.
[[nodiscard]] TwipsRect TwipsGeometry(const QWidget* control);
[[nodiscard]] double TwipsLeft(const QWidget* control);
[[nodiscard]] double TwipsTop(const QWidget* control);

// The outer size and place of a top-level window in twips, frame included. The
// frame is read from the window once it has been framed. What
// the program sets is kept and applied again whenever the frame arrives or
// changes, and a window that would not fit the screen's available area moves
// just enough to fit. The smallest window has a client area of one pixel.
[[nodiscard]] double OuterWidth(const QWidget* window);
[[nodiscard]] double OuterHeight(const QWidget* window);
[[nodiscard]] double OuterLeft(const QWidget* window);
[[nodiscard]] double OuterTop(const QWidget* window);
void SetOuterWidth(QWidget* window, double twips);
void SetOuterHeight(QWidget* window, double twips);
void SetOuterLeft(QWidget* window, double twips);
void SetOuterTop(QWidget* window, double twips);
// Places a window by its client area's top-left, and keeps it there once the
// window manager has framed it, wherever the frame's own corner then lies.
void SetClientPlace(QWidget* window, double left, double top);

}  // namespace zarnik::ui
