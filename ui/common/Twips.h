// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

// Geometry in twips. Controls are placed from twips and remember the exact
// twips they were given, so that animations stepping in twips never drift
// through pixel rounding. A window's own size and place (its Width, Height,
// Left and Top, frame included) are Placement's.
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

}  // namespace zarnik::ui
