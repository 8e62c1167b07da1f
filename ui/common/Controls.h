// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ui/common/Twips.h"

namespace zarnik::ui {

[[nodiscard]] QColor FromRgb(std::uint32_t rgb);

// A band or swatch: a captionless label with a solid background, optionally
// with a fixed single border.
[[nodiscard]] QLabel* MakeColourLabel(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb,
                                      bool bordered);
void SetLabelColour(QLabel* label, const QColor& colour);
void SetLabelBorder(QLabel* label, bool bordered);
[[nodiscard]] QColor LabelColour(const QLabel* label);

// What a band's colour means: the tooltip, and the name a screen reader says.
void SetBandMeaning(QLabel* band, const QString& meaning, const QString& spoken);

// What a result means for a real part (its range, its standard series), as
// the result line's tooltip and accessible description; none clears both.
void SetResultNote(QWidget* resultLine, const std::optional<std::string>& note);

// A straight line of the drawing, in twips, width in pixels.
struct DrawnLine {
    const char* name;
    int x1, y1, x2, y2;
    int width;
};

// The colours of the windows' own surfaces.
inline constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;  // the windows' ground, the option buttons
inline constexpr std::uint32_t kGreenRgb = 0x00FF00;  // the result lines, the value and list boxes

// The resistor both windows draw, Line1 to Line14: leads, end caps,
// shoulders and body, where the decoder window draws it; the encoder window
// draws it lower. Its bands stand on the body, 15 twips below its top edge.
inline constexpr std::array<DrawnLine, 14> kResistorOutline = {{
    {"Line1", 600, 1320, 1200, 1320, 2},
    {"Line2", 1200, 720, 1200, 1800, 2},
    {"Line3", 1200, 720, 1560, 720, 2},
    {"Line4", 1560, 1800, 1200, 1800, 2},
    {"Line5", 1800, 1560, 1560, 1800, 2},
    {"Line6", 1800, 960, 1560, 720, 2},
    {"Line7", 1800, 1560, 3720, 1560, 2},
    {"Line8", 1800, 960, 3720, 960, 2},
    {"Line9", 3720, 1560, 3960, 1800, 2},
    {"Line10", 3960, 720, 3720, 960, 2},
    {"Line11", 4320, 1800, 3960, 1800, 2},
    {"Line12", 3960, 720, 4320, 720, 2},
    {"Line13", 4320, 1800, 4320, 720, 2},
    {"Line14", 4920, 1320, 4320, 1320, 2},
}};
inline constexpr double kResistorBandTop = 975;

// A window's drawing: the resistor moved down by `down` twips, then the
// window's own lines.
template <std::size_t N>
constexpr std::array<DrawnLine, kResistorOutline.size() + N> ResistorDrawing(int down,
                                                                             const std::array<DrawnLine, N>& own)
{
    std::array<DrawnLine, kResistorOutline.size() + N> lines{};
    for (std::size_t i = 0; i < kResistorOutline.size(); ++i) {
        DrawnLine line = kResistorOutline[i];
        line.y1 += down;
        line.y2 += down;
        lines[i] = line;
    }
    for (std::size_t i = 0; i < N; ++i) {
        lines[kResistorOutline.size() + i] = own[i];
    }
    return lines;
}

// A window's client area: a solid background, an optional picture at its
// top-left corner at natural size, and the window's drawn lines on top.
class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent, const QColor& background);

    void SetLines(std::span<const DrawnLine> lines);
    void SetPicture(const QPixmap& picture);
    [[nodiscard]] std::span<const DrawnLine> Lines() const { return lines_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::span<const DrawnLine> lines_;
    QPixmap picture_;
};

}  // namespace zarnik::ui

namespace zarnik::ui {

// A swatch of a palette: a captionless button filled with its colour,
// optionally boxed by a one-pixel black border, exactly as a colour label
// draws. It is clicked with the left button, or with Space or Enter while it
// has the focus. It is checked while its band has its colour; that shows
// only with the focus, which is a ring inside the square (two pixels of black
// or white, whichever stands out, lined with the other) with a dot in the
// middle on the checked swatch.
class Swatch : public QAbstractButton {
    Q_OBJECT

public:
    explicit Swatch(QWidget* parent);

    void SetColour(const QColor& colour);
    [[nodiscard]] QColor Colour() const;
    void SetBordered(bool bordered);
    [[nodiscard]] bool Bordered() const { return bordered_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A click checks a swatch, never unchecks it.
    void nextCheckState() override;

private:
    bool bordered_ = false;
};

[[nodiscard]] Swatch* MakeSwatch(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb,
                                 bool bordered);

}  // namespace zarnik::ui
