#pragma once

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

// A swatch of a palette: a colour label that is clicked (pressed and released
// inside it with the left button).
class Swatch : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

[[nodiscard]] Swatch* MakeSwatch(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb,
                                         bool bordered);

}  // namespace zarnik::ui
