// Wall time of the encoder window's opening: from the menu item "Show" to the
// last tick of the decoder window's Timer1, when the window has grown to the
// decoder window's height. Prints "growth-ms <ms>" and "ticks <n>" per run.
//
// zarnik_growth_bench [--runs N]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/WindowTestSupport.h"
#include "ui/decoder/Form1.h"
#include "ui/encoder/Form2.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    int runs = 15;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }

    zarnik::Form1 form1;
    form1.show();
    if (!QTest::qWaitForWindowExposed(&form1)) {
        std::fprintf(stderr, "the decoder window was not exposed\n");
        return 1;
    }
    QTest::qWait(300);  // the load handler's last outer-size correction
    auto* timer1 = form1.findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* show = form1.findChild<QAction*>(QStringLiteral("Show"));
    if (!timer1 || !show) {
        std::fprintf(stderr, "Timer1 or the menu item Show is missing\n");
        return 1;
    }

    for (int run = 0; run < runs; ++run) {
        int ticks = 0;
        const auto counting = QObject::connect(timer1, &QTimer::timeout, [&ticks] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        show->trigger();
        while (timer1->isActive() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        QObject::disconnect(counting);
        std::printf("growth-ms %.3f\nticks %d\n", ms, ticks);
        std::fflush(stdout);

        if (zarnik::Form2* encoder = zarnik::test::OpenWindow<zarnik::Form2>("Form2")) {
            encoder->close();
        }
        QTest::qWait(20);  // the closed window is deleted
    }
    return 0;
}
