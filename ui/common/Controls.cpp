#include "ui/common/Controls.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace zarnik::ui {

QColor FromRgb(std::uint32_t rgb)
{
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

namespace {

template <class Label>
Label* MakeLabel(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb, bool bordered)
{
    auto* label = new Label(parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    SetLabelColour(label, FromRgb(rgb));
    SetLabelBorder(label, bordered);
    SetTwipsGeometry(label, rect);
    return label;
}

}  // namespace

QLabel* MakeColourLabel(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb, bool bordered)
{
    return MakeLabel<QLabel>(parent, name, rect, rgb, bordered);
}

Swatch* MakeSwatch(QWidget* parent, const QString& name, TwipsRect rect, std::uint32_t rgb, bool bordered)
{
    return MakeLabel<Swatch>(parent, name, rect, rgb, bordered);
}

void Swatch::mousePressEvent(QMouseEvent* event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void Swatch::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
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
