#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
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
// has the focus; the focus shows as a dotted ring inside the square, black on
// white so that it shows on every colour.
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

private:
    bool bordered_ = false;
};

[[nodiscard]] Swatch* MakeSwatch(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb,
                                 bool bordered);

}  // namespace zarnik::ui
