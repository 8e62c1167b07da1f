// SPDX-License-Identifier: MIT
// The windows' start, in the module zarnik_windows.so that main.cpp loads
// when no command is given.
#include <QApplication>
#include <cstring>

#include "ui/decoder/Form1.h"

namespace {

// On a Wayland session that offers XWayland, X11 comes first: a Wayland client
// cannot place its windows, and the windows open out of the decoder window's
// corner. Native Wayland stays the fallback; QT_QPA_PLATFORM or -platform
// choose otherwise.
void PreferX11OnWaylandSessions(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        qEnvironmentVariableIsEmpty("DISPLAY")) {
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return;
        }
    }
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int zarnik_start_windows(int argc, char** argv)
{
    PreferX11OnWaylandSessions(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarnik"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNIK_VERSION));
    // Ties the windows to the installed desktop entry (Wayland's app id).
    QApplication::setDesktopFileName(QStringLiteral(ZARNIK_APP_ID));
    zarnik::Form1 form1;
    form1.show();
    return QApplication::exec();
}
