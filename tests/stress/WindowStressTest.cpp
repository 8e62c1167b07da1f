// SPDX-License-Identifier: MIT
// Opens and closes the encoder, help and about windows hundreds of times from
// the decoder window's menu, closes them while they grow and presses the menu
// items while they grow; types and pastes random texts into the encoder's
// value box, switches band modes and presses OK in between. Built with the
// sanitizers (make asan) it shows that nothing is used after it is freed and
// nothing leaks. After every close of the encoder window the decoder window
// takes input again, every closed window is gone, and the encoder window
// shows what the model gives for the texts it holds.
//
// The random choices come from a fixed seed, so a failure repeats.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <memory>

#include "model/Encoding.h"
#include "model/NumberText.h"
#include "tests/support/WindowTestSupport.h"
#include "ui/about/Form4.h"
#include "ui/decoder/Form1.h"
#include "ui/encoder/Form2.h"
#include "ui/help/Form3.h"

using zarnik::Form1;
using zarnik::Form2;
using zarnik::Form3;
using zarnik::Form4;

namespace {

constexpr quint32 kSeed = 20240607;

template <class T>
T* Child(const QObject* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

zarnik::NumberFormat UserFormat() { return zarnik::NumberFormat{QLocale::system().decimalPoint().toStdString()}; }

// Random texts for the value box: digits, the separators of three
// conventions, signs, exponents, blanks, letters and Arabic-Indic digits.
QString RandomText(QRandomGenerator& random, int maxLength)
{
    static const QString pool = QString::fromUtf8("0123456789012345..,,\u066B\u066Be-+ xK\u0660\u0664");
    QString text;
    const int length = random.bounded(1, maxLength + 1);
    for (int i = 0; i < length; ++i) {
        text += pool.at(random.bounded(pool.size()));
    }
    return text;
}

}  // namespace

class WindowStressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QRandomGenerator random{kSeed};
    QTimer boxCloser;
    int boxesAnswered = 0;
    int boxesWithTheEncoder = 0;
    QStringList otherBoxes;
    bool closeEncoderUnderBox = false;

    QAction* Action(const char* name) const { return Child<QAction>(form.get(), name); }
    QTimer* DecoderTimer(const char* name) const { return Child<QTimer>(form.get(), name); }

    // Lets the event loop run until `done` or ten seconds have passed: an
    // opening at the real timer's pace takes a tenth of a second, and many
    // times that under the sanitizers on a loaded machine (two seconds were
    // seen to run out there).
    template <class Done>
    static bool WaitFor(Done done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return done();
    }

    // The windows of one kind that still exist, closed or not. The windows
    // that open out of the decoder window have no parent: they are top-level.
    static QList<QWidget*> Windows(const char* name)
    {
        QList<QWidget*> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String(name)) {
                windows.append(window);
            }
        }
        return windows;
    }

    static void CloseHelpAndAbout()
    {
        for (const char* name : {"Form3", "Form4"}) {
            if (QWidget* window = zarnik::test::OpenWindow(QString::fromLatin1(name))) {
                window->close();
            }
        }
    }

    // Deletes the windows that closed; a closed window must not stay.
    static void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Lets a running opening finish, now and then at the real timer's pace,
    // and closes what it opened.
    void FinishAndCloseEncoder()
    {
        QTimer* timer1 = DecoderTimer("Timer1");
        if (random.bounded(20) != 0) {
            for (int i = 0; i < 200 && timer1->isActive(); ++i) {
                zarnik::test::Tick(&*form, "Timer1");
            }
        }
        QVERIFY(WaitFor([timer1] { return !timer1->isActive(); }));
        if (Form2* encoder = zarnik::test::OpenWindow<zarnik::Form2>("Form2")) {
            QVERIFY(!form->isEnabled());
            encoder->close();
            QVERIFY(form->isEnabled());
        }
        DeleteClosedWindows();
        QVERIFY(Windows("Form2").isEmpty());
    }

    // A click on a digit swatch reaches the decoder window again.
    void ExpectDecoderTakesInput(int round)
    {
        QVERIFY(form->isEnabled());
        const char* swatch = round % 2 ? "a4" : "a7";
        QTest::mouseClick(Child<QWidget>(form.get(), swatch), Qt::LeftButton);
        QCOMPARE(Child<QLineEdit>(form.get(), "At")->text(), QString(swatch + 1));
    }

    Form2* OpenEncoder()
    {
        Action("Show")->trigger();
        QTimer* timer1 = DecoderTimer("Timer1");
        if (!WaitFor([timer1] { return !timer1->isActive(); })) {
            return nullptr;
        }
        return zarnik::test::OpenWindow<zarnik::Form2>("Form2");
    }

    // After OK the result line is the model's, for the texts the window holds.
    static void ExpectModelResult(Form2* encoder)
    {
        const bool four = Child<QRadioButton>(encoder, "four")->isChecked();
        const std::string value = Child<QLineEdit>(encoder, "a12")->text().toStdString();
        const std::string unit = Child<QComboBox>(encoder, "Z")->currentText().toStdString();
        const std::string tolerance = Child<QComboBox>(encoder, "T")->currentText().toStdString();
        const zarnik::Encoding expected = four ? zarnik::EncodeFourBands(value, unit, tolerance, UserFormat())
                                               : zarnik::EncodeFiveBands(value, unit, tolerance, UserFormat());
        QCOMPARE(Child<QLineEdit>(encoder, "abcdt")->text(), QString::fromStdString(expected.resultText));
    }

private slots:
    void initTestCase()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        // Answers the encoder's box as a user would; now and then closes the
        // encoder window under it instead, which takes the box with it.
        boxCloser.setInterval(1);
        connect(&boxCloser, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            if (box->windowTitle() != QLatin1String("Wrong!") ||
                box->text() != QLatin1String("Please Write the value of Ohm True!")) {
                otherBoxes << box->windowTitle() + ": " + box->text();
                box->reject();
                return;
            }
            Form2* encoder = zarnik::test::OpenWindow<zarnik::Form2>("Form2");
            if (closeEncoderUnderBox && encoder) {
                closeEncoderUnderBox = false;
                ++boxesWithTheEncoder;
                encoder->close();
                return;
            }
            ++boxesAnswered;
            box->accept();
        });
        boxCloser.start();
    }

    void cleanupTestCase()
    {
        boxCloser.stop();
        form.reset();
        DeleteClosedWindows();
        QVERIFY2(otherBoxes.isEmpty(), qPrintable(otherBoxes.join('\n')));
    }

    void encoderWindowClosesAtAnyPointOfItsOpening()
    {
        QTimer* timer1 = DecoderTimer("Timer1");
        for (int round = 0; round < 300; ++round) {
            Action("Show")->trigger();
            // Ticks by hand, the real timer running in between now and then,
            // and menu items pressed while the window grows.
            const int ticks = random.bounded(0, 90);
            for (int i = 0; i < ticks && timer1->isActive(); ++i) {
                zarnik::test::Tick(&*form, "Timer1");
                if (random.bounded(6) == 0) {
                    QCoreApplication::processEvents();
                }
                if (random.bounded(30) == 0) {
                    const char* items[] = {"Show", "Help2", "About"};
                    Action(items[random.bounded(3)])->trigger();
                }
            }
            if (Form2* encoder = zarnik::test::OpenWindow<zarnik::Form2>("Form2")) {
                QVERIFY(!form->isEnabled());
                encoder->close();
                QVERIFY2(form->isEnabled(), "the decoder window stays disabled after the encoder window closed");
            }
            // A close during the opening leaves Timer1 running: its next tick
            // opens the window afresh.
            FinishAndCloseEncoder();
            if (QTest::currentTestFailed()) {
                return;
            }
            if (Form3* help = zarnik::test::OpenWindow<zarnik::Form3>("Form3"); help && random.bounded(2)) {
                help->close();
            }
            if (Form4* about = zarnik::test::OpenWindow<zarnik::Form4>("Form4"); about && random.bounded(2)) {
                about->close();
            }
            ExpectDecoderTakesInput(round);
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        DecoderTimer("Timer2")->stop();
        CloseHelpAndAbout();
        DeleteClosedWindows();
        QVERIFY(Windows("Form3").isEmpty());
        QVERIFY(Windows("Form4").isEmpty());
    }

    void encoderWindowTakesRandomTypingPastingAndModeSwitches()
    {
        QPointer<Form2> encoder = OpenEncoder();
        QVERIFY(encoder);
        int presses = 0;
        for (int step = 0; step < 600; ++step) {
            if (!encoder) {
                // The encoder window was closed under its box.
                DeleteClosedWindows();
                QVERIFY(form->isEnabled());
                QVERIFY(Windows("Form2").isEmpty());
                encoder = OpenEncoder();
                QVERIFY(encoder);
            }
            auto* a12 = Child<QLineEdit>(encoder, "a12");
            // Only typing brings the box up; there the window may go under it.
            const int action = random.bounded(8);
            closeEncoderUnderBox = action <= 4 && random.bounded(8) == 0;
            switch (action) {
            case 0:
            case 1:
            case 2:
                // One key at a time: the window may be gone after any of them.
                for (const QChar c : RandomText(random, 4)) {
                    if (!encoder || encoder->isHidden()) {
                        break;
                    }
                    QTest::sendKeyEvent(QTest::Click, Child<QLineEdit>(encoder, "a12"), Qt::Key_unknown, QString(c),
                                        Qt::NoModifier);
                }
                break;
            case 3:
                QGuiApplication::clipboard()->setText(RandomText(random, 12));
                QTest::keySequence(a12, QKeySequence::Paste);
                break;
            case 4: QTest::keyClick(a12, Qt::Key_Backspace); break;
            case 5:
                QTest::mouseClick(Child<QRadioButton>(encoder, random.bounded(2) ? "four" : "five"), Qt::LeftButton);
                break;
            case 6:
                Child<QComboBox>(encoder, "Z")->setCurrentIndex(random.bounded(3));
                Child<QComboBox>(encoder, "T")->setCurrentIndex(random.bounded(9));
                break;
            default:
                QTest::mouseClick(Child<QPushButton>(encoder, "Command1"), Qt::LeftButton);
                if (encoder) {
                    ExpectModelResult(encoder);
                    if (QTest::currentTestFailed()) {
                        return;
                    }
                    ++presses;
                }
                break;
            }
            closeEncoderUnderBox = false;
            if (encoder && encoder->isHidden()) {
                // Closed under its box: it is deleted once the box is gone.
                DeleteClosedWindows();
                QVERIFY(!encoder);
            }
            if (!encoder) {
                continue;
            }
            // Whatever was typed, the value box holds a number afterwards: a
            // text that is none was answered by the box and replaced.
            const QString text = Child<QLineEdit>(encoder, "a12")->text();
            QVERIFY2(zarnik::Parse(text.toStdString(), UserFormat()).has_value(), qPrintable(text));
            if (random.bounded(40) == 0) {
                encoder->close();
                DeleteClosedWindows();
                QVERIFY(!encoder);
                QVERIFY(form->isEnabled());
                ExpectDecoderTakesInput(step);
                if (QTest::currentTestFailed()) {
                    return;
                }
            }
        }
        if (encoder) {
            encoder->close();
        }
        DeleteClosedWindows();
        QVERIFY(form->isEnabled());
        QVERIFY(Windows("Form2").isEmpty());
        QVERIFY(presses > 30);
        QVERIFY(boxesAnswered > 30);
        QVERIFY(boxesWithTheEncoder > 0);
    }

    void encoderWindowClosedUnderItsBoxGoesOnceTheBoxIsGone()
    {
        // A paste that is no number brings the box up inside a12's change
        // signal; the window is closed while the box is open.
        QPointer<Form2> encoder = OpenEncoder();
        QVERIFY(encoder);
        const int before = boxesWithTheEncoder;
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        QTest::keySequence(Child<QLineEdit>(encoder, "a12"), QKeySequence::SelectAll);
        closeEncoderUnderBox = true;
        QTest::keySequence(Child<QLineEdit>(encoder, "a12"), QKeySequence::Paste);
        closeEncoderUnderBox = false;
        QCOMPARE(boxesWithTheEncoder, before + 1);
        QVERIFY(encoder);
        QVERIFY(encoder->isHidden());
        QVERIFY(form->isEnabled());
        QVERIFY(!zarnik::test::OpenWindow<zarnik::Form2>("Form2"));
        DeleteClosedWindows();
        QVERIFY(!encoder);
        QVERIFY(Windows("Form2").isEmpty());
        ExpectDecoderTakesInput(0);
    }

    void helpAndAboutWindowsCloseAtAnyPointOfTheirOpening()
    {
        QTimer* timer2 = DecoderTimer("Timer2");
        for (int round = 0; round < 200; ++round) {
            const bool help = random.bounded(3) != 0;
            const bool about = random.bounded(3) != 0;
            if (help) {
                Action("Help2")->trigger();
            }
            if (about) {
                Action("About")->trigger();
            }
            const int ticks = random.bounded(0, 90);
            for (int i = 0; i < ticks; ++i) {
                if (Form3* window = zarnik::test::OpenWindow<zarnik::Form3>("Form3");
                    window && Child<QTimer>(window, "Timer1")->isActive()) {
                    zarnik::test::Tick(&*window, "Timer1");
                }
                if (timer2->isActive()) {
                    zarnik::test::Tick(&*form, "Timer2");
                }
                if (random.bounded(6) == 0) {
                    QCoreApplication::processEvents();
                }
                if (random.bounded(20) == 0) {
                    Action(random.bounded(2) ? "Help2" : "About")->trigger();
                }
            }
            if (Form3* window = zarnik::test::OpenWindow<zarnik::Form3>("Form3"); window && random.bounded(4) != 0) {
                window->close();
            }
            if (Form4* window = zarnik::test::OpenWindow<zarnik::Form4>("Form4"); window && random.bounded(4) != 0) {
                window->close();
            }
            if (round % 10 == 0) {
                ExpectDecoderTakesInput(round);
                if (QTest::currentTestFailed()) {
                    return;
                }
            }
            DeleteClosedWindows();
        }
        timer2->stop();
        CloseHelpAndAbout();
        DeleteClosedWindows();
        QVERIFY(Windows("Form3").isEmpty());
        QVERIFY(Windows("Form4").isEmpty());
        QVERIFY(form->isEnabled());
    }
};

QTEST_MAIN(WindowStressTest)
#include "WindowStressTest.moc"
