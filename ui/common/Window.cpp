#include "ui/common/Window.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include "ui/common/Twips.h"

namespace zarnik::ui {

namespace {

// The windows name "Courier New", "Times New Roman" and "MS Sans Serif". On
// Linux their metric twins stand in for them; those have no Arabic script, so
// a proportional Arabic-script font follows, before the system's own fallback
// (a wide monospace) gets the Persian texts.
void InstallFontSubstitutes()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    const QStringList arabic = {QStringLiteral("Amiri"), QStringLiteral("Noto Naskh Arabic")};
    const std::pair<const char*, const char*> twins[] = {
        {"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"}, {"MS Sans Serif", "Liberation Sans"}};
    for (const auto& [family, twin] : twins) {
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
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowIcon(ApplicationIcon());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
}

QTimer* MakeTimer(QObject* parent, const QString& objectName, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(objectName);
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

bool GrowSquare(QWidget* window, const QWidget* decoder)
{
    constexpr double kGrowthStep = 75;
    SetOuterHeight(window, OuterHeight(window) + kGrowthStep);
    SetOuterWidth(window, OuterHeight(window));
    return OuterHeight(window) >= OuterHeight(decoder);
}

}  // namespace zarnik::ui
