// SPDX-License-Identifier: MIT
#include "ui/common/Window.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include "ui/common/Accessibility.h"

namespace zarnik::ui {

namespace {

// The windows name "Courier New", "Times New Roman" and "MS Sans Serif". On
// Linux their metric twins stand in for them; those have no Arabic script, so
// a proportional Arabic-script font follows, before the system's own fallback
// (a wide monospace) gets the Persian texts.
constexpr std::pair<const char*, const char*> kTwins[] = {
    {"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"}, {"MS Sans Serif", "Liberation Sans"}};

void InstallFontSubstitutes()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    const QStringList arabic = {QStringLiteral("Amiri"), QStringLiteral("Noto Naskh Arabic")};
    for (const auto& [family, twin] : kTwins) {
        QFont::insertSubstitutions(QString::fromLatin1(family), QStringList{QString::fromLatin1(twin)} + arabic);
    }
}

const QIcon& ApplicationIcon()
{
    static const QIcon icon(QStringLiteral(":/icon.png"));
    return icon;
}

}  // namespace

void SetupFixedWindow(QWidget* window, const QString& objectName, const QString& caption)
{
    InstallFontSubstitutes();
    InstallAccessibility();
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowIcon(ApplicationIcon());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    RetellFocusOnActivation(window);
}

QFont DesignFont(const QString& family)
{
    InstallFontSubstitutes();
    // Qt looks a family it does not have up in fontconfig's sorted list of
    // all fonts before it tries the substitutes, and a font with more than
    // one family sorts that list again at once for its fallbacks: a few
    // milliseconds each, most of the difference in start-up time to a bare
    // window. The twin alone needs neither; a character it lacks still comes
    // from the system's fallback when it is drawn.
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
        return QFont(family);
    }
    for (const auto& [windowsFamily, twin] : kTwins) {
        if (family.compare(QLatin1String(windowsFamily), Qt::CaseInsensitive) == 0) {
            return QFont(QString::fromLatin1(twin));
        }
    }
    return QFont(family);
}

QTimer* MakeTimer(QObject* parent, const QString& objectName, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(objectName);
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

}  // namespace zarnik::ui
