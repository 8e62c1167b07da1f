// SPDX-License-Identifier: MIT
#pragma once

// Small raster helpers shared by the picture generators: a seeded random
// source, value noise and a blur. Everything is deterministic: the same seed
// paints the same picture on every platform.

#include <QImage>
#include <QRgb>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zarnik::tools {

// splitmix64: tiny and portable, unlike the distributions of the standard
// library, whose output differs between implementations.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    [[nodiscard]] double unit()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
    }
    [[nodiscard]] double uniform(double low, double high) { return low + (high - low) * unit(); }
    [[nodiscard]] int below(int n) { return std::min(n - 1, static_cast<int>(unit() * n)); }

private:
    std::uint64_t m_state;
};

// Value noise on a 256-cell lattice with smooth interpolation; fbm() sums
// octaves into a value in [0, 1].
class Noise {
public:
    explicit Noise(std::uint64_t seed)
    {
        Random random(seed);
        for (std::size_t i = 0; i < m_values.size(); ++i) {
            m_values[i] = random.unit();
            m_perm[i] = static_cast<std::uint8_t>(i);
        }
        for (std::size_t i = m_perm.size() - 1; i > 0; --i)
            std::swap(m_perm[i], m_perm[static_cast<std::size_t>(random.below(static_cast<int>(i) + 1))]);
    }

    [[nodiscard]] double at(double x, double y) const
    {
        const double fx = std::floor(x);
        const double fy = std::floor(y);
        const int ix = static_cast<int>(fx);
        const int iy = static_cast<int>(fy);
        const double tx = smooth(x - fx);
        const double ty = smooth(y - fy);
        const double a = lattice(ix, iy);
        const double b = lattice(ix + 1, iy);
        const double c = lattice(ix, iy + 1);
        const double d = lattice(ix + 1, iy + 1);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }

    [[nodiscard]] double fbm(double x, double y, int octaves = 4) const
    {
        double sum = 0;
        double amplitude = 1;
        double total = 0;
        for (int i = 0; i < octaves; ++i) {
            sum += amplitude * at(x, y);
            total += amplitude;
            amplitude *= 0.5;
            x = x * 2.03 + 17.1;
            y = y * 2.03 + 5.7;
        }
        return sum / total;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }

    [[nodiscard]] double lattice(int x, int y) const
    {
        const auto hx = m_perm[static_cast<std::size_t>(x & 255)];
        return m_values[m_perm[static_cast<std::size_t>((hx + y) & 255)]];
    }

    std::array<double, 256> m_values{};
    std::array<std::uint8_t, 256> m_perm{};
};

// Three box-blur passes in each direction approximate a Gaussian of about
// the given radius. Expects premultiplied ARGB (or RGB32), so transparent
// layers blur without dark fringes.
inline void blur(QImage& image, int radius)
{
    if (radius < 1 || image.isNull())
        return;
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(static_cast<std::size_t>(std::max(w, h)) * 4);
    auto pass = [&](bool horizontal) {
        const int count = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        const int span = 2 * radius + 1;
        for (int l = 0; l < lines; ++l) {
            auto pixel = [&](int i) -> QRgb& {
                const int x = horizontal ? i : l;
                const int y = horizontal ? l : i;
                return reinterpret_cast<QRgb*>(image.scanLine(y))[x];
            };
            for (int i = 0; i < count; ++i) {
                const QRgb c = pixel(i);
                const auto at = static_cast<std::size_t>(4 * i);
                line[at + 0] = qAlpha(c);
                line[at + 1] = qRed(c);
                line[at + 2] = qGreen(c);
                line[at + 3] = qBlue(c);
            }
            auto value = [&](int i, int ch) {
                return line[static_cast<std::size_t>(4 * std::clamp(i, 0, count - 1) + ch)];
            };
            int sum[4] = {0, 0, 0, 0};
            for (int ch = 0; ch < 4; ++ch)
                for (int i = -radius; i <= radius; ++i)
                    sum[ch] += value(i, ch);
            for (int i = 0; i < count; ++i) {
                pixel(i) = qRgba(sum[1] / span, sum[2] / span, sum[3] / span, sum[0] / span);
                for (int ch = 0; ch < 4; ++ch)
                    sum[ch] += value(i + radius + 1, ch) - value(i - radius, ch);
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
}

[[nodiscard]] inline QImage transparentLayer(int width, int height)
{
    QImage layer(width, height, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

}  // namespace zarnik::tools
