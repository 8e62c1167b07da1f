// SPDX-License-Identifier: MIT
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>

#include "rtf/RtfReader.h"
#include "tests/support/WindowTestSupport.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/decoder/Form1.h"
#include "ui/help/Form3.h"

using zarnik::Form1;
using zarnik::Form3;
using zarnik::ui::OuterHeight;
using zarnik::ui::OuterLeft;
using zarnik::ui::OuterTop;
using zarnik::ui::OuterWidth;

using zarnik::test::Child;

namespace {

constexpr double kDecoderSize = 5700;

class HelpWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;

    void Help() { Child<QAction>(form.get(), "Help2")->trigger(); }
    Form3* Window() const { return zarnik::test::OpenWindow<zarnik::Form3>("Form3"); }
    static QTimer* Timer1(const Form3* help) { return Child<QTimer>(help, "Timer1"); }
    static QTextEdit* Box(const Form3* help) { return Child<QTextEdit>(help, "RichTextBox1"); }

    // Ticks of the help window's growth timer, run directly.
    static void Grow(Form3* help, int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            zarnik::test::Tick(&*help, "Timer1");
        }
    }
    static int GrowToFullSize(Form3* help)
    {
        int ticks = 0;
        while (Timer1(help)->isActive() && ticks < 1000) {
            zarnik::test::Tick(&*help, "Timer1");
            ++ticks;
        }
        return ticks;
    }
    // The outer size after a number of growth ticks: the growth counts from
    // zero, whatever the smallest window the window system allows on the way.
    static double GrownSize(int ticks) { return 75.0 * ticks; }

    // A window just loaded: zero size and its growth timer running. Its corner
    // is read after the first tick: a window of zero size may stand off its
    // place by its frame until it has a size.
    void VerifyFreshlyLoaded(Form3* help) const
    {
        QCOMPARE(help->size(), QSize(1, 1));
        QVERIFY(Timer1(help)->isActive());
        zarnik::test::Tick(&*help, "Timer1");
        QCOMPARE(OuterHeight(help), GrownSize(1));
        QCOMPARE(OuterLeft(help), OuterLeft(form.get()));
        QCOMPARE(OuterTop(help), OuterTop(form.get()));
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void helpOpensAZeroSizeWindowOnTheDecodersCorner()
    {
        QCOMPARE(Window(), nullptr);
        Help();
        Form3* help = Window();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        VerifyFreshlyLoaded(help);
        QCOMPARE(Timer1(help)->interval(), 1);
        QCOMPARE(Timer1(help)->timerType(), Qt::PreciseTimer);

        QCOMPARE(help->objectName(), QString("Form3"));
        QCOMPARE(help->windowTitle(), QString("Help"));
        const Qt::WindowFlags flags = help->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!help->windowIcon().isNull());
        QCOMPARE(help->focusWidget(), Box(help));
    }

    void growsSquareInStepsUntilTheDecodersHeight_data()
    {
        QTest::addColumn<double>("decoderWidth");
        QTest::addColumn<double>("decoderHeight");
        QTest::addColumn<double>("laterDecoderHeight");  // set after 10 ticks; 0 keeps it
        QTest::addColumn<int>("expectedTicks");
        QTest::newRow("design size") << kDecoderSize << kDecoderSize << 0.0 << 76;
        QTest::newRow("wider than high") << 7005.0 << 3000.0 << 0.0 << 40;
        // The last step may pass the decoder's height (-1: whichever tick that is).
        QTest::newRow("not a multiple of the step") << kDecoderSize << 3010.0 << 0.0 << -1;
        // 1500 twips: the height of the twentieth step exactly.
        QTest::newRow("reached exactly") << kDecoderSize << 1500.0 << 0.0 << 20;
        QTest::newRow("lower than one step") << 3000.0 << 30.0 << 0.0 << 1;
        QTest::newRow("decoder resized during growth") << kDecoderSize << kDecoderSize << 1500.0 << 20;
    }
    void growsSquareInStepsUntilTheDecodersHeight()
    {
        QFETCH(double, decoderWidth);
        QFETCH(double, decoderHeight);
        QFETCH(double, laterDecoderHeight);
        QFETCH(int, expectedTicks);
        zarnik::ui::SetOuterSize(form.get(), decoderWidth, decoderHeight);

        Help();
        Form3* help = Window();
        int ticks = 0;
        do {
            if (ticks == 10 && laterDecoderHeight > 0) {
                zarnik::ui::SetOuterSize(form.get(), decoderWidth, laterDecoderHeight);
            }
            zarnik::test::Tick(&*help, "Timer1");
            ++ticks;
            QCOMPARE(OuterHeight(help), GrownSize(ticks));
            QCOMPARE(OuterWidth(help), OuterHeight(help));
            // The growth stops on the first tick that reaches the decoder's height.
            QCOMPARE(Timer1(help)->isActive(), OuterHeight(help) < OuterHeight(form.get()));
        } while (Timer1(help)->isActive() && ticks < 1000);
        if (expectedTicks > 0) {
            QCOMPARE(ticks, expectedTicks);
        }
        // The box keeps its place while the window grows over it.
        const zarnik::ui::TwipsRect box = zarnik::ui::TwipsGeometry(Box(help));
        QCOMPARE(QRectF(box.left, box.top, box.width, box.height), QRectF(240, 240, 5055, 3615));
        QCOMPARE(Box(help)->geometry(), QRect(16, 16, 337, 241));
    }

    void realTimerGrowsTheWindowToFullSize()
    {
        Help();
        Form3* help = Window();
        QTRY_VERIFY_WITH_TIMEOUT(!Timer1(help)->isActive(), 5000);
        QCOMPARE(OuterHeight(help), GrownSize(76));
        QCOMPARE(OuterWidth(help), GrownSize(76));
        QCOMPARE(OuterLeft(help), OuterLeft(form.get()));
        QCOMPARE(OuterTop(help), OuterTop(form.get()));
    }

    void helpWhileOpenOnlyBringsTheWindowToTheFront_data()
    {
        QTest::addColumn<bool>("fullSize");
        QTest::newRow("growing") << false;
        QTest::newRow("full size") << true;
    }
    void helpWhileOpenOnlyBringsTheWindowToTheFront()
    {
        QFETCH(bool, fullSize);
        Help();
        Form3* help = Window();
        if (fullSize) {
            QTRY_VERIFY_WITH_TIMEOUT(!Timer1(help)->isActive(), 5000);
            form->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), form.get());
        } else {
            // No event is processed: the real timer has not ticked yet.
            Grow(help, 10);
        }
        // The user has moved the window.
        help->move(help->pos() + QPoint(30, 20));
        const QPoint place = help->pos();
        const QSize size = help->size();
        const bool growing = Timer1(help)->isActive();
        QCOMPARE(growing, !fullSize);

        Help();
        QCOMPARE(Window(), help);
        QCOMPARE(help->pos(), place);
        QCOMPARE(help->size(), size);
        QCOMPARE(Timer1(help)->isActive(), growing);
        if (fullSize) {
            QTRY_COMPARE(QApplication::activeWindow(), help);
        } else {
            // The growth goes on from where it was.
            const double height = OuterHeight(help);
            zarnik::test::Tick(&*help, "Timer1");
            QCOMPARE(OuterHeight(help), height + 75);
        }
    }

    void reopeningAfterCloseStartsAtTheDecodersNewCorner()
    {
        Help();
        QPointer<Form3> first = Window();
        QTRY_VERIFY_WITH_TIMEOUT(!Timer1(first)->isActive(), 5000);
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(Window(), nullptr);

        form->move(form->pos() + QPoint(-40, 55));
        Help();
        Form3* help = Window();
        QVERIFY(help != nullptr);
        VerifyFreshlyLoaded(help);
        QCOMPARE(GrowToFullSize(help), 75);
        QCOMPARE(OuterHeight(help), GrownSize(76));
    }

    void closingTheDecoderLetsTheGrowthEndWholeAndTheHelpWindowIsLast()
    {
        Help();
        Form3* help = Window();
        Grow(help, 5);
        form->close();
        // The growth goes on to the decoder window's last height, so the window
        // never stays a stump.
        QCOMPARE(GrowToFullSize(help), 71);
        QCOMPARE(OuterHeight(help), GrownSize(76));
        QVERIFY(help->isVisible());

        // With the decoder window closed, closing the help window closes the
        // last window: the program ends there.
        QTimer::singleShot(0, help, &QWidget::close);
        QObject guard;
        QTimer::singleShot(5000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void aDeletedDecoderLetsTheGrowthEndAtItsLastHeight()
    {
        auto* decoder = new QWidget;
        decoder->resize(380, 380);
        decoder->show();
        Form3 help(decoder);
        help.show();
        Grow(&help, 3);
        const double decoderHeight = OuterHeight(decoder);
        delete decoder;
        GrowToFullSize(&help);
        QVERIFY(OuterHeight(&help) >= decoderHeight);
        QVERIFY(OuterHeight(&help) < decoderHeight + 75);
    }

    void backgroundPictureAtNaturalSizeOverTheButtonFace()
    {
        const QImage picture(":/help_background.jpg");
        QCOMPARE(picture.size(), QSize(390, 395));
        Form3 help(form.get());
        Timer1(&help)->stop();
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        // Larger than the picture: the button face shows beyond it.
        help.setFixedSize(450, 450);
        const QImage shot = help.grab().toImage();
        const QColor face = QApplication::palette().color(QPalette::Button);
        for (const QPoint p : {QPoint(2, 2), QPoint(10, 300), QPoint(389, 394), QPoint(200, 380)}) {
            QCOMPARE(shot.pixelColor(p), picture.pixelColor(p));
        }
        for (const QPoint p : {QPoint(390, 10), QPoint(10, 395), QPoint(449, 449)}) {
            QCOMPARE(shot.pixelColor(p), face);
        }
        // The box is drawn over the picture in the system window colour.
        QCOMPARE(Box(&help)->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        QCOMPARE(shot.pixelColor(QPoint(330, 250)), QApplication::palette().color(QPalette::Base));
    }

    void boxHoldsTheHelpDocument()
    {
        Form3 help(form.get());
        const QTextEdit* box = Box(&help);
        QVERIFY(box->isReadOnly());
        // Selectable and readable with the caret keys, not editable.
        QCOMPARE(box->textInteractionFlags(), Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        QVERIFY(box->focusPolicy() & Qt::TabFocus);
        QCOMPARE(box->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

        const QTextDocument* document = box->document();
        QCOMPARE(document->blockCount(), 80);
        QFile file(":/help.rtf");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument expected;
        zarnik::ReadRtf(file.readAll(), expected);
        QCOMPARE(document->toPlainText(), expected.toPlainText());
        QVERIFY(document->toPlainText().contains(QString::fromUtf8("با ســـــــــــــــــــلام")));

        int pictures = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            QCOMPARE(block.blockFormat().layoutDirection(), Qt::RightToLeft);
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isImageFormat()) {
                    ++pictures;
                    const QVariant image =
                        document->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
                    QVERIFY(!image.value<QImage>().isNull());
                }
            }
        }
        QCOMPARE(pictures, 2);
    }

    void boxScrollsThroughTheWholeDocumentAndTakesNoTyping()
    {
        Help();
        Form3* help = Window();
        GrowToFullSize(help);
        QTextEdit* box = Box(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QScrollBar* bar = box->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        // The document is far taller than the box.
        QVERIFY(bar->maximum() > 4 * box->viewport()->height());
        QVERIFY(bar->isVisible());
        QVERIFY(!box->horizontalScrollBar()->isVisible());

        const QString text = box->toPlainText();
        QTest::keyClicks(box, "abc");
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->toPlainText(), text);

        // The whole document laid out, as it is soon after the window opens.
        const QTextDocument* document = box->document();
        const QRectF last = document->documentLayout()->blockBoundingRect(document->lastBlock());
        QTRY_VERIFY(bar->maximum() + box->viewport()->height() >= last.bottom());

        QTest::keyClick(box, Qt::Key_PageDown);
        QCOMPARE(bar->value(), bar->pageStep());
        // The caret keys move a caret: Ctrl+End goes to the end of the text.
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        // The last paragraph is in view (the caret's line, short of the
        // document's bottom margin).
        QVERIFY(last.bottom() <= bar->value() + box->viewport()->height() + 1);
        QVERIFY(last.top() >= bar->value());
    }

    void persianIsSetInAProportionalArabicScriptFont()
    {
        // The document names Courier New, which has no Arabic script here: the
        // Persian letters must come from a proportional Arabic-script font,
        // not a wide monospace one.
        Form3 help(form.get());
        const QTextDocument* document = Box(&help)->document();
        for (int number : {1, 3, 13, 72}) {
            const QTextBlock block = document->findBlockByNumber(number);
            QTextLayout layout(block.text(), document->defaultFont());
            QTextOption option;
            option.setTextDirection(Qt::RightToLeft);
            layout.setTextOption(option);
            layout.setFormats(block.textFormats());
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(100000);
            }
            layout.endLayout();
            QStringList arabicFonts;
            for (const QGlyphRun& run : layout.glyphRuns()) {
                const QString family = run.rawFont().familyName();
                if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Arabic)) {
                    QVERIFY2(!QFontDatabase::isFixedPitch(family), qPrintable(family));
                    arabicFonts << family;
                }
            }
            QVERIFY2(!arabicFonts.isEmpty(), qPrintable(block.text()));
        }
    }
};

}  // namespace

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
