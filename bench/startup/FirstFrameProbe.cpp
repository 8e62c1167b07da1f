// SPDX-License-Identifier: MIT
// Preloaded (LD_PRELOAD) into a Qt program to time its start. It writes
// CLOCK_MONOTONIC nanoseconds to standard output at three points:
// "platform-up" when the application object has loaded its platform plugin
// (Qt's start-up routines run then), "shown" when the first top-level widget
// is shown, and "first-frame" once that window has been painted on the screen
// and flushed; then it ends the program. The programs themselves carry no
// measuring code.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {

long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

class FirstFrame : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!shown_ && event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            shown_ = true;
            std::printf("shown %lld\n", NowNs());
        }
        if (!seen_ && event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            // A painting of a window that is on the screen, not a render
            // into a picture.
            if (widget && widget->isWindow() && widget->windowHandle() && widget->windowHandle()->isExposed()) {
                seen_ = true;
                // The paint and the flush to the screen finish before the
                // event loop comes round to a zero timer.
                QTimer::singleShot(0, this, [] {
                    std::printf("first-frame %lld\n", NowNs());
                    std::fflush(stdout);
                    QCoreApplication::quit();
                });
            }
        }
        return false;
    }

private:
    bool seen_ = false;
    bool shown_ = false;
};

// Runs inside the application object's constructor, after the platform
// plugin is loaded.
void InstallProbe()
{
    std::printf("platform-up %lld\n", NowNs());
    QCoreApplication::instance()->installEventFilter(new FirstFrame(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
