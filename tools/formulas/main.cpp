// SPDX-License-Identifier: MIT
// Renders the two worked examples of the help document as pictures: one
// typeset line each, black serif text ("Times New Roman") on a transparent
// background, with the unit prefix "K" in italics. They are drawn at twice
// their display size so that they stay crisp when scaled; the help document
// declares the display size in twips next to the picture data, and the PNG
// carries the matching resolution (192 dots per inch).
//
// Usage: zarnik_formulas [output-directory]   (default: resources/pictures)
// Writes formula1.png and formula2.png into the directory.

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <vector>

namespace zarnik {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kScale = 2;
constexpr double kInchesPerMetre = 1.0 / 0.0254;
// Room kept free around the ink, in output pixels.
constexpr int kMarginX = 3 * kScale;
constexpr int kMarginY = 2 * kScale;
// An italic letter leans into the upright letter after it; this much of an em
// keeps the "K" clear of the following Omega.
constexpr double kItalicCorrection = 0.06;

const QChar kOmega(0x03A9);

struct Segment {
    QString text;
    bool italic = false;
};

struct Formula {
    QString fileName;
    int widthTwips = 0;
    int heightTwips = 0;
    std::vector<Segment> segments;

    [[nodiscard]] int pixelWidth() const
    {
        return static_cast<int>(std::lround(double(widthTwips) * kScale / kTwipsPerPixel));
    }
    [[nodiscard]] int pixelHeight() const
    {
        return static_cast<int>(std::lround(double(heightTwips) * kScale / kTwipsPerPixel));
    }
};

std::vector<Formula> formulas()
{
    return {
        {"formula1.png", 4153, 441, {{"22*100 = 2200" + QString(kOmega) + " = 2.2"}, {"K", true}, {QString(kOmega)}}},
        {"formula2.png",
         4678,
         446,
         {{"631*100 = 63100" + QString(kOmega) + " = 63.1"}, {"K", true}, {QString(kOmega)}}},
    };
}

QFont serifFont(int pixelSize, bool italic)
{
    QFont font("Times New Roman");
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Where each segment starts on the line, and the ink of the whole line, for
// a line whose pen starts at x = 0 on baseline y = 0.
struct LineLayout {
    std::vector<double> starts;
    double advance = 0.0;
    QRectF ink;
};

LineLayout layOut(const Formula& formula, int pixelSize)
{
    LineLayout layout;
    double x = 0.0;
    for (const Segment& segment : formula.segments) {
        const QFont font = serifFont(pixelSize, segment.italic);
        const QFontMetricsF metrics(font);
        layout.starts.push_back(x);
        layout.ink = layout.ink.united(metrics.tightBoundingRect(segment.text).translated(x, 0.0));
        x += metrics.horizontalAdvance(segment.text);
        if (segment.italic)
            x += kItalicCorrection * pixelSize;
    }
    layout.advance = x;
    return layout;
}

bool fits(const Formula& formula, const LineLayout& layout)
{
    return layout.ink.width() <= formula.pixelWidth() - 2 * kMarginX &&
           layout.ink.height() <= formula.pixelHeight() - 2 * kMarginY;
}

// The largest whole pixel size at which every formula fits its picture, so
// that both pictures show the same type size.
int commonPixelSize(const std::vector<Formula>& all)
{
    for (int size = 120; size > 6; --size) {
        bool allFit = true;
        for (const Formula& formula : all)
            allFit = allFit && fits(formula, layOut(formula, size));
        if (allFit)
            return size;
    }
    return 6;
}

QImage render(const Formula& formula, int pixelSize)
{
    QImage image(formula.pixelWidth(), formula.pixelHeight(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int dotsPerMetre = static_cast<int>(std::lround(96.0 * kScale * kInchesPerMetre));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);

    // The ink is centred in the picture both ways.
    const LineLayout layout = layOut(formula, pixelSize);
    const double originX = (image.width() - layout.ink.width()) / 2.0 - layout.ink.left();
    const double baseline = (image.height() - layout.ink.height()) / 2.0 - layout.ink.top();

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < formula.segments.size(); ++i) {
        const Segment& segment = formula.segments[i];
        painter.setFont(serifFont(pixelSize, segment.italic));
        painter.drawText(QPointF(originX + layout.starts[i], baseline), segment.text);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

int run(const QString& outputDir)
{
    if (!QDir().mkpath(outputDir)) {
        std::fprintf(stderr, "zarnik_formulas: cannot create %s\n", qPrintable(outputDir));
        return 1;
    }
    const std::vector<Formula> all = formulas();
    const int pixelSize = commonPixelSize(all);
    const QFontInfo info(serifFont(pixelSize, false));
    std::printf("font %s, %d px\n", qPrintable(info.family()), pixelSize);

    for (const Formula& formula : all) {
        const QString path = QDir(outputDir).filePath(formula.fileName);
        if (!render(formula, pixelSize).save(path, "PNG")) {
            std::fprintf(stderr, "zarnik_formulas: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s: %d x %d px\n", qPrintable(path), formula.pixelWidth(), formula.pixelHeight());
    }
    return 0;
}

}  // namespace
}  // namespace zarnik

int main(int argc, char* argv[])
{
    // Only fonts and images are needed: no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() > 2) {
        std::fprintf(stderr, "usage: zarnik_formulas [output-directory]\n");
        return 2;
    }
    return zarnik::run(args.size() == 2 ? args.at(1) : QStringLiteral(ZARNIK_DEFAULT_OUTPUT_DIR));
}
