#include "ui/common/Fonts.h"

#include <QFontInfo>
#include <QLocale>
#include <QRawFont>

#include "ui/common/Window.h"

namespace zarnik::ui {

namespace {

// At 15 px DejaVu Sans stands 13.9 px above and 3.5 px below the baseline,
// Liberation Serif 13.4 and 3.3: together 17.4, which rounds to Liberation
// Serif's own 17, so the text keeps its rows to the pixel. Amiri, the
// system's pick, stands 16.9 and 9.5. Its separator is a dark comma-like
// mark the size of a comma; FreeFarsi's fits too but is a faint hairline.
constexpr const char* kSeparatorFamily = "DejaVu Sans";

}  // namespace

QFont LatinTextFont(const QString& family, double pointSize, QFont::Style style)
{
    QFont font = DesignFont(family);
    font.setPointSizeF(pointSize);
    font.setStyle(style);
    // Only where the separator is missing: a second family makes Qt sort the
    // system's fallback fonts at once, a few milliseconds of start-up.
    const QList<uint> separator = QLocale::system().decimalPoint().toUcs4();
    if (separator.isEmpty() || QRawFont::fromFont(font).supportsCharacter(separator.front())) {
        return font;
    }
    // Qt gives a fallback family the face of the requested style and passes
    // the family over when that face lacks the character: DejaVu Sans has the
    // separator in its upright face only. So the Latin face is asked for by
    // its style name ("Italic"), which DejaVu Sans has no face of, and the
    // style itself stays upright: the Latin text keeps its own face, pixel for
    // pixel, and the separator comes from DejaVu Sans's upright face.
    const QString faceName = QFontInfo(font).styleName();
    font.setFamilies({font.families().value(0, family), QString::fromLatin1(kSeparatorFamily)});
    font.setStyle(QFont::StyleNormal);
    font.setStyleName(faceName);
    return font;
}

QFont ValueFont()
{
    return LatinTextFont(QStringLiteral("Times New Roman"), kDesignPointSize, QFont::StyleItalic);
}

QFont OptionFont()
{
    QFont font = DesignFont(QStringLiteral("Courier New"));
    font.setPointSizeF(kDesignPointSize);
    font.setBold(true);
    return font;
}

}  // namespace zarnik::ui
