// SPDX-License-Identifier: MIT
// Paints the about window's background: a pale fantasy landscape in teal,
// violet and green. A stone arch bridge under a thick drift of white-violet
// snow spans calm water in the upper half; below it runs a low wall of flat
// stepping stones, then grass, ferns and pale flowers, with pink-grey rocks
// in the lower right corner. 390 x 365 pixels, written as a 24-bit JPEG.
//
// The credits are drawn over it in black, so the picture stays light, above
// all along the middle where the text stands. Fixed seeds: every run writes
// the same picture.
//
// Usage: zarnik_aboutbackground [output.jpg]   (default: resources/about_background.jpg)

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>

#include "common/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace zarnik {
namespace {

using tools::blur;
using tools::Noise;
using tools::Random;

constexpr int kWidth = 390;
constexpr int kHeight = 365;
constexpr double kPi = std::numbers::pi;

// Where things stand, in pixels from the top.
constexpr double kHorizon = 116;    // far shore behind the bridge
constexpr double kWaterLine = 154;  // the bridge's feet
constexpr double kWallTop = 190;    // top of the stepping-stone wall
constexpr double kGrassTop = 214;   // where the meadow begins

QImage layer() { return tools::transparentLayer(kWidth, kHeight); }

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// Multiplies the brightness of every opaque pixel of a layer by a noise
// field, for the grain of stone, snow and paint.
void texture(QImage& image, const std::function<double(int, int)>& factor)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const double f = factor(x, y);
            auto channel = [&](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, a); };
            row[x] = qRgba(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)), a);
        }
    }
}

// A closed path through points on a curve y = f(x) from left to right and
// back along g(x), sampled every step pixels.
QPainterPath band(double left, double right, const std::function<double(double)>& top,
                  const std::function<double(double)>& bottom, double step = 1.0)
{
    QPolygonF polygon;
    for (double x = left; x <= right; x += step)
        polygon << QPointF(x, top(x));
    polygon << QPointF(right, top(right));
    for (double x = right; x >= left; x -= step)
        polygon << QPointF(x, bottom(x));
    polygon << QPointF(left, bottom(left));
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

void paintSky(QPainter& p, const Noise& noise)
{
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0.0, QColor(0xc9, 0xe4, 0xe4));
    sky.setColorAt(0.55, QColor(0xdd, 0xea, 0xee));
    sky.setColorAt(1.0, QColor(0xee, 0xe6, 0xf5));
    p.fillRect(QRectF(0, 0, kWidth, kHorizon + 2), sky);

    // Faint wisps across the whole sky.
    QImage clouds = layer();
    for (int y = 0; y < kHorizon; ++y) {
        auto* row = reinterpret_cast<QRgb*>(clouds.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const double n = noise.fbm(x * 0.008, y * 0.04, 5);
            const int alpha = static_cast<int>(std::clamp((n - 0.5) * 3.0, 0.0, 1.0) * 120);
            row[x] = qPremultiply(qRgba(255, 253, 255, alpha));
        }
    }
    // Cumulus banks: overlapping puffs with flat bases, white above and
    // lavender underneath, softened afterwards.
    {
        QPainter q(&clouds);
        q.setRenderHint(QPainter::Antialiasing, true);
        q.setPen(Qt::NoPen);
        Random random(0xc10d5);
        struct Bank {
            double left;
            double right;
            double base;
            double height;
        };
        const Bank banks[] = {{-20, 120, 40, 22}, {150, 270, 26, 16}, {250, 410, 52, 20}, {60, 200, 70, 12}};
        for (const Bank& bank : banks) {
            QPainterPath puffs;
            for (double x = bank.left; x < bank.right; x += random.uniform(9, 16)) {
                const double middle =
                    1 - std::pow((x - (bank.left + bank.right) / 2) / ((bank.right - bank.left) / 2), 2);
                const double r = bank.height * (0.45 + 0.6 * middle) * random.uniform(0.8, 1.2);
                puffs.addEllipse(QPointF(x, bank.base - r * 0.6), r, r * 0.85);
            }
            QPainterPath below;
            below.addRect(QRectF(-50, bank.base, kWidth + 100, 200));
            puffs = puffs.simplified().subtracted(below);
            QLinearGradient g(0, bank.base - bank.height * 1.6, 0, bank.base);
            g.setColorAt(0.0, QColor(255, 255, 255, 235));
            g.setColorAt(0.55, QColor(0xf6, 0xf2, 0xfc, 220));
            g.setColorAt(1.0, QColor(0xdc, 0xd2, 0xee, 200));
            q.setBrush(g);
            q.drawPath(puffs);
        }
    }
    blur(clouds, 2);
    p.drawImage(0, 0, clouds);
}

// Far mountains and a wooded shore, hazy with distance.
void paintDistance(QPainter& p, const Noise& noise)
{
    QImage far = layer();
    {
        QPainter q(&far);
        q.setRenderHint(QPainter::Antialiasing, true);
        q.setPen(Qt::NoPen);
        auto ridge = [&](double x) {
            return 60 + 16 * noise.fbm(x * 0.012 + 3.0, 1.5, 4) - 40 * std::exp(-std::pow((x - 306) / 34, 2)) -
                   30 * std::exp(-std::pow((x - 58) / 40, 2)) - 22 * std::exp(-std::pow((x - 150) / 26, 2)) -
                   8 * std::abs(std::sin(x * 0.045));
        };
        QLinearGradient mountains(0, 24, 0, kHorizon);
        mountains.setColorAt(0.0, QColor(0xc2, 0xb4, 0xe2));
        mountains.setColorAt(0.6, QColor(0xbf, 0xc3, 0xe2));
        mountains.setColorAt(1.0, QColor(0xbd, 0xd4, 0xdc));
        q.setBrush(mountains);
        q.drawPath(band(
            -2, kWidth + 2, ridge, [](double) { return kHorizon + 4; }, 2));

        // Snow on the peaks, thinning out down the slopes.
        q.setBrush(QColor(0xf8, 0xf5, 0xfd, 225));
        q.drawPath(band(
            -2, kWidth + 2, ridge,
            [&](double x) {
                const double height = std::max(0.0, 58 - ridge(x));
                return ridge(x) + 2 + height * 0.45 * noise.fbm(x * 0.08, 9.0, 3);
            },
            1));

        auto trees = [&](double x) {
            const double lumps = std::abs(std::sin(x * 0.23 + 3 * noise.at(x * 0.05, 2)));
            return kHorizon - 9 - 9 * noise.fbm(x * 0.02, 4.0, 3) - 6 * lumps;
        };
        QLinearGradient wood(0, kHorizon - 26, 0, kHorizon);
        wood.setColorAt(0.0, QColor(0x9d, 0xc7, 0xc0));
        wood.setColorAt(1.0, QColor(0x8b, 0xb8, 0xb4));
        q.setBrush(wood);
        q.drawPath(band(
            -2, kWidth + 2, trees, [](double) { return kHorizon + 4; }, 1));
    }
    blur(far, 1);
    p.drawImage(0, 0, far);

    // Haze over the far shore.
    QLinearGradient haze(0, 40, 0, kHorizon + 2);
    haze.setColorAt(0.0, QColor(255, 255, 255, 0));
    haze.setColorAt(0.7, QColor(0xf2, 0xee, 0xf8, 70));
    haze.setColorAt(1.0, QColor(0xf2, 0xee, 0xf8, 40));
    p.fillRect(QRectF(0, 40, kWidth, kHorizon - 38), haze);
}

void paintWater(QPainter& p, const Noise& noise)
{
    QImage water(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    water.fill(Qt::transparent);
    const QColor farColour(0xd4, 0xea, 0xe8);
    const QColor nearColour(0x9e, 0xcf, 0xcb);
    for (int y = static_cast<int>(kHorizon); y < kGrassTop + 6; ++y) {
        auto* row = reinterpret_cast<QRgb*>(water.scanLine(y));
        const double depth = (y - kHorizon) / (kGrassTop - kHorizon);
        const QColor base = mix(farColour, nearColour, depth);
        for (int x = 0; x < kWidth; ++x) {
            // Long horizontal streaks, like a calm surface under a light wind.
            const double streak = noise.fbm(x * 0.006, y * 0.45, 3);
            const double f = 0.94 + 0.14 * streak;
            const QColor c = mix(base, QColor(0xf4, 0xf0, 0xfb), std::max(0.0, streak - 0.62) * 1.6);
            row[x] = qRgb(std::min(255, static_cast<int>(c.red() * f)), std::min(255, static_cast<int>(c.green() * f)),
                          std::min(255, static_cast<int>(c.blue() * f)));
        }
    }
    p.drawImage(0, 0, water);
}

struct Arch {
    double centre;
    double halfWidth;
    double crown;  // top of the opening
};

const Arch kArches[] = {
    {66, 42, 110},
    {196, 60, 96},
    {326, 42, 110},
};

double deckTop(double x)
{
    const double u = (x - kWidth / 2.0) / (kWidth / 2.0);
    return 84 + 9 * u * u;
}

QPainterPath archOpening(const Arch& arch, double grow = 0)
{
    const double hw = arch.halfWidth + grow;
    const double rise = kWaterLine - arch.crown + grow;
    QPainterPath path;
    path.moveTo(arch.centre - hw, kWaterLine + 12);
    path.lineTo(arch.centre - hw, kWaterLine);
    path.arcTo(QRectF(arch.centre - hw, kWaterLine - rise, 2 * hw, 2 * rise), 180, -180);
    path.lineTo(arch.centre + hw, kWaterLine + 12);
    path.closeSubpath();
    return path;
}

QPainterPath bridgeFace()
{
    QPainterPath face = band(
        -4, kWidth + 4, deckTop, [](double) { return kWaterLine + 2; }, 2);
    for (const Arch& arch : kArches)
        face = face.subtracted(archOpening(arch));
    return face;
}

// The bridge on its own layer, so that the water can mirror it.
QImage paintBridge(const Noise& noise, Random& random)
{
    QImage bridge = layer();
    QPainter p(&bridge);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);

    const QPainterPath face = bridgeFace();
    QLinearGradient stone(0, 80, 0, kWaterLine);
    stone.setColorAt(0.0, QColor(0xc9, 0xc2, 0xd2));
    stone.setColorAt(1.0, QColor(0xae, 0xab, 0xbc));
    p.setBrush(stone);
    p.drawPath(face);

    p.save();
    p.setClipPath(face);

    // Courses of cut stone with staggered joints; each block a little
    // lighter, darker, bluer or warmer than its neighbours.
    const QColor tints[] = {
        QColor(255, 250, 255, 55), QColor(70, 60, 100, 30),   QColor(150, 120, 200, 30),
        QColor(120, 190, 190, 30), QColor(220, 190, 180, 35), QColor(0, 0, 0, 0),
    };
    const QPen mortar(QColor(0x76, 0x6e, 0x88, 120), 1.0);
    constexpr double kCourse = 8.5;
    for (double y = kWaterLine - 1; y > 66; y -= kCourse) {
        double x = random.uniform(-20, 0);
        while (x < kWidth + 4) {
            const double w = random.uniform(13, 24);
            p.setPen(Qt::NoPen);
            p.setBrush(tints[random.below(6)]);
            p.drawRect(QRectF(x, y - kCourse, w, kCourse));
            // Light catches the upper edge of each block.
            p.setBrush(QColor(255, 255, 255, 45));
            p.drawRect(QRectF(x + 1, y - kCourse + 1, w - 2, 1.2));
            p.setPen(mortar);
            p.drawLine(QPointF(x, y), QPointF(x, y - kCourse));
            x += w;
        }
        p.drawLine(QPointF(-4, y), QPointF(kWidth + 4, y));
    }
    p.setPen(Qt::NoPen);

    // Wet, darker stone just above the water.
    QLinearGradient wet(0, kWaterLine - 7, 0, kWaterLine + 1);
    wet.setColorAt(0.0, QColor(0x5c, 0x6e, 0x80, 0));
    wet.setColorAt(1.0, QColor(0x5c, 0x6e, 0x80, 90));
    p.fillRect(QRectF(-4, kWaterLine - 7, kWidth + 8, 9), wet);

    // The face turns away from the light towards both ends.
    QLinearGradient turn(0, 0, kWidth, 0);
    turn.setColorAt(0.0, QColor(0x6a, 0x60, 0x88, 45));
    turn.setColorAt(0.3, QColor(0x6a, 0x60, 0x88, 0));
    turn.setColorAt(0.7, QColor(0x6a, 0x60, 0x88, 0));
    turn.setColorAt(1.0, QColor(0x6a, 0x60, 0x88, 45));
    p.fillRect(QRectF(-4, 60, kWidth + 8, kWaterLine - 58), turn);

    // The ring of voussoirs round each opening, and its shadow.
    for (const Arch& arch : kArches) {
        const QPainterPath ring = archOpening(arch, 9).subtracted(archOpening(arch));
        p.setBrush(QColor(0xd6, 0xd0, 0xde));
        p.drawPath(ring);
        p.setPen(QPen(QColor(0x7e, 0x76, 0x8e, 150), 1.0));
        const double hw = arch.halfWidth;
        const double rise = kWaterLine - arch.crown;
        const int blocks = static_cast<int>(hw / 5.5);
        for (int i = 0; i <= blocks; ++i) {
            const double t = kPi * i / blocks;
            const QPointF inner(arch.centre - hw * std::cos(t), kWaterLine - rise * std::sin(t));
            const QPointF outer(arch.centre - (hw + 9) * std::cos(t), kWaterLine - (rise + 9) * std::sin(t));
            p.drawLine(inner, outer);
        }
        p.setPen(Qt::NoPen);
    }
    p.restore();

    // The dark of the barrel vault inside each opening.
    for (const Arch& arch : kArches) {
        const double rise = kWaterLine - arch.crown;
        QLinearGradient vault(0, arch.crown, 0, arch.crown + rise * 0.7);
        vault.setColorAt(0.0, QColor(0x6c, 0x66, 0x8a, 120));
        vault.setColorAt(1.0, QColor(0x6c, 0x66, 0x8a, 0));
        p.setBrush(vault);
        p.drawPath(archOpening(arch));
    }
    p.end();

    texture(bridge, [&](int x, int y) { return 0.92 + 0.16 * noise.fbm(x * 0.12, y * 0.12, 3); });
    return bridge;
}

// A thick drift of snow on the bridge: a lumpy top, a rounded overhang over
// the face with drips, white on top and violet in its shadows.
QImage paintSnow(const Noise& noise, Random& random)
{
    struct Drip {
        double x;
        double width;
        double length;
    };
    std::vector<Drip> drips;
    for (double x = random.uniform(0, 12); x < kWidth; x += random.uniform(16, 40)) {
        if (random.unit() < 0.35)
            drips.push_back({x, random.uniform(9, 16), random.uniform(4, 8)});  // a sagging lump
        else
            drips.push_back({x, random.uniform(3.5, 7), random.uniform(6, 14)});  // a drip
    }

    auto top = [&](double x) {
        const double u = (x - kWidth / 2.0) / (kWidth / 2.0);
        return deckTop(x) - 20 - 9 * noise.fbm(x * 0.018, 30.0, 4) - 6 * (1 - u * u) -
               3 * std::sin(x * 0.09 + 2 * noise.at(x * 0.03, 31.0)) - 3 * noise.fbm(x * 0.12, 33.0, 2);
    };
    auto bottom = [&](double x) {
        double y = deckTop(x) + 5 + 4 * noise.fbm(x * 0.05, 40.0, 3);
        for (const Drip& d : drips) {
            const double t = (x - d.x) / d.width;
            if (std::abs(t) < 1)
                y = std::max(y, deckTop(x) + 5 + d.length * std::sqrt(1 - t * t));
        }
        return y;
    };
    const QPainterPath drift = band(-4, kWidth + 4, top, bottom, 1);

    QImage snow = layer();
    QPainter p(&snow);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);

    // Cast shadow of the drift on the stone just below it.
    QImage shadow = layer();
    {
        QPainter s(&shadow);
        s.setRenderHint(QPainter::Antialiasing, true);
        s.setPen(Qt::NoPen);
        s.setBrush(QColor(0x5a, 0x4c, 0x82, 110));
        s.drawPath(band(
            -4, kWidth + 4, top, [&](double x) { return bottom(x) + 4; }, 1));
    }
    blur(shadow, 3);
    p.drawImage(0, 0, shadow);

    QLinearGradient body(0, 55, 0, 112);
    body.setColorAt(0.0, QColor(0xff, 0xfd, 0xff));
    body.setColorAt(0.45, QColor(0xf3, 0xee, 0xfb));
    body.setColorAt(0.8, QColor(0xd9, 0xcd, 0xef));
    body.setColorAt(1.0, QColor(0xc4, 0xb4, 0xe4));
    p.setBrush(body);
    p.drawPath(drift);

    // Violet shade along the underside of the overhang and the drips.
    p.save();
    p.setClipPath(drift);
    QPainterPath underside = band(
        -4, kWidth + 4, [&](double x) { return bottom(x) - 7; }, bottom, 1);
    QImage shade = layer();
    {
        QPainter s(&shade);
        s.setRenderHint(QPainter::Antialiasing, true);
        s.setPen(Qt::NoPen);
        s.setBrush(QColor(0xb0, 0x9c, 0xdc, 150));
        s.drawPath(underside);
    }
    blur(shade, 2);
    p.drawImage(0, 0, shade);
    // Light on the crest.
    QImage crest = layer();
    {
        QPainter s(&crest);
        s.setRenderHint(QPainter::Antialiasing, true);
        s.setPen(QPen(QColor(255, 255, 255, 230), 3));
        QPolygonF line;
        for (double x = -4; x <= kWidth + 4; x += 1)
            line << QPointF(x, top(x) + 2);
        s.drawPolyline(line);
    }
    blur(crest, 1);
    p.drawImage(0, 0, crest);
    p.restore();
    p.end();

    texture(snow, [&](int x, int y) { return 0.97 + 0.05 * noise.fbm(x * 0.08, y * 0.2 + 50, 3); });
    return snow;
}

// The water mirrors the bridge, rippled and faded into its own colour.
void paintReflection(QPainter& p, const QImage& bridge, const Noise& noise)
{
    QImage mirror = layer();
    const QColor tint(0xa9, 0xd2, 0xcf);
    for (int y = static_cast<int>(kWaterLine); y < kWallTop + 4; ++y) {
        auto* row = reinterpret_cast<QRgb*>(mirror.scanLine(y));
        const double distance = y - kWaterLine;
        const int sy = static_cast<int>(std::lround(2 * kWaterLine - y - 1));
        if (sy < 0)
            continue;
        const auto* source = reinterpret_cast<const QRgb*>(bridge.constScanLine(sy));
        const double fade = std::clamp(1.0 - distance / 70.0, 0.0, 1.0);
        for (int x = 0; x < kWidth; ++x) {
            const double wobble = 2.2 * std::sin(y * 0.9 + 6 * noise.at(x * 0.02, y * 0.3));
            const int sx = std::clamp(static_cast<int>(std::lround(x + wobble)), 0, kWidth - 1);
            const QRgb c = source[sx];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const QColor seen = mix(QColor::fromRgba(qUnpremultiply(c)), tint, 0.22).darker(108);
            const int alpha = static_cast<int>(a * 0.9 * fade);
            row[x] = qPremultiply(qRgba(seen.red(), seen.green(), seen.blue(), alpha));
        }
    }
    blur(mirror, 1);
    p.drawImage(0, 0, mirror);

    // Bright ripple lines across the reflection.
    p.setPen(Qt::NoPen);
    Random random(0x71cc1e5);
    for (int i = 0; i < 90; ++i) {
        const double y = random.uniform(kWaterLine + 2, kWallTop);
        const double x = random.uniform(-10, kWidth);
        const double len = random.uniform(8, 40);
        p.setBrush(QColor(0xf6, 0xfa, 0xfb, static_cast<int>(random.uniform(50, 130))));
        p.drawRoundedRect(QRectF(x, y, len, 0.9), 0.45, 0.45);
    }
}

QPainterPath pebble(QPointF centre, double rx, double ry, Random& random, double roughness = 0.08)
{
    QPolygonF polygon;
    const int points = 28;
    const double phase = random.uniform(0, 2 * kPi);
    const double wobble = random.uniform(0.5, 1.0) * roughness;
    for (int i = 0; i < points; ++i) {
        const double t = 2 * kPi * i / points;
        const double r = 1 + wobble * std::sin(3 * t + phase) + 0.5 * wobble * std::sin(5 * t + 2 * phase);
        // Squarer than an ellipse (a superellipse): flat slabs, not pebbles.
        const double c = std::cos(t);
        const double s = std::sin(t);
        const double sx = std::copysign(std::pow(std::abs(c), 0.7), c);
        const double sy = std::copysign(std::pow(std::abs(s), 0.7), s);
        polygon << centre + QPointF(rx * r * sx, ry * r * sy);
    }
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

void paintStone(QPainter& p, const QPainterPath& shape, const QColor& colour)
{
    const QRectF box = shape.boundingRect();
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0.0, colour.lighter(118));
    shade.setColorAt(0.35, colour);
    shade.setColorAt(1.0, colour.darker(122));
    p.setBrush(shade);
    p.setPen(QPen(colour.darker(150), 0.8));
    p.drawPath(shape);
    // The flat top catches the light.
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 252, 250, 95));
    p.drawEllipse(QRectF(box.left() + box.width() * 0.1, box.top() - box.height() * 0.15, box.width() * 0.8,
                         box.height() * 0.45));
    p.restore();
}

void paintWall(QPainter& p, const Noise& noise, Random& random)
{
    QImage wall = layer();
    QPainter q(&wall);
    q.setRenderHint(QPainter::Antialiasing, true);

    const QColor tones[] = {
        QColor(0xd2, 0xc4, 0xc2), QColor(0xc9, 0xc4, 0xb8), QColor(0xbf, 0xc4, 0xcc),
        QColor(0xd4, 0xc7, 0xd4), QColor(0xc8, 0xbc, 0xb6),
    };
    // Three courses, laid back to front, each offset from the one below.
    const double courses[] = {kWallTop + 4, kWallTop + 13, kWallTop + 22};
    for (double y : courses) {
        double x = random.uniform(-30, -5);
        while (x < kWidth + 10) {
            const double w = random.uniform(24, 48);
            const double h = random.uniform(9, 13);
            const QPointF centre(x + w / 2, y + random.uniform(-1.5, 1.5));
            paintStone(q, pebble(centre, w / 2, h / 2, random), tones[random.below(5)]);
            x += w + random.uniform(-3, 1);
        }
    }
    q.end();
    texture(wall, [&](int x, int y) { return 0.93 + 0.12 * noise.fbm(x * 0.2, y * 0.2 + 80, 3); });
    p.drawImage(0, 0, wall);
}

void paintMeadowGround(QPainter& p, const Noise& noise)
{
    QImage ground = layer();
    const QColor far(0xc8, 0xe2, 0xac);
    const QColor near(0x9a, 0xc9, 0x88);
    const QColor sunlit(0xdc, 0xec, 0xb4);
    const QColor teal(0xa4, 0xcc, 0xb0);
    for (int y = static_cast<int>(kGrassTop) - 8; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(ground.scanLine(y));
        const double depth = std::max(0.0, (y - kGrassTop) / (kHeight - kGrassTop));
        for (int x = 0; x < kWidth; ++x) {
            const double n = noise.fbm(x * 0.025, y * 0.05 + 120, 4);
            const double m = noise.fbm(x * 0.012 + 40, y * 0.03 + 160, 3);
            QColor c = mix(far, near, depth + (n - 0.5) * 0.7);
            c = mix(c, sunlit, std::max(0.0, n - 0.56) * 2.2);
            c = mix(c, teal, std::max(0.0, m - 0.55) * 1.8);
            row[x] = c.rgb();
        }
    }
    // The wall throws a soft shadow on the grass just below it.
    {
        QPainter q(&ground);
        QLinearGradient shade(0, kGrassTop - 4, 0, kGrassTop + 14);
        shade.setColorAt(0.0, QColor(0x4e, 0x6e, 0x5c, 70));
        shade.setColorAt(1.0, QColor(0x4e, 0x6e, 0x5c, 0));
        q.fillRect(QRectF(0, kGrassTop - 8, kWidth, 24), shade);
    }
    // A soft, uneven upper edge where the grass meets the wall.
    QPainterPath edge = band(
        -2, kWidth + 2, [&](double x) { return kGrassTop - 5 - 5 * noise.fbm(x * 0.05, 130.0, 3); },
        [](double) { return kHeight + 2.0; }, 2);
    QImage clipped = layer();
    QPainter q(&clipped);
    q.setRenderHint(QPainter::Antialiasing, true);
    q.setClipPath(edge);
    q.drawImage(0, 0, ground);
    q.end();
    p.drawImage(0, 0, clipped);
}

// One blade of grass: a tapered curve from its root to its tip.
QPainterPath blade(QPointF root, QPointF tip, double width, double bend)
{
    const QPointF along = tip - root;
    const QPointF normal = QPointF(-along.y(), along.x()) / std::max(1e-6, std::hypot(along.x(), along.y()));
    const QPointF control = root + along * 0.55 + normal * bend;
    QPainterPath path;
    path.moveTo(root - normal * width / 2);
    path.quadTo(control - normal * width * 0.3, tip);
    path.quadTo(control + normal * width * 0.3, root + normal * width / 2);
    path.closeSubpath();
    return path;
}

// Tufts of grass, back to front, longer and broader nearer the viewer.
void paintGrass(QPainter& p, const Noise& noise, Random& random, double top, double bottom, int tufts, double scale)
{
    const QColor greens[] = {
        QColor(0x7c, 0xb6, 0x6c), QColor(0x93, 0xc6, 0x78), QColor(0xab, 0xd4, 0x8c), QColor(0x6c, 0xa8, 0x70),
        QColor(0xbd, 0xdc, 0x9c), QColor(0x88, 0xbe, 0x92), QColor(0x9e, 0xcc, 0xa8),
    };
    std::vector<QPointF> roots;
    roots.reserve(static_cast<std::size_t>(tufts));
    for (int i = 0; i < tufts; ++i)
        roots.emplace_back(random.uniform(-8, kWidth + 8), random.uniform(top, bottom));
    std::sort(roots.begin(), roots.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    p.setPen(Qt::NoPen);
    for (const QPointF& root : roots) {
        const double depth = std::clamp((root.y() - kGrassTop) / (kHeight - kGrassTop), 0.0, 1.0);
        const double size = scale * (4 + 16 * depth) * (0.7 + 0.6 * noise.fbm(root.x() * 0.03, root.y() * 0.03, 2));
        const int blades = 3 + random.below(5);
        const double lean = random.uniform(-0.35, 0.35);
        const QColor base = greens[random.below(7)];
        for (int i = 0; i < blades; ++i) {
            const double spread = lean + (i - (blades - 1) / 2.0) * 0.22 + random.uniform(-0.1, 0.1);
            const double length = size * random.uniform(0.6, 1.2);
            const QPointF from = root + QPointF(random.uniform(-1.5, 1.5) * (1 + depth), 0);
            const QPointF tip = from + QPointF(std::sin(spread) * length, -std::cos(spread) * length);
            QColor c = base.lighter(static_cast<int>(random.uniform(92, 116)));
            c.setAlpha(static_cast<int>(random.uniform(190, 245)));
            QLinearGradient g(from, tip);
            g.setColorAt(0.0, c.darker(112));
            g.setColorAt(1.0, mix(c, QColor(0xee, 0xf6, 0xd8), 0.35));
            p.setBrush(g);
            p.drawPath(blade(from, tip, (0.9 + 1.5 * depth) * scale, spread * length * 0.35));
        }
    }
}

// A fern frond: a curving stem with narrow leaflets on both sides that grow
// and shrink along it, each leaflet drawn apart from its neighbours.
void paintFern(QPainter& p, QPointF base, double angle, double length, double curl, const QColor& colour)
{
    const int steps = 20;
    const double step = length / steps;
    QPointF at = base;
    double heading = angle;
    QPainterPath stem;
    stem.moveTo(at);
    for (int i = 0; i < steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const QPointF dir(std::cos(heading), std::sin(heading));
        const QPointF next = at + dir * step;
        stem.lineTo(next);
        const double leaf = length * 0.22 * std::sin(kPi * (0.08 + 0.92 * t)) * (1 - 0.45 * t);
        if (t > 0.1) {
            for (int side : {-1, 1}) {
                const double a = heading + side * 0.95;
                const QPointF leafDir(std::cos(a), std::sin(a));
                const QPointF root = at + dir * (side > 0 ? 0.0 : step * 0.5);
                const QPointF tip = root + leafDir * leaf + dir * leaf * 0.45;
                const QPointF normal(-leafDir.y(), leafDir.x());
                const double w = std::clamp(leaf * 0.17, 0.8, step * 0.42);
                QPainterPath leaflet;
                leaflet.moveTo(root - normal * w * 0.5);
                leaflet.quadTo(root + leafDir * leaf * 0.45 + normal * w, tip);
                leaflet.quadTo(root + leafDir * leaf * 0.45 - normal * w, root + normal * w * 0.5);
                leaflet.closeSubpath();
                QColor c = mix(colour, QColor(0xc6, 0xe6, 0xb0), t * 0.7);
                if (side > 0)
                    c = c.lighter(112);
                p.setPen(QPen(c.darker(118), 0.5));
                p.setBrush(c);
                p.drawPath(leaflet);
            }
        }
        at = next;
        heading += curl * (0.4 + 1.6 * t);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(mix(colour, QColor(0x9a, 0xb8, 0x70), 0.5), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
}

void paintFerns(QPainter& p, Random& random, bool front)
{
    struct Clump {
        QPointF base;
        double size;
        int fronds;
    };
    const std::vector<Clump> back = {{{222, 322}, 0.55, 5}, {{300, 282}, 0.45, 5}, {{20, 262}, 0.5, 5}};
    const std::vector<Clump> near = {{{18, 372}, 1.25, 7}, {{92, 374}, 0.8, 6}};
    const QColor greens[] = {QColor(0x5c, 0x9c, 0x76), QColor(0x6a, 0xaa, 0x78), QColor(0x58, 0x94, 0x6c)};
    for (const Clump& clump : front ? near : back) {
        for (int i = 0; i < clump.fronds; ++i) {
            const double spread =
                -kPi / 2 + (i - (clump.fronds - 1) / 2.0) * (2.3 / clump.fronds) + random.uniform(-0.08, 0.08);
            const double curl = (spread < -kPi / 2 ? -1 : 1) * random.uniform(0.025, 0.045);
            paintFern(p, clump.base + QPointF(random.uniform(-4, 4), 0), spread, clump.size * random.uniform(80, 105),
                      curl, greens[random.below(3)]);
        }
    }
}

struct Plant {
    QPointF base;
    double height;
    int kind;  // 0 umbel, 1 daisy, 2 spike
};

// One pale flowering plant; s scales its flower heads and stem.
void paintPlant(QPainter& p, Random& random, const Plant& plant, double s)
{
    const QColor petals[] = {
        QColor(0xfd, 0xfc, 0xff), QColor(0xf8, 0xe6, 0xf2), QColor(0xe8, 0xdc, 0xf8),
        QColor(0xfd, 0xf8, 0xe6), QColor(0xf4, 0xec, 0xfc),
    };
    const QColor stem(0x7a, 0xac, 0x6e);

    const QPointF head = plant.base + QPointF(random.uniform(-6, 6) * s, -plant.height);
    p.setPen(QPen(stem, 0.9 * s, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath line;
    line.moveTo(plant.base);
    line.quadTo(plant.base + QPointF(0, -plant.height * 0.5), head);
    p.drawPath(line);
    // Two small leaves on the stem.
    p.setPen(Qt::NoPen);
    p.setBrush(stem.lighter(110));
    for (int side : {-1, 1}) {
        const QPointF at = plant.base + (head - plant.base) * random.uniform(0.2, 0.5);
        p.drawPath(blade(at, at + QPointF(side * 5 * s, -4 * s), 1.6 * s, side * s));
    }
    const QColor petal = petals[random.below(5)];

    if (plant.kind == 0) {
        // Umbel: a dome of florets on fine rays.
        const double r = 7.5 * s;
        p.setPen(QPen(stem.lighter(115), 0.5));
        for (int k = 0; k < 7; ++k) {
            const double a = -kPi * (0.1 + 0.8 * k / 6.0);
            p.drawLine(head, head + QPointF(std::cos(a) * r, std::sin(a) * r * 0.55));
        }
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 34; ++k) {
            const double a = random.uniform(-kPi, 0);
            const double d = std::sqrt(random.unit()) * r;
            const QPointF f = head + QPointF(std::cos(a) * d, std::sin(a) * d * 0.5 - 1.5 * s);
            p.setBrush(petal.darker(random.unit() < 0.3 ? 110 : 100));
            p.drawEllipse(f, 1.3 * s, 1.2 * s);
        }
    } else if (plant.kind == 1) {
        // Daisy: a ring of petals round a pale yellow eye.
        const double r = 4.4 * s;
        const double turn = random.uniform(0, kPi);
        p.setBrush(petal);
        for (int k = 0; k < 10; ++k) {
            const double a = turn + 2 * kPi * k / 10;
            p.save();
            p.translate(head);
            p.scale(1.0, 0.7);
            p.rotate(a * 180 / kPi);
            p.drawEllipse(QRectF(0.5, -0.95 * s, r, 1.9 * s));
            p.restore();
        }
        p.setBrush(QColor(0xee, 0xd6, 0x7e));
        p.drawEllipse(head, 1.5 * s, 1.1 * s);
    } else {
        // Spike: florets along the top of the stem, smaller upwards.
        const QColor spike = mix(petal, QColor(0xdc, 0xc6, 0xf0), 0.6);
        const int florets = std::max(9, static_cast<int>(plant.height * 0.4 / (2.2 * s)));
        for (int k = 0; k < florets; ++k) {
            const double t = static_cast<double>(k) / (florets - 1);
            const QPointF f = head + QPointF(random.uniform(-1, 1) * s, plant.height * 0.4 * (1 - t) - 2);
            const double r = (2.4 - 1.3 * t) * s;
            p.setBrush(spike.darker(100 + random.below(12)));
            p.drawEllipse(f, r, r * 0.8);
        }
    }
}

// Pale flowering plants in drifts across the meadow, smaller with distance.
void paintFlowers(QPainter& p, Random& random)
{
    struct Drift {
        QPointF centre;
        double spread;
        int count;
        int kind;
    };
    const Drift drifts[] = {
        {{48, 244}, 26, 9, 0},  {{140, 236}, 30, 8, 1}, {{262, 248}, 30, 10, 1}, {{185, 290}, 34, 9, 0},
        {{60, 312}, 30, 9, 2},  {{300, 310}, 18, 5, 2}, {{150, 335}, 30, 8, 1},  {{236, 350}, 20, 5, 0},
        {{350, 236}, 24, 7, 0}, {{100, 270}, 30, 8, 2},
    };
    std::vector<Plant> plants;
    for (const Drift& drift : drifts) {
        for (int i = 0; i < drift.count; ++i) {
            const QPointF at =
                drift.centre + QPointF(random.uniform(-1, 1) * drift.spread, random.uniform(-0.4, 0.4) * drift.spread);
            const double depth = std::clamp((at.y() - kGrassTop) / (kHeight - kGrassTop), 0.0, 1.0);
            const int kind = random.unit() < 0.75 ? drift.kind : random.below(3);
            plants.push_back({at + QPointF(0, 8 + 20 * depth), (10 + 32 * depth) * random.uniform(0.75, 1.2), kind});
        }
    }
    std::sort(plants.begin(), plants.end(), [](const Plant& a, const Plant& b) { return a.base.y() < b.base.y(); });
    for (const Plant& plant : plants) {
        const double depth = std::clamp((plant.base.y() - kGrassTop) / (kHeight - kGrassTop), 0.0, 1.0);
        paintPlant(p, random, plant, 0.75 + 0.9 * depth);
    }
}

// Tall plants at the picture's side edges, close to the viewer, frame the
// view; they stay clear of the middle where the credits stand.
void paintTallFlowers(QPainter& p, Random& random, bool left)
{
    std::vector<Plant> plants;
    if (left) {
        for (int i = 0; i < 7; ++i)
            plants.push_back({{random.uniform(-4, 30), kHeight + 6}, random.uniform(115, 170), i % 3 == 1 ? 0 : 2});
    } else {
        for (int i = 0; i < 5; ++i)
            plants.push_back({{random.uniform(352, 394), 304}, random.uniform(85, 115), i % 2 == 0 ? 0 : 2});
    }
    for (const Plant& plant : plants)
        paintPlant(p, random, plant, left ? 1.6 : 1.35);
}

// A boulder built of facets round an off-centre apex, each lit by how much
// it faces the light from the upper left, with pale ridges between them.
void paintBoulder(QPainter& p, QPointF centre, double rx, double ry, const QColor& colour, Random& random)
{
    const int corners = 8;
    QPolygonF outline;
    const double phase = random.uniform(0, 1);
    for (int i = 0; i < corners; ++i) {
        const double t = 2 * kPi * (i + phase + random.uniform(-0.2, 0.2)) / corners;
        const double r = random.uniform(0.85, 1.05);
        // A flatter top: boulders settle.
        const double squash = std::sin(t) < 0 ? 0.8 : 1.0;
        outline << centre + QPointF(std::cos(t) * rx * r, std::sin(t) * ry * r * squash);
    }
    // Blunt the corners a little.
    QPainterPath shape;
    for (int i = 0; i < corners; ++i) {
        const QPointF a = outline[i];
        const QPointF b = outline[(i + 1) % corners];
        const QPointF c = outline[(i + 2) % corners];
        const QPointF start = b + (a - b) * 0.22;
        const QPointF end = b + (c - b) * 0.22;
        if (i == 0)
            shape.moveTo(start);
        else
            shape.lineTo(start);
        shape.quadTo(b, end);
    }
    shape.closeSubpath();

    const QPointF apex = centre + QPointF(-rx * 0.18, -ry * 0.35);
    const double light = -kPi * 0.72;  // from the upper left
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(shape);
    for (int i = 0; i < corners; ++i) {
        const QPointF a = outline[i];
        const QPointF b = outline[(i + 1) % corners];
        const QPointF mid = (a + b) / 2 - apex;
        const double facing = std::cos(std::atan2(mid.y(), mid.x()) - light);
        const QColor c = facing > 0 ? colour.lighter(100 + static_cast<int>(26 * facing))
                                    : colour.darker(100 - static_cast<int>(34 * facing));
        QPolygonF facet;
        facet << apex << a + (a - apex) * 0.3 << b + (b - apex) * 0.3;
        QLinearGradient g(apex, (a + b) / 2);
        g.setColorAt(0.0, mix(c, colour.lighter(118), 0.4));
        g.setColorAt(1.0, c);
        p.setBrush(g);
        p.drawPolygon(facet);
    }
    // Ridges between the facets.
    for (int i = 0; i < corners; ++i) {
        const QPointF a = outline[i];
        const double side = std::cos(std::atan2((a - apex).y(), (a - apex).x()) - light);
        p.setPen(QPen(side > -0.2 ? QColor(255, 248, 250, 110) : QColor(0x6e, 0x58, 0x66, 70), 0.9));
        p.drawLine(apex, a);
    }
    p.setPen(Qt::NoPen);
    // Lichen speckles, shade at the foot, moss on the top.
    for (int i = 0; i < 26; ++i) {
        const QPointF at = centre + QPointF(random.uniform(-rx, rx), random.uniform(-ry, ry) * 0.8);
        p.setBrush(random.unit() < 0.5 ? QColor(0xf2, 0xea, 0xe6, 120) : QColor(0x8a, 0x76, 0x80, 80));
        p.drawEllipse(at, random.uniform(0.5, 1.4), random.uniform(0.4, 1.0));
    }
    QLinearGradient foot(0, centre.y(), 0, centre.y() + ry);
    foot.setColorAt(0.0, QColor(0x6a, 0x58, 0x66, 0));
    foot.setColorAt(1.0, QColor(0x6a, 0x58, 0x66, 90));
    p.setBrush(foot);
    p.drawPath(shape);
    p.setBrush(QColor(0x98, 0xc2, 0x84, 120));
    p.drawEllipse(QRectF(apex.x() - rx * 0.45, apex.y() - ry * 0.55, rx * 0.7, ry * 0.28));
    p.restore();
    p.setPen(QPen(colour.darker(150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

void paintRocks(QPainter& p, const Noise& noise, Random& random)
{
    QImage shadow = layer();
    {
        QPainter s(&shadow);
        s.setRenderHint(QPainter::Antialiasing, true);
        s.setPen(Qt::NoPen);
        s.setBrush(QColor(0x40, 0x5a, 0x48, 80));
        s.drawEllipse(QRectF(250, 322, 170, 56));
    }
    blur(shadow, 6);
    p.drawImage(0, 0, shadow);

    QImage rocks = layer();
    QPainter q(&rocks);
    q.setRenderHint(QPainter::Antialiasing, true);
    paintBoulder(q, {384, 298}, 36, 30, QColor(0xbe, 0xac, 0xb2), random);
    paintBoulder(q, {348, 342}, 52, 36, QColor(0xc8, 0xb2, 0xb4), random);
    paintBoulder(q, {290, 362}, 30, 20, QColor(0xbc, 0xaa, 0xb2), random);
    paintBoulder(q, {262, 368}, 14, 10, QColor(0xc6, 0xb6, 0xb8), random);
    q.end();
    texture(rocks, [&](int x, int y) { return 0.9 + 0.2 * noise.fbm(x * 0.15, y * 0.15 + 200, 4); });
    p.drawImage(0, 0, rocks);
}

// Paint grain, a light bloom and a pale veil that keeps black text readable.
void finish(QImage& image, const Noise& noise)
{
    QImage bloom = image;
    blur(bloom, 3);
    {
        QPainter p(&image);
        p.setOpacity(0.22);
        p.drawImage(0, 0, bloom);
        p.setOpacity(1.0);
        p.fillRect(image.rect(), QColor(255, 255, 255, 28));
    }
    Random grain(0x6a7a1);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double f = 0.985 + 0.03 * noise.fbm(x * 0.35, y * 0.35 + 300, 2) + grain.uniform(-0.008, 0.008);
            const QRgb c = row[x];
            auto channel = [&](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
            row[x] = qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
        }
    }
}

QImage paintAboutBackground()
{
    const Noise noise(0x2a7b1c);
    Random random(0x5e4d3c2b1aULL);

    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    paintSky(p, noise);
    paintDistance(p, noise);
    paintWater(p, noise);

    const QImage bridge = paintBridge(noise, random);
    const QImage snow = paintSnow(noise, random);
    QImage bridgeWithSnow = bridge;
    {
        QPainter b(&bridgeWithSnow);
        b.drawImage(0, 0, snow);
    }
    paintReflection(p, bridgeWithSnow, noise);
    p.drawImage(0, 0, bridgeWithSnow);

    paintWall(p, noise, random);
    paintMeadowGround(p, noise);
    paintGrass(p, noise, random, kGrassTop - 6, kHeight - 60, 900, 1.0);
    paintFerns(p, random, false);
    paintFlowers(p, random);
    paintGrass(p, noise, random, kHeight - 60, kHeight + 10, 260, 1.0);
    paintGrass(p, noise, random, kHeight - 14, kHeight + 14, 70, 1.3);
    paintTallFlowers(p, random, false);
    paintRocks(p, noise, random);
    paintTallFlowers(p, random, true);
    paintFerns(p, random, true);
    p.end();

    finish(image, noise);
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace
}  // namespace zarnik

int main(int argc, char* argv[])
{
    // Only QImage and QPainter: no text is drawn, so no application object
    // or display is needed.
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: zarnik_aboutbackground [output.jpg]\n");
        return 2;
    }
    const QString output = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZARNIK_DEFAULT_OUTPUT);

    QImage picture = zarnik::paintAboutBackground();
    // 96 dots per inch, written explicitly so the file is the same whatever
    // the environment's default.
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    if (!picture.save(output, "JPG", 92)) {
        std::fprintf(stderr, "zarnik_aboutbackground: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
