// SPDX-License-Identifier: MIT
// Draws the application icon: the decoder window's resistor (grey outline,
// a lead on each side, four bands on a white body: three red, one pale
// yellow), 80 x 80 pixels, 24-bit colour, written as PNG.
//
// Usage: zarnik_icon [output.png]   (default: resources/icon.png)

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <cstdio>

namespace zarnik {
namespace {

constexpr int kSize = 80;

// The outline follows the decoder's drawing: wide end caps, 45-degree
// shoulders and a narrower body, squeezed a little horizontally so that the
// leads still show inside the square. Coordinates are pixel edges, so the
// 2-pixel strokes on integer coordinates stay sharp.
constexpr int kCapLeft = 5;
constexpr int kCapRight = kSize - kCapLeft;
constexpr int kCapWidth = 8;
constexpr int kShoulder = 7;
constexpr int kCapTop = 22;
constexpr int kCapBottom = kSize - kCapTop;
constexpr int kBodyTop = kCapTop + kShoulder;
constexpr int kBodyBottom = kCapBottom - kShoulder;
constexpr int kBodyLeft = kCapLeft + kCapWidth + kShoulder;
constexpr int kBodyRight = kCapRight - kCapWidth - kShoulder;

QPainterPath resistorOutline()
{
    QPainterPath path;
    path.moveTo(kCapLeft, kCapTop);
    path.lineTo(kCapLeft + kCapWidth, kCapTop);
    path.lineTo(kBodyLeft, kBodyTop);
    path.lineTo(kBodyRight, kBodyTop);
    path.lineTo(kCapRight - kCapWidth, kCapTop);
    path.lineTo(kCapRight, kCapTop);
    path.lineTo(kCapRight, kCapBottom);
    path.lineTo(kCapRight - kCapWidth, kCapBottom);
    path.lineTo(kBodyRight, kBodyBottom);
    path.lineTo(kBodyLeft, kBodyBottom);
    path.lineTo(kCapLeft + kCapWidth, kCapBottom);
    path.lineTo(kCapLeft, kCapBottom);
    path.closeSubpath();
    return path;
}

QImage paintIcon()
{
    QImage image(kSize, kSize, QImage::Format_RGB888);
    image.fill(Qt::white);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    const QColor outline(0x6e, 0x6e, 0x6e);
    const QColor lead(0x8c, 0x8c, 0x8c);
    const int mid = kSize / 2;

    // Leads: a 4-pixel wire from each cap to the icon's edge.
    p.fillRect(QRect(0, mid - 2, kCapLeft, 4), lead);
    p.fillRect(QRect(kCapRight, mid - 2, kSize - kCapRight, 4), lead);

    // White body with its grey outline.
    p.setPen(QPen(outline, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawPath(resistorOutline());

    // Four bands between the body's top and bottom edges: three digits close
    // together on the left, the tolerance band apart on the right.
    const QColor red(0xff, 0x00, 0x00);
    const QColor paleYellow(0xf2, 0xe2, 0x6a);
    struct Band {
        int left;
        QColor colour;
    };
    const Band bands[] = {
        {kBodyLeft + 3, red},
        {kBodyLeft + 11, red},
        {kBodyLeft + 19, red},
        {kBodyRight - 9, paleYellow},
    };
    constexpr int kBandWidth = 5;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (const Band& band : bands) {
        p.fillRect(QRect(band.left, kBodyTop + 1, kBandWidth, kBodyBottom - kBodyTop - 2), band.colour);
    }
    // A thin darker edge keeps the pale band visible on the white body at
    // small sizes.
    const Band& tolerance = bands[3];
    const QColor edge = tolerance.colour.darker(135);
    p.fillRect(QRect(tolerance.left, kBodyTop + 1, 1, kBodyBottom - kBodyTop - 2), edge);
    p.fillRect(QRect(tolerance.left + kBandWidth - 1, kBodyTop + 1, 1, kBodyBottom - kBodyTop - 2), edge);
    p.end();
    return image;
}

}  // namespace
}  // namespace zarnik

int main(int argc, char* argv[])
{
    // Only QImage and QPainter: no text is drawn, so no application object
    // or display is needed.
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: zarnik_icon [output.png]\n");
        return 2;
    }
    const QString output = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZARNIK_DEFAULT_OUTPUT);

    QImage icon = zarnik::paintIcon();
    // 96 dots per inch, written explicitly so the file is the same whatever
    // the environment's default.
    icon.setDotsPerMeterX(3780);
    icon.setDotsPerMeterY(3780);
    if (!icon.save(output, "PNG")) {
        std::fprintf(stderr, "zarnik_icon: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
