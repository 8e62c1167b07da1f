// SPDX-License-Identifier: MIT
#include <QApplication>

#include "cli/CommandLine.h"
#include "ui/decoder/Form1.h"

int main(int argc, char* argv[])
{
    // A command runs on QtCore alone and opens no window; see `zarnik --help`.
    if (zarnik::cli::StartsCommandLine(argc, argv)) {
        return zarnik::cli::RunCommandLine(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarnik"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNIK_VERSION));
    // Ties the windows to the installed desktop entry (Wayland's app id).
    QApplication::setDesktopFileName(QStringLiteral(ZARNIK_APP_ID));
    zarnik::Form1 form1;
    form1.show();
    return QApplication::exec();
}
