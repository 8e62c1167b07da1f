// SPDX-License-Identifier: MIT
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <array>

#include "tests/support/WindowTestSupport.h"
#include "ui/about/Form4.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/decoder/Form1.h"

using zarnik::Form1;
using zarnik::Form4;
using zarnik::ui::OuterHeight;
using zarnik::ui::OuterLeft;
using zarnik::ui::OuterTop;
using zarnik::ui::OuterWidth;
using zarnik::ui::TwipsGeometry;
using zarnik::ui::TwipsTop;

using zarnik::test::Child;

namespace {

// The credit lines top to bottom, with their design Tops.
constexpr std::array<const char*, 8> kCredits = {"a", "b", "c", "d", "e", "f", "g", "h"};
constexpr std::array<double, 8> kDesignTops = {480, 960, 1560, 2040, 2640, 3120, 3720, 4200};
constexpr double kDrop = 5500;
constexpr double kCentreLine = 2662.5;
constexpr double kDecoderSize = 5700;

class AboutWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;

    QTimer* Timer2() const { return Child<QTimer>(form.get(), "Timer2"); }
    static QTimer* Timer1(const Form4* about) { return Child<QTimer>(about, "Timer1"); }
    void About() { Child<QAction>(form.get(), "About")->trigger(); }
    Form4* Window() const { return zarnik::test::OpenWindow<zarnik::Form4>("Form4"); }

    // Ticks of the decoder window's growth timer, run directly.
    void Grow(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            zarnik::test::Tick(&*form, "Timer2");
        }
    }
    // Grows the window until the growth timer stops; the number of ticks.
    int GrowToFullSize()
    {
        int ticks = 0;
        while (Timer2()->isActive() && ticks < 1000) {
            zarnik::test::Tick(&*form, "Timer2");
            ++ticks;
        }
        return ticks;
    }
    // The outer size after a number of growth ticks: the growth counts from
    // zero, whatever the smallest window the window system allows on the way.
    static double GrownSize(int ticks) { return 75.0 * ticks; }

    static std::array<double, 8> Tops(const Form4* about)
    {
        std::array<double, 8> tops{};
        for (std::size_t i = 0; i < kCredits.size(); ++i) {
            tops[i] = TwipsTop(Child<QLabel>(about, kCredits[i]));
        }
        return tops;
    }
    static std::array<double, 8> DesignTopsPlus(double offset)
    {
        std::array<double, 8> tops = kDesignTops;
        for (double& top : tops) {
            top += offset;
        }
        return tops;
    }
    // The credits as the load handler leaves them, at zero size on the decoder's corner.
    void VerifyFreshlyLoaded(const Form4* about) const
    {
        QCOMPARE(Tops(about), DesignTopsPlus(kDrop));
        QVERIFY(Timer1(about)->isActive());
        QCOMPARE(Timer1(about)->interval(), 10);
        QCOMPARE(OuterLeft(about), OuterLeft(form.get()));
        QCOMPARE(OuterTop(about), OuterTop(form.get()));
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void aboutOnlyStartsTheGrowthTimer()
    {
        QVERIFY(!Timer2()->isActive());
        About();
        QVERIFY(Timer2()->isActive());
        QCOMPARE(Window(), nullptr);
    }

    void loadPlacesAZeroSizeWindowOnTheDecodersCornerWithCreditsBelow()
    {
        form->move(form->pos() + QPoint(37, 23));
        Form4 about(form.get());
        about.show();
        QCOMPARE(about.objectName(), QString("Form4"));
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.size(), QSize(1, 1));
        VerifyFreshlyLoaded(&about);
    }

    void firstGrowthTickShowsTheLoadedWindowOneStepHigh()
    {
        About();
        zarnik::test::Tick(&*form, "Timer2");
        Form4* about = Window();
        QVERIFY(about != nullptr);
        QVERIFY(about->isVisible());
        VerifyFreshlyLoaded(about);
        QCOMPARE(OuterHeight(about), 75.0);
        QCOMPARE(OuterWidth(about), 75.0);
    }

    void creditsRiseFor184TicksAndRestTwentyTwipsAboveTheirPlaces()
    {
        About();
        zarnik::test::Tick(&*form, "Timer2");
        Form4* about = Window();
        for (int tick = 1; tick <= 183; ++tick) {
            zarnik::test::Tick(&*about, "Timer1");
            QCOMPARE(Tops(about), DesignTopsPlus(kDrop - 30.0 * tick));
            QVERIFY2(Timer1(about)->isActive(), qPrintable(QString("stopped after tick %1").arg(tick)));
        }
        QCOMPARE(TwipsTop(Child<QLabel>(about, "a")), 490.0);
        zarnik::test::Tick(&*about, "Timer1");
        QVERIFY(!Timer1(about)->isActive());
        QCOMPARE(Tops(about), DesignTopsPlus(-20));
        QCOMPARE(Tops(about), (std::array<double, 8>{460, 940, 1540, 2020, 2620, 3100, 3700, 4180}));
    }

    void growsSquareInStepsUntilTheDecodersHeight_data()
    {
        QTest::addColumn<double>("decoderWidth");
        QTest::addColumn<double>("decoderHeight");
        QTest::addColumn<int>("expectedTicks");
        // The about window grows from zero, 75 twips a tick.
        QTest::newRow("design size") << kDecoderSize << kDecoderSize << 76;
        QTest::newRow("wider than high") << 7005.0 << 5025.0 << 67;
        QTest::newRow("as low as a window can be") << 3000.0 << 0.0 << 1;
    }
    void growsSquareInStepsUntilTheDecodersHeight()
    {
        QFETCH(double, decoderWidth);
        QFETCH(double, decoderHeight);
        QFETCH(int, expectedTicks);
        zarnik::ui::SetOuterSize(form.get(), decoderWidth, decoderHeight);
        const double decoder = OuterHeight(form.get());
        QCOMPARE(decoder, decoderHeight);

        About();
        int ticks = 0;
        do {
            zarnik::test::Tick(&*form, "Timer2");
            ++ticks;
            QCOMPARE(OuterHeight(Window()), GrownSize(ticks));
            QCOMPARE(OuterWidth(Window()), OuterHeight(Window()));
            // The growth stops on the first tick that reaches the decoder's height.
            QCOMPARE(Timer2()->isActive(), OuterHeight(Window()) < decoder);
        } while (Timer2()->isActive() && ticks < 1000);
        QCOMPARE(ticks, expectedTicks);
        // The growth does not move the credits.
        QCOMPARE(Tops(Window()), DesignTopsPlus(kDrop));
    }

    void aboutAtFullSizeGrowsOneMoreStepAndLeavesTheCreditsAtRest()
    {
        About();
        QCOMPARE(GrowToFullSize(), 76);
        Form4* about = Window();
        while (Timer1(about)->isActive()) {
            zarnik::test::Tick(&*about, "Timer1");
        }
        About();
        QVERIFY(Timer2()->isActive());
        zarnik::test::Tick(&*form, "Timer2");
        QCOMPARE(Window(), about);
        QVERIFY(!Timer2()->isActive());
        QCOMPARE(OuterHeight(about), GrownSize(77));
        QCOMPARE(OuterWidth(about), GrownSize(77));
        QCOMPARE(Tops(about), DesignTopsPlus(-20));
        QVERIFY(!Timer1(about)->isActive());
    }

    void aboutDuringGrowthChangesNothing()
    {
        About();
        Grow(10);
        Form4* about = Window();
        zarnik::test::Tick(&*about, "Timer1");
        const auto tops = Tops(about);
        About();
        QVERIFY(Timer2()->isActive());
        QCOMPARE(Window(), about);
        QCOMPARE(OuterHeight(about), GrownSize(10));
        QCOMPARE(Tops(about), tops);
        QCOMPARE(GrowToFullSize(), 66);
        QCOMPARE(OuterHeight(about), GrownSize(76));
    }

    void closingDuringGrowthReloadsAndRegrowsOnTheNextTick()
    {
        About();
        Grow(10);
        QPointer<Form4> closed = Window();
        for (int i = 0; i < 50; ++i) {
            zarnik::test::Tick(&*closed, "Timer1");
        }
        QVERIFY(closed->close());
        QVERIFY(Timer2()->isActive());
        // The next tick comes before the closed window is gone for good.
        zarnik::test::Tick(&*form, "Timer2");
        Form4* about = Window();
        QVERIFY(about != closed.data());
        QVERIFY(about->isVisible());
        VerifyFreshlyLoaded(about);
        QCOMPARE(OuterHeight(about), GrownSize(1));
        QCOMPARE(GrowToFullSize(), 75);
        QCOMPARE(OuterHeight(about), GrownSize(76));
        QTRY_VERIFY(closed.isNull());
    }

    void closingTheDecoderLetsTheGrowthEndWhole()
    {
        About();
        Grow(10);
        Form4* about = Window();
        form->close();
        QVERIFY(!Timer2()->isActive());
        // The window finishes growing on its own, to the decoder window's last
        // height, as it would have with the decoder window open.
        QTRY_COMPARE_WITH_TIMEOUT(OuterHeight(about), GrownSize(76), 5000);
        QCOMPARE(OuterWidth(about), OuterHeight(about));
        QTest::qWait(50);
        QCOMPARE(OuterHeight(about), GrownSize(76));
        QVERIFY(about->isVisible());
        // The credits go on rising in the open about window.
        QVERIFY(Tops(about)[0] < kDesignTops[0] + kDrop);
    }

    void reopeningAfterCloseStartsAtTheDecodersNewCorner()
    {
        About();
        GrowToFullSize();
        QPointer<Form4> first = Window();
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(Window(), nullptr);

        form->move(form->pos() + QPoint(-40, 55));
        About();
        zarnik::test::Tick(&*form, "Timer2");
        Form4* about = Window();
        QVERIFY(about != nullptr);
        VerifyFreshlyLoaded(about);
        QCOMPARE(OuterHeight(about), GrownSize(1));
        QCOMPARE(GrowToFullSize(), 75);
    }

    void realTimersPlayBothAnimations()
    {
        About();
        QTRY_VERIFY_WITH_TIMEOUT(!Timer2()->isActive(), 5000);
        Form4* about = Window();
        QCOMPARE(OuterHeight(about), GrownSize(76));
        QCOMPARE(OuterWidth(about), GrownSize(76));
        QTRY_VERIFY_WITH_TIMEOUT(!Timer1(about)->isActive(), 10000);
        QCOMPARE(Tops(about), DesignTopsPlus(-20));
        // The pixels follow the twips.
        for (std::size_t i = 0; i < kCredits.size(); ++i) {
            QCOMPARE(Child<QLabel>(about, kCredits[i])->y(), qRound((kDesignTops[i] - 20) / 15));
        }
    }

    void creditsAreCentredOnOneLineAndSizedToTheirText()
    {
        Form4 about(form.get());
        for (const char* name : kCredits) {
            const auto* label = Child<QLabel>(&about, name);
            const auto twips = TwipsGeometry(label);
            QCOMPARE(twips.left + twips.width / 2, kCentreLine);
            QCOMPARE(twips.width, 15.0 * label->sizeHint().width());
            QCOMPARE(label->width(), label->sizeHint().width());
            QVERIFY2(qAbs(label->geometry().center().x() + 0.5 - kCentreLine / 15) <= 1.0, name);
            QVERIFY(!label->autoFillBackground());
            QCOMPARE(label->alignment(), Qt::AlignCenter);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pointSizeF(), QString(name) == "g" ? 12.0 : 11.25);
        }
    }

    void creditTexts()
    {
        Form4 about(form.get());
        auto text = [&about](const char* name) { return Child<QLabel>(&about, name)->text(); };
        QCOMPARE(text("a"), QString("Zarnik"));
        QCOMPARE(text("b"), QString("Zarnik"));
        QVERIFY(text("c").startsWith("Programmer:"));
        QVERIFY(text("d").startsWith(QString::fromUtf8("برنامه نويس : ")));
        QCOMPARE(text("g"), QString("Summer_86"));
        QCOMPARE(text("h"), QString::fromUtf8("تابستان 86"));
        for (const char* name : {"d", "f", "h"}) {
            QCOMPARE(Child<QLabel>(&about, name)->layoutDirection(), Qt::RightToLeft);
        }
    }

    void persianLinesAreSetInAnArabicScriptFont()
    {
        // Courier New has no Arabic script here; the Persian letters must come
        // from a proportional Arabic-script font, not a wide monospace one.
        Form4 about(form.get());
        for (const char* name : {"d", "f", "h"}) {
            const auto* label = Child<QLabel>(&about, name);
            QTextLayout layout(label->text(), label->font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            QStringList families;
            for (const QGlyphRun& run : layout.glyphRuns()) {
                families << run.rawFont().familyName();
            }
            QVERIFY2(families.contains("Amiri"), qPrintable(families.join(", ")));
        }
    }
};

}  // namespace

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"
