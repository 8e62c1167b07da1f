// SPDX-License-Identifier: MIT
#include "ui/common/Controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace zarnik::ui {

QColor FromRgb(std::uint32_t rgb) { return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

QLabel* MakeColourLabel(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb, bool bordered)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    SetLabelColour(label, FromRgb(rgb));
    SetLabelBorder(label, bordered);
    SetTwipsGeometry(label, rect);
    return label;
}

Swatch* MakeSwatch(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb, bool bordered)
{
    auto* swatch = new Swatch(parent);
    swatch->setObjectName(name);
    swatch->SetColour(FromRgb(rgb));
    swatch->SetBordered(bordered);
    SetTwipsGeometry(swatch, rect);
    return swatch;
}

Swatch::Swatch(QWidget* parent) : QAbstractButton(parent)
{
    // Tab and the arrow keys reach a swatch; a mouse click leaves the focus
    // where it was, so a mouse user sees the palettes exactly as drawn.
    setFocusPolicy(Qt::TabFocus);
    // Checked is the colour its band has; its owner unchecks the other
    // swatches of the band. (A button group would also change what Tab does.)
    setCheckable(true);
}

void Swatch::SetColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
}

QColor Swatch::Colour() const { return palette().color(QPalette::Window); }

void Swatch::SetBordered(bool bordered)
{
    bordered_ = bordered;
    update();
}

void Swatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Colour());
    if (bordered_) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        // Clear of the border and of the row below, which overlaps this
        // square by one pixel: two pixels of black on a light colour, of
        // white on a dark one, lined inside with the other, so that the ring
        // stands out on every colour and on the mid tones too.
        const bool light = qGray(Colour().rgb()) >= 128;
        const QColor ring = light ? Qt::black : Qt::white;
        const QColor lining = light ? Qt::white : Qt::black;
        const QRect outer = rect().adjusted(2, 2, -3, -3);
        painter.setPen(QPen(ring, 1));
        painter.drawRect(outer);
        painter.drawRect(outer.adjusted(1, 1, -1, -1));
        painter.setPen(QPen(lining, 1));
        painter.drawRect(outer.adjusted(2, 2, -2, -2));
        if (isChecked()) {
            // The checked swatch: a dot in the middle, in the ring's colour.
            painter.fillRect(QRect(rect().center() - QPoint(1, 1), QSize(3, 3)), ring);
        }
    }
}

void Swatch::nextCheckState() { setChecked(true); }

void Swatch::keyPressEvent(QKeyEvent* event)
{
    // Space is the button's own key; Enter chooses the swatch as well.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SetLabelColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
}

void SetLabelBorder(QLabel* label, bool bordered)
{
    if (bordered) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    } else {
        label->setFrameStyle(QFrame::NoFrame);
    }
}

void SetBandMeaning(QLabel* band, const QString& meaning, const QString& spoken)
{
    band->setToolTip(meaning);
    // Qt tells a screen reader of the new name at once.
    band->setAccessibleName(spoken);
}

void SetResultNote(QWidget* resultLine, const std::optional<std::string>& note)
{
    const QString text = note ? QString::fromStdString(*note) : QString();
    resultLine->setToolTip(text);
    resultLine->setAccessibleDescription(text);
}

QColor LabelColour(const QLabel* label) { return label->palette().color(QPalette::Window); }

ClientArea::ClientArea(QWidget* parent, const QColor& background) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
}

void ClientArea::SetLines(std::span<const DrawnLine> lines)
{
    lines_ = lines;
    update();
}

void ClientArea::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void ClientArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(0, 0, picture_);
    }
    for (const DrawnLine& line : lines_) {
        QPen pen(Qt::black);
        pen.setWidth(line.width);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(ToPixels(line.x1), ToPixels(line.y1), ToPixels(line.x2), ToPixels(line.y2));
    }
}

}  // namespace zarnik::ui
