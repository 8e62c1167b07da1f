// SPDX-License-Identifier: MIT
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "ui/common/Placement.h"
#include "ui/common/Twips.h"

namespace {

// Counts the moves and resizes the window system makes of a window.
class Changes : public QObject {
public:
    explicit Changes(QWidget* window) { window->installEventFilter(this); }
    int moves = 0, resizes = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        moves += event->type() == QEvent::Move ? 1 : 0;
        resizes += event->type() == QEvent::Resize ? 1 : 0;
        return false;
    }
};

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    // A new outer size is one resize of the window, a new place one move: a
    // window manager meets no half-made request (a growth step as wide as
    // the last but already taller).
    void eachRequestIsOneChange_data()
    {
        QTest::addColumn<bool>("place");
        QTest::addColumn<int>("moves");
        QTest::addColumn<int>("resizes");
        QTest::newRow("size") << false << 0 << 1;
        QTest::newRow("place") << true << 1 << 0;
    }
    void eachRequestIsOneChange()
    {
        QFETCH(bool, place);
        QFETCH(int, moves);
        QFETCH(int, resizes);
        QWidget window;
        zarnik::ui::SetOuterSize(&window, 3000, 3000);
        zarnik::ui::SetOuterPlace(&window, 3000, 1500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        Changes changes(&window);
        if (place) {
            zarnik::ui::SetOuterPlace(&window, 3600, 1800);
        } else {
            zarnik::ui::SetOuterSize(&window, 3300, 3300);
        }
        QTest::qWait(50);
        QCOMPARE(changes.moves, moves);
        QCOMPARE(changes.resizes, resizes);
    }

    // A window mapped anew, its placement long made, that the window system
    // then moves elsewhere: as it shows (fvwm, or any window manager on a
    // busy machine, answering a placement only as it maps the window) or as
    // it grows (fvwm moving a small frame it resizes) it goes back; once it
    // has stood a while, the move is the user's and stays.
    void placementHoldsAsTheWindowShowsAndGrows_data()
    {
        QTest::addColumn<int>("shownForMs");  // before the window system moves it
        QTest::addColumn<bool>("resized");    // just before the move
        QTest::addColumn<bool>("putBack");
        QTest::newRow("as it shows") << 0 << false << true;
        QTest::newRow("a while later") << 800 << false << false;
        QTest::newRow("as it grows, a while later") << 800 << true << true;
    }
    void placementHoldsAsTheWindowShowsAndGrows()
    {
        QFETCH(int, shownForMs);
        QFETCH(bool, resized);
        QFETCH(bool, putBack);
        QWidget window;
        zarnik::ui::SetOuterSize(&window, 3000, 3000);
        zarnik::ui::SetOuterPlace(&window, 3000, 1500);
        const QPoint asked(zarnik::ui::ToPixels(3000), zarnik::ui::ToPixels(1500));
        window.show();
        QTRY_COMPARE(window.frameGeometry().topLeft(), asked);
        QTest::qWait(800);  // longer than a new placement is watched
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(shownForMs);
        if (resized) {
            zarnik::ui::SetOuterSize(&window, 3075, 3075);
        }
        window.windowHandle()->setFramePosition(asked + QPoint(3, 2));
        QTRY_COMPARE(window.frameGeometry().topLeft(), putBack ? asked : asked + QPoint(3, 2));
        QTest::qWait(50);
        QCOMPARE(window.frameGeometry().topLeft(), putBack ? asked : asked + QPoint(3, 2));
    }
};

}  // namespace

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
