// SPDX-License-Identifier: MIT
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "ui/common/Placement.h"
#include "ui/common/Twips.h"

namespace {

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    // A window mapped anew, its placement long made, that the window system
    // then moves elsewhere: as it shows (fvwm, or any window manager on a
    // busy machine, answering a placement only as it maps the window) it goes
    // back; once it has stood a while, the move is the user's and stays.
    void placementHoldsFromEachShowing_data()
    {
        QTest::addColumn<int>("shownForMs");  // before the window system moves it
        QTest::addColumn<bool>("putBack");
        QTest::newRow("as it shows") << 0 << true;
        QTest::newRow("a while later") << 800 << false;
    }
    void placementHoldsFromEachShowing()
    {
        QFETCH(int, shownForMs);
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
        window.windowHandle()->setFramePosition(asked + QPoint(3, 2));
        QTRY_COMPARE(window.frameGeometry().topLeft(), putBack ? asked : asked + QPoint(3, 2));
        QTest::qWait(50);
        QCOMPARE(window.frameGeometry().topLeft(), putBack ? asked : asked + QPoint(3, 2));
    }
};

}  // namespace

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
