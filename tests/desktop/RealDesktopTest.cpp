// SPDX-License-Identifier: MIT
// The windows on a real X display under a reparenting window manager (run by
// with-wm.sh), where frames, placement and focus exist: the menu's shortcuts
// work from the first moment, and every window that opens out of the decoder
// window has its frame on the decoder window's frame corner from its load,
// through its growth, to its rest, never at the screen's corner.
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWindow>
#include <memory>

#include "tests/support/WindowTestSupport.h"
#include "ui/decoder/Form1.h"

using zarnik::Form1;
using zarnik::test::Child;
using zarnik::test::OpenWindow;

namespace {

constexpr int kOpenings = 20;

bool Framed(const QWidget* window) { return window->frameGeometry() != window->geometry(); }

// Records where a window's frame stands, and how thick it is, each time the
// window moves, resizes or shows while framed.
class FrameRecorder : public QObject {
public:
    explicit FrameRecorder(QWidget* window) : window_(window) { window->installEventFilter(this); }
    QList<QPoint> corners;
    QSet<QSize> frames;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == window_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            Framed(window_)) {
            corners.append(window_->frameGeometry().topLeft());
            frames.insert(window_->frameGeometry().size() - window_->geometry().size());
        }
        return false;
    }

private:
    QWidget* window_;
};

class RealDesktopTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;

    void StartDecoder()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_VERIFY_WITH_TIMEOUT(Framed(form.get()), 5000);
    }

    // A key as the window system delivers it to the active window.
    void Press(QKeyCombination key) { QTest::keyClick(form->windowHandle(), key.key(), key.keyboardModifiers()); }

private slots:
    void init() { StartDecoder(); }
    void cleanup() { form.reset(); }

    void decoderStandsAtItsPlaceWithItsOuterSize()
    {
        // The client area at (3180, 2295) twips, the frame around it.
        QCOMPARE(form->geometry().topLeft(), QPoint(212, 153));
        QTRY_COMPARE_WITH_TIMEOUT(form->frameGeometry().size(), QSize(380, 380), 5000);
    }

    void shortcutsWorkFromTheFirstMoment_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("timer");   // the opening timer it starts, or none
        QTest::addColumn<QString>("window");  // the window it opens at once, or none
        QTest::newRow("Ctrl+S") << QKeyCombination(Qt::CTRL, Qt::Key_S) << "Timer1"
                                << "";
        QTest::newRow("Ctrl+A") << QKeyCombination(Qt::CTRL, Qt::Key_A) << "Timer2"
                                << "";
        QTest::newRow("Ctrl+H") << QKeyCombination(Qt::CTRL, Qt::Key_H) << ""
                                << "Form3";
        QTest::newRow("Ctrl+M") << QKeyCombination(Qt::CTRL, Qt::Key_M) << ""
                                << "Form5";
    }
    void shortcutsWorkFromTheFirstMoment()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, timer);
        QFETCH(QString, window);
        // Ten fresh starts, the key pressed as soon as the window is active.
        for (int start = 0; start < 10; ++start) {
            if (start > 0) {
                form.reset();
                StartDecoder();
            }
            Press(key);
            if (!timer.isEmpty()) {
                QVERIFY2(Child<QTimer>(form.get(), timer)->isActive(), qPrintable(QString("start %1").arg(start)));
            } else {
                QVERIFY2(OpenWindow(window) != nullptr, qPrintable(QString("start %1").arg(start)));
                OpenWindow(window)->close();
            }
            Child<QTimer>(form.get(), "Timer1")->stop();
            Child<QTimer>(form.get(), "Timer2")->stop();
        }
    }

    void secondaryWindowsStandOnTheDecodersCorner_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::newRow("encoder") << "Show"
                                 << "Form2";
        QTest::newRow("help") << "Help2"
                              << "Form3";
        QTest::newRow("about") << "About"
                               << "Form4";
    }
    void secondaryWindowsStandOnTheDecodersCorner()
    {
        QFETCH(QString, action);
        QFETCH(QString, window);
        int misplaced = 0;
        for (int opening = 0; opening < kOpenings; ++opening) {
            // Each opening starts from a new place of the decoder window.
            form->move(form->pos() + QPoint(opening % 2 == 0 ? 7 : -5, opening % 3 == 0 ? 4 : -3));
            QTRY_VERIFY_WITH_TIMEOUT(form->frameGeometry().topLeft() == form->pos(), 5000);
            const QPoint corner = form->frameGeometry().topLeft();

            zarnik::test::Trigger(form.get(), action);
            QTRY_VERIFY_WITH_TIMEOUT(OpenWindow(window) != nullptr, 5000);
            QWidget* opened = OpenWindow(window);
            FrameRecorder recorder(opened);
            const QString growth = window == "Form3" ? "Timer1" : window == "Form2" ? "Timer1" : "Timer2";
            const QObject* driver = window == "Form3" ? static_cast<QObject*>(opened) : form.get();
            QTRY_VERIFY_WITH_TIMEOUT(!Child<QTimer>(driver, growth)->isActive(), 10000);
            QTRY_VERIFY_WITH_TIMEOUT(Framed(opened), 5000);
            QTest::qWait(50);  // whatever the window manager still does arrives

            recorder.corners.append(opened->frameGeometry().topLeft());
            const bool placed = std::all_of(recorder.corners.begin(), recorder.corners.end(),
                                            [corner](QPoint p) { return p == corner; });
            if (!placed) {
                ++misplaced;
                qWarning("opening %d of %s: frame at %d,%d (decoder %d,%d), %lld placements", opening,
                         qPrintable(window), opened->frameGeometry().x(), opened->frameGeometry().y(), corner.x(),
                         corner.y(), qsizetype(recorder.corners.size()));
            }
            QVERIFY(!recorder.corners.contains(QPoint(0, 0)));
            // A window that stays unresizable all along keeps the frame it got.
            QCOMPARE(recorder.frames.size(), 1);
            // Square, and as tall as the decoder window or one step taller, once
            // the window manager has answered the last resize.
            const auto full = [&] {
                const QSize size = opened->frameGeometry().size();
                const int decoder = form->frameGeometry().height();
                return size.width() == size.height() && size.height() >= decoder && size.height() < decoder + 5;
            };
            QTRY_VERIFY2_WITH_TIMEOUT(full(),
                                      qPrintable(QString("%1 x %2, decoder %3")
                                                     .arg(opened->frameGeometry().width())
                                                     .arg(opened->frameGeometry().height())
                                                     .arg(form->frameGeometry().height())),
                                      2000);

            QPointer<QWidget> gone(opened);
            opened->close();
            QTRY_VERIFY_WITH_TIMEOUT(gone.isNull(), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == form.get(), 5000);
        }
        qInfo("%s: %d openings, %d misplaced", qPrintable(window), kOpenings, misplaced);
        QCOMPARE(misplaced, 0);
    }

    // At a high scale factor on a small screen the windows still lie on it.
    void windowsFitTheScreen()
    {
        const QRect screen = form->screen()->availableGeometry();
        QTRY_VERIFY_WITH_TIMEOUT(screen.contains(form->frameGeometry()), 5000);
        for (const char* action : {"Show", "Help2", "About"}) {
            zarnik::test::Trigger(form.get(), action);
            QTest::qWait(1500);
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && window->objectName().startsWith("Form")) {
                    QVERIFY2(screen.contains(window->frameGeometry()), qPrintable(window->objectName()));
                }
            }
            if (QWidget* encoder = OpenWindow("Form2")) {
                encoder->close();
            }
        }
    }
};

}  // namespace

QTEST_MAIN(RealDesktopTest)

#include "RealDesktopTest.moc"
