// SPDX-License-Identifier: MIT
// The windows' start, in the module zarnik_windows.so that main.cpp loads
// when no command is given.
#include <QApplication>

#include "ui/decoder/Form1.h"

extern "C" __attribute__((visibility("default"))) int zarnik_start_windows(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarnik"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNIK_VERSION));
    // Ties the windows to the installed desktop entry (Wayland's app id).
    QApplication::setDesktopFileName(QStringLiteral(ZARNIK_APP_ID));
    zarnik::Form1 form1;
    form1.show();
    return QApplication::exec();
}
