#include "ui/common/Window.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QWidget>

namespace zarnik::ui {

namespace {

// Persian texts are set in "Courier New" and "Times New Roman", which on Linux
// are metric twins without Arabic script; a proportional Arabic-script font is
// tried before the system's own fallback, which would be a wide monospace.
void InstallScriptFallbacks()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    for (const char* family : {"Courier New", "Times New Roman", "MS Sans Serif"}) {
        QFont::insertSubstitutions(QString::fromLatin1(family), {QStringLiteral("Amiri"), QStringLiteral("Noto Naskh Arabic")});
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
    InstallScriptFallbacks();
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowIcon(ApplicationIcon());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
}

}  // namespace zarnik::ui
