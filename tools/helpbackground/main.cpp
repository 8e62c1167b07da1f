// SPDX-License-Identifier: MIT
// Paints the help window's background: a light-blue to mid-blue sky crossed
// by soft white rays of light falling from the top, small white sparkles and
// one larger four-pointed star in the lower left. 390 x 395 pixels, written
// as a 24-bit JPEG. The random placement uses a fixed seed, so every run
// writes the same picture.
//
// Usage: zarnik_helpbackground [output.jpg]   (default: resources/help_background.jpg)

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTransform>

#include "common/Raster.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace zarnik {
namespace {

constexpr int kWidth = 390;
constexpr int kHeight = 395;

using tools::blur;
using tools::Random;

QImage transparentLayer() { return tools::transparentLayer(kWidth, kHeight); }

void paintSky(QPainter& p)
{
    QLinearGradient sky(QPointF(kWidth * 0.35, 0), QPointF(kWidth * 0.6, kHeight));
    sky.setColorAt(0.0, QColor(0xd6, 0xee, 0xfd));
    sky.setColorAt(0.35, QColor(0x9c, 0xcf, 0xf4));
    sky.setColorAt(0.75, QColor(0x5b, 0x9f, 0xe0));
    sky.setColorAt(1.0, QColor(0x3f, 0x83, 0xcf));
    p.fillRect(QRect(0, 0, kWidth, kHeight), sky);

    // A wide, faint glow where the light comes in.
    QRadialGradient glow(QPointF(kWidth * 0.38, -30), kWidth * 0.75);
    glow.setColorAt(0.0, QColor(255, 255, 255, 120));
    glow.setColorAt(0.5, QColor(255, 255, 255, 30));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, kWidth, kHeight), glow);
}

// Rays fan out from a point above the picture; each is a thin wedge that
// fades with distance, then the whole layer is blurred so the edges melt.
QImage paintRays(Random& random)
{
    QImage layer = transparentLayer();
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);

    const QPointF source(kWidth * 0.36, -120);
    const double reach = 640;
    double angle = 30.0;
    while (angle < 150.0) {
        const double width = random.uniform(1.5, 5.5);
        const double strength = random.uniform(0.25, 1.0);
        const double a0 = (angle - width / 2) * std::numbers::pi / 180.0;
        const double a1 = (angle + width / 2) * std::numbers::pi / 180.0;
        QPainterPath wedge;
        wedge.moveTo(source);
        wedge.lineTo(source + QPointF(std::cos(a0), std::sin(a0)) * reach);
        wedge.lineTo(source + QPointF(std::cos(a1), std::sin(a1)) * reach);
        wedge.closeSubpath();

        QRadialGradient fade(source, reach * random.uniform(0.65, 0.95));
        fade.setColorAt(0.0, QColor(255, 255, 255, static_cast<int>(200 * strength)));
        fade.setColorAt(0.3, QColor(255, 255, 255, static_cast<int>(130 * strength)));
        fade.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(fade);
        p.drawPath(wedge);
        angle += width + random.uniform(2.0, 9.0);
    }
    p.end();
    blur(layer, 4);
    return layer;
}

// A four-pointed star: concave sides between the points, so the points are
// long and thin.
QPainterPath fourPointedStar(QPointF centre, double radius, double waist)
{
    QPainterPath star;
    const QPointF tips[4] = {
        centre + QPointF(0, -radius),
        centre + QPointF(radius, 0),
        centre + QPointF(0, radius),
        centre + QPointF(-radius, 0),
    };
    star.moveTo(tips[0]);
    for (int i = 0; i < 4; ++i) {
        const QPointF& next = tips[(i + 1) % 4];
        star.quadTo(centre + (tips[i] + next - 2 * centre) * waist, next);
    }
    star.closeSubpath();
    return star;
}

void paintGlow(QPainter& p, QPointF centre, double radius, int alpha)
{
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, QColor(255, 255, 255, alpha));
    glow.setColorAt(0.3, QColor(255, 255, 255, alpha / 3));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
}

QImage paintSparkles(Random& random)
{
    QImage layer = transparentLayer();
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);

    // Small sparkles: a glowing dot, most of them with a tiny cross.
    // They keep clear of the large star.
    const QPointF big(72, 318);
    for (int i = 0; i < 64; ++i) {
        const QPointF at(random.uniform(4, kWidth - 4), random.uniform(4, kHeight - 4));
        const double size = random.uniform(0.0, 1.0);
        if (QLineF(at, big).length() < 52)
            continue;
        const double radius = 1.2 + 4.5 * size * size * size;
        paintGlow(p, at, radius * 2.2, static_cast<int>(random.uniform(120, 230)));
        if (size > 0.45) {
            p.setBrush(QColor(255, 255, 255, 235));
            p.drawPath(fourPointedStar(at, radius * 1.6, 0.08));
        } else {
            p.setBrush(QColor(255, 255, 255, 220));
            p.drawEllipse(at, 0.9, 0.9);
        }
    }

    // The large star in the lower left, with a halo and a smaller diagonal
    // cross behind it.
    paintGlow(p, big, 50, 170);
    QTransform diagonal;
    diagonal.translate(big.x(), big.y());
    diagonal.rotate(45);
    diagonal.translate(-big.x(), -big.y());
    p.setBrush(QColor(255, 255, 255, 180));
    p.drawPath(diagonal.map(fourPointedStar(big, 21, 0.08)));
    p.setBrush(QColor(255, 255, 255, 245));
    p.drawPath(fourPointedStar(big, 38, 0.07));
    paintGlow(p, big, 9, 255);
    p.end();

    // The sparkles get a soft halo: a blurred copy under the sharp shapes.
    QImage halo = layer;
    blur(halo, 3);
    QPainter merge(&halo);
    merge.drawImage(0, 0, layer);
    merge.end();
    return halo;
}

QImage paintHelpBackground()
{
    Random random(0x5a52'4b31'0405ULL);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    paintSky(p);
    p.drawImage(0, 0, paintRays(random));
    p.drawImage(0, 0, paintSparkles(random));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace
}  // namespace zarnik

int main(int argc, char* argv[])
{
    // Only QImage and QPainter: no text is drawn, so no application object
    // or display is needed.
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: zarnik_helpbackground [output.jpg]\n");
        return 2;
    }
    const QString output = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZARNIK_DEFAULT_OUTPUT);

    QImage picture = zarnik::paintHelpBackground();
    // 96 dots per inch, written explicitly so the file is the same whatever
    // the environment's default.
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    if (!picture.save(output, "JPG", 92)) {
        std::fprintf(stderr, "zarnik_helpbackground: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
