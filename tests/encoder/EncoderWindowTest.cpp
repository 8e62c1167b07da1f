// SPDX-License-Identifier: MIT
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "tests/support/WindowTestSupport.h"
#include "ui/about/Form4.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/decoder/Form1.h"
#include "ui/encoder/Form2.h"
#include "ui/help/Form3.h"

using zarnik::Form1;
using zarnik::Form2;
using zarnik::ui::OuterHeight;
using zarnik::ui::OuterLeft;
using zarnik::ui::OuterTop;
using zarnik::ui::OuterWidth;

namespace {

const QString kPrompt = QStringLiteral("Please Write the value of Ohm");

QString Sep() { return QLocale::system().decimalPoint(); }

// A result line as written in the tables, with the user's separator in its
// number (the tolerance texts keep their point).
QString Localised(const QString& result)
{
    const qsizetype blank = result.indexOf(' ');
    if (blank < 0) {
        return result;
    }
    QString number = result.left(blank);
    return number.replace('.', Sep()) + result.mid(blank);
}

QColor Colour(const QString& name)
{
    static const QHash<QString, QColor> colours = {
        {"Black", QColor(0x00, 0x00, 0x00)},  {"Brown", QColor(0x80, 0x40, 0x00)},
        {"Red", QColor(0xFF, 0x00, 0x00)},    {"Orange", QColor(0xFF, 0x80, 0x00)},
        {"Yellow", QColor(0xFF, 0xFF, 0x00)}, {"Green", QColor(0x00, 0xFF, 0x00)},
        {"Blue", QColor(0x00, 0x00, 0xFF)},   {"Violet", QColor(0x80, 0x00, 0x80)},
        {"Grey", QColor(0xE0, 0xE0, 0xE0)},   {"White", QColor(0xFF, 0xFF, 0xFF)},
        {"Gold", QColor(0xC0, 0xC0, 0x00)},   {"Silver", QColor(0xC0, 0xC0, 0xC0)},
    };
    if (!colours.contains(name)) {
        qFatal("no colour %s", qPrintable(name));
    }
    return colours.value(name);
}

// Answers every modal message box as a user would, with a click on OK, and
// remembers what each box said.
class BoxWatcher : public QObject {
public:
    struct Seen {
        QString text, title;
        QMessageBox::Icon icon;
        int buttons;
    };
    QList<Seen> seen;

    BoxWatcher()
    {
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            seen.append({box->text(), box->windowTitle(), box->icon(), int(box->buttons().size())});
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

// Processes events until the condition holds, at most timeoutMs. Unlike
// QTest::qWaitFor, which sleeps 10 ms between rounds, it lets a 1 ms timer
// tick at its own pace.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // As QTest::qWaitFor does: windows closed by the test go now.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

class EncoderWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> decoder;
    std::unique_ptr<BoxWatcher> watcher;

    Form2* Encoder() const { return zarnik::test::OpenWindow<zarnik::Form2>("Form2"); }

    template <class T = QWidget>
    T* Child(const QString& name) const
    {
        if (Encoder() == nullptr) {
            qFatal("no encoder window");
        }
        return zarnik::test::Child<T>(Encoder(), name);
    }
    QLineEdit* Edit(const QString& name) const { return Child<QLineEdit>(name); }
    QComboBox* List(const QString& name) const { return Child<QComboBox>(name); }
    QString Value() const { return Edit("a12")->text(); }
    QString Result() const { return Edit("abcdt")->text(); }
    QTimer* OpeningTimer() const { return decoder->findChild<QTimer*>("Timer1"); }

    // Opens the encoder window from the menu and waits until it has grown.
    bool Open()
    {
        decoder->findChild<QAction*>("Show")->trigger();
        return WaitUntil([this] { return Encoder() != nullptr && !OpeningTimer()->isActive(); }, 5000);
    }

    // Closes the encoder window with its close box; it is discarded at once.
    void CloseEncoder()
    {
        QPointer<Form2> window = Encoder();
        window->close();
        QVERIFY(WaitUntil([&] { return window.isNull(); }, 2000));
    }

    // The colour painted in the middle of a control (or at a point inside it),
    // read from the rendered window.
    QColor PaintedColour(const QString& name, std::optional<QPoint> at = std::nullopt) const
    {
        const QWidget* control = Child(name);
        const QImage image = Child("client")->grab().toImage();
        return image.pixelColor(at ? control->geometry().topLeft() + *at : control->geometry().center());
    }

    // Runs one step of a typing script on the value box: "@all" selects the
    // text, "@bs", "@home" and "@end" press those keys, "@paste <text>" pastes,
    // "@four", "@five" and "@ok" click those controls; anything else is typed.
    void Step(const QString& step)
    {
        QLineEdit* value = Edit("a12");
        if (step == "@all") {
            value->selectAll();
        } else if (step == "@bs") {
            QTest::keyClick(value, Qt::Key_Backspace);
        } else if (step == "@home") {
            QTest::keyClick(value, Qt::Key_Home);
        } else if (step == "@end") {
            QTest::keyClick(value, Qt::Key_End);
        } else if (step.startsWith("@paste ")) {
            QApplication::clipboard()->setText(step.mid(7));
            QTest::keyClick(value, Qt::Key_V, Qt::ControlModifier);
        } else if (step == "@four" || step == "@five" || step == "@ok") {
            QTest::mouseClick(Child(step == "@ok" ? "Command1" : step.mid(1)), Qt::LeftButton);
        } else {
            // QTest::keyClicks knows ASCII only; other characters come as the
            // text of a key the keyboard map does not name, as an input method sends them.
            for (const QChar c : step) {
                if (c.unicode() < 0x80) {
                    QTest::keyClick(value, c.toLatin1());
                } else {
                    QTest::sendKeyEvent(QTest::Click, value, Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            }
        }
    }
    void Run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            Step(step);
        }
    }

    // Picks an item from a list box's drop-down list with the keyboard, as a user would.
    void Pick(const QString& name, const QString& item)
    {
        QComboBox* box = List(name);
        const int row = box->findText(item);
        QVERIFY2(row >= 0, qPrintable(item));
        box->showPopup();
        QAbstractItemView* view = box->view();
        QVERIFY(WaitUntil([view] { return view->isVisible(); }, 2000));
        int current = view->currentIndex().row();
        if (current < 0) {
            QTest::keyClick(view, Qt::Key_Home);
            current = view->currentIndex().row();
        }
        for (; current < row; ++current) {
            QTest::keyClick(view, Qt::Key_Down);
        }
        for (; current > row; --current) {
            QTest::keyClick(view, Qt::Key_Up);
        }
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(WaitUntil([view] { return !view->isVisible(); }, 2000));
    }

private slots:
    void initTestCase()
    {
        // The offscreen platform says so each time it cannot pass on a size
        // hint, a raise or a keyboard grab; keep the log readable.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.startsWith(QLatin1String("This plugin does not support"))) {
                previous(type, context, text);
            }
        });
    }

    void init()
    {
        watcher = std::make_unique<BoxWatcher>();
        decoder = std::make_unique<Form1>();
        decoder->show();
        QVERIFY(QTest::qWaitForWindowExposed(decoder.get()));
        QVERIFY(Open());
    }
    void cleanup()
    {
        decoder.reset();
        watcher.reset();
    }

    void opensSquareInStepsOf75TwipsUpToTheDecoderHeight()
    {
        CloseEncoder();
        QVERIFY(decoder->isEnabled());
        struct Tick {
            double width, height, left, top;
            bool decoderEnabled;
        };
        QList<Tick> ticks;
        connect(OpeningTimer(), &QTimer::timeout, this, [&] {
            Form2* window = Encoder();
            ticks.append(
                {OuterWidth(window), OuterHeight(window), OuterLeft(window), OuterTop(window), decoder->isEnabled()});
        });
        zarnik::test::Trigger(&*decoder, "Show");
        // The click only starts the timer; the first tick creates the window.
        QVERIFY(OpeningTimer()->isActive());
        QVERIFY(Encoder() == nullptr);
        QVERIFY(WaitUntil([this] { return !OpeningTimer()->isActive(); }, 5000));

        const double decoderHeight = OuterHeight(decoder.get());
        QCOMPARE(decoderHeight, 5700.0);
        // Growth counts from zero and stops at the first step that reaches the
        // decoder's height.
        QCOMPARE(ticks.front().height, 75.0);
        QVERIFY(ticks.back().height >= decoderHeight);
        QVERIFY(ticks[ticks.size() - 2].height < decoderHeight);
        for (int i = 0; i < ticks.size(); ++i) {
            QCOMPARE(ticks[i].height, 75.0 * (i + 1));
            QCOMPARE(ticks[i].width, ticks[i].height);
            QCOMPARE(ticks[i].left, OuterLeft(decoder.get()));
            QCOMPARE(ticks[i].top, OuterTop(decoder.get()));
            QVERIFY(!ticks[i].decoderEnabled);
        }
        QVERIFY(Encoder()->isVisible());
        QCOMPARE(OuterHeight(Encoder()), ticks.back().height);
        QCOMPARE(OuterWidth(Encoder()), ticks.back().height);
        QCOMPARE(Encoder()->focusWidget(), Child("a12"));
        // The client area fills the whole window.
        QCOMPARE(Child("client")->geometry(), Encoder()->rect());
    }

    void freshWindowShowsTheStartState()
    {
        QCOMPARE(Encoder()->objectName(), QString("Form2"));
        QCOMPARE(Encoder()->windowTitle(), QString("ZRK_2"));
        const Qt::WindowFlags flags = Encoder()->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(Encoder()->minimumSize(), Encoder()->maximumSize());

        QCOMPARE(Value(), QString("2.2"));
        QCOMPARE(List("Z")->currentText(), QString("Ohm"));
        QCOMPARE(List("T")->currentText(), QString("_+5%"));
        QCOMPARE(Result(), kPrompt);
        QVERIFY(Child<QRadioButton>("five")->isChecked());
        QVERIFY(!Child<QRadioButton>("four")->isChecked());
        QCOMPARE(Child<QPushButton>("Command1")->text(), QString("&OK"));
        QCOMPARE(Child<QRadioButton>("four")->text(), QString("4 Color"));
        QCOMPARE(Child<QRadioButton>("five")->text(), QString("5 Color"));

        const QStringList units = {"Ohm", "K Ohm", "M Ohm"};
        const QStringList tolerances = {"_+1%",    "_+2%", "_+0.5%", "_+0.25%", "_+0.1%",
                                        "_+0.05%", "_+5%", "_+10%",  "_+20%"};
        for (auto [name, items] : {std::pair{"Z", units}, std::pair{"T", tolerances}}) {
            QStringList shown;
            for (int i = 0; i < List(name)->count(); ++i) {
                shown << List(name)->itemText(i);
            }
            QCOMPARE(shown, items);
            QVERIFY(List(name)->isEditable());
        }

        const std::pair<const char*, const char*> bands[] = {
            {"a", "Brown"}, {"b", "Red"}, {"CG", "Green"}, {"c", "Blue"}, {"d", "Gold"}};
        for (auto [band, colour] : bands) {
            QVERIFY(Child(band)->isVisible());
            QCOMPARE(PaintedColour(band), Colour(colour));
        }
        const std::pair<const char*, const char*> hidden[] = {
            {"a123", ""}, {"a1", "Text1"}, {"b1", "Text2"}, {"CG1", "Text1"}, {"c1", "Text3"}};
        for (auto [name, text] : hidden) {
            QCOMPARE(Edit(name)->text(), QString(text));
            QVERIFY(!Edit(name)->isVisible());
        }
        auto* timer = Child<QTimer>("Timer2");
        QCOMPARE(timer->interval(), 1);
        QVERIFY(!timer->isActive());
    }

    void windowIsPaintedInItsColours()
    {
        for (const char* name : {"a12", "Z", "T", "abcdt"}) {
            // Beside the text, inside the box's frame.
            QCOMPARE(PaintedColour(name, QPoint(4, 4)), Colour("Green"));
        }
        QCOMPARE(Edit("a12")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(Edit("abcdt")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(Edit("abcdt")->isReadOnly());
        // The window and the option buttons are white; the resistor's outline is
        // drawn in black with its lead at Y 1680.
        const QImage image = Child("client")->grab().toImage();
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(image.pixelColor(Child("four")->geometry().topRight() + QPoint(-3, 3)), QColor(Qt::white));
        QCOMPARE(image.pixelColor(60, 112), QColor(Qt::black));
        QCOMPARE(image.pixelColor(200, 32), QColor(Qt::black));  // frame around the result line
    }

    void tabKeyFollowsTheDesignOrder()
    {
        Encoder()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Encoder()));
        Child("a12")->setFocus();
        const QStringList order = {"a12", "Z", "Command1", "abcdt", "T", "five", "a12"};
        auto focused = [this] {
            for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
                if (!w->objectName().isEmpty()) {
                    return w->objectName();
                }
            }
            return QString();
        };
        QCOMPARE(focused(), order.front());
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            // The option buttons are one group: Tab stops on the selected one.
            QCOMPARE(focused(), order[i]);
        }
    }

    void closingEnablesTheDecoderAndReopeningStartsAfresh()
    {
        Run({"@four", "@all", "4.7"});
        Pick("Z", "K Ohm");
        Pick("T", "_+20%");
        Step("@ok");
        QVERIFY(!Child("d")->isVisible());
        QVERIFY(!decoder->isEnabled());
        CloseEncoder();
        QVERIFY(decoder->isEnabled());

        QVERIFY(Open());
        QVERIFY(!decoder->isEnabled());
        QCOMPARE(Value(), QString("2.2"));
        QCOMPARE(List("Z")->currentText(), QString("Ohm"));
        QCOMPARE(List("T")->currentText(), QString("_+5%"));
        QCOMPARE(List("Z")->count(), 3);
        QCOMPARE(List("T")->count(), 9);
        QVERIFY(Child<QRadioButton>("five")->isChecked());
        QVERIFY(Child("d")->isVisible() && Child("CG")->isVisible());
        QCOMPARE(PaintedColour("a"), Colour("Brown"));
        QCOMPARE(Result(), kPrompt);
        // The start limit again: 2.2 takes no fourth character.
        Run({"@end", "5"});
        QCOMPARE(Value(), QString("2.2"));
    }

    void closingDuringGrowthBringsTheWindowBackGrowing()
    {
        CloseEncoder();
        zarnik::test::Trigger(&*decoder, "Show");
        QVERIFY(WaitUntil([this] { return Encoder() != nullptr && OuterHeight(Encoder()) >= 750; }, 5000));
        QPointer<Form2> first = Encoder();
        first->close();
        QVERIFY(decoder->isEnabled());
        QVERIFY(WaitUntil([&] { return first.isNull(); }, 2000));
        // The opening timer still runs: a new window loads and grows from nothing.
        QVERIFY(WaitUntil([this] { return Encoder() != nullptr; }, 2000));
        QVERIFY(!decoder->isEnabled());
        QVERIFY(WaitUntil([this] { return !OpeningTimer()->isActive(); }, 5000));
        QVERIFY(OuterHeight(Encoder()) >= OuterHeight(decoder.get()));
        QVERIFY(OuterHeight(Encoder()) < OuterHeight(decoder.get()) + 75);
        QCOMPARE(OuterWidth(Encoder()), OuterHeight(Encoder()));
        QCOMPARE(List("Z")->count(), 3);
        QCOMPARE(List("T")->count(), 9);
        QCOMPARE(Value(), QString("2.2"));
    }

    void disabledDecoderTakesNoInput()
    {
        QVERIFY(!decoder->isEnabled());
        const QString idle = decoder->findChild<QLineEdit*>("abcdt")->text();
        QTest::mouseClick(decoder->findChild<QWidget*>("a4"), Qt::LeftButton);
        QTest::mouseClick(decoder->findChild<QWidget*>("four"), Qt::LeftButton);
        QCOMPARE(decoder->findChild<QLineEdit*>("abcdt")->text(), idle);
        QCOMPARE(decoder->findChild<QLineEdit*>("At")->text(), QString("2"));
        QVERIFY(!decoder->findChild<QRadioButton*>("four")->isChecked());

        // Menu bar and shortcuts, even with the decoder window active.
        QMenuBar* menuBar = decoder->menuBar();
        QTest::mouseClick(menuBar, Qt::LeftButton, {}, menuBar->actionGeometry(menuBar->actions().first()).center());
        QVERIFY(!decoder->findChild<QMenu*>("File")->isVisible());
        QApplication::setActiveWindow(decoder.get());
        QList<std::shared_ptr<QSignalSpy>> spies;
        for (const char* name : {"Show", "Help2", "About", "Exit"}) {
            spies.append(std::make_shared<QSignalSpy>(decoder->findChild<QAction*>(name), &QAction::triggered));
        }
        for (Qt::Key key : {Qt::Key_S, Qt::Key_H, Qt::Key_A, Qt::Key_Q}) {
            QTest::keyClick(decoder.get(), key, Qt::ControlModifier);
        }
        QTest::keyClick(decoder.get(), Qt::Key_F, Qt::AltModifier);
        QTest::qWait(20);
        for (const auto& spy : spies) {
            QCOMPARE(spy->count(), 0);
        }
        QVERIFY(!OpeningTimer()->isActive());
        QVERIFY(zarnik::test::OpenWindow<zarnik::Form3>("Form3") == nullptr &&
                zarnik::test::OpenWindow<zarnik::Form4>("Form4") == nullptr);
        QVERIFY(!decoder->findChild<QMenu*>("File")->isVisible());

        // Once the encoder window is closed, the same click and shortcut work.
        CloseEncoder();
        QTest::mouseClick(decoder->findChild<QWidget*>("a4"), Qt::LeftButton);
        QCOMPARE(decoder->findChild<QLineEdit*>("At")->text(), QString("4"));
        QApplication::setActiveWindow(decoder.get());
        QTest::keyClick(decoder.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(spies[0]->count(), 1);
        QVERIFY(WaitUntil([this] { return Encoder() != nullptr && !OpeningTimer()->isActive(); }, 5000));
    }

    void typingLimit_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<bool>("prompt");

        // Five bands.
        QTest::newRow("start limit 3 although 2.2 would allow 4") << QStringList{"@end", "5"} << "2.2" << 0 << true;
        QTest::newRow("2. then allows 2.25") << QStringList{"@end", "@bs", "25"} << "2.25" << 0 << true;
        QTest::newRow("4.7 allows a fourth") << QStringList{"@all", "4.759"} << "4.75" << 0 << true;
        QTest::newRow("47 allows no fourth") << QStringList{"@all", "4759"} << "475" << 0 << true;
        QTest::newRow("0. allows nothing further") << QStringList{"@all", "0.5"} << "0." << 0 << true;
        QTest::newRow("1. keeps 3, 1.5 raises to 4") << QStringList{"@all", "1.55"} << "1.55" << 0 << true;
        QTest::newRow("1.0 is v = 1: limit 3") << QStringList{"@all", "1.05"} << "1.0" << 0 << true;
        QTest::newRow("deleting all: box, 0, one more") << QStringList{"@all", "@bs", "000"} << "00" << 1 << true;
        QTest::newRow("a letter: box, 0") << QStringList{"@all", "x"} << "0" << 1 << true;
        QTest::newRow("letter typed after a number") << QStringList{"@all", "4", "k"} << "0" << 1 << true;
        QTest::newRow("non-zero keeps the previous result") << QStringList{"@ok", "@all", "47"} << "47" << 0 << false;
        QTest::newRow("0 shows the prompt") << QStringList{"@ok", "@all", "0"} << "0" << 0 << true;
        QTest::newRow("00 shows the prompt") << QStringList{"@ok", "@all", "00"} << "00" << 0 << true;
        QTest::newRow("a Persian digit: box, 0") << QStringList{"@all", QString::fromUtf8("۴")} << "0" << 1 << true;
        QTest::newRow("typing in the middle keeps the cursor")
            << QStringList{"@all", "4.", "@home", "12"} << "124." << 0 << true;

        // Four bands.
        QTest::newRow("four: 0.4 allows 0.47") << QStringList{"@four", "@all", "0.47"} << "0.47" << 0 << true;
        QTest::newRow("four: 0.123 stops at 0.12") << QStringList{"@four", "@all", "0.123"} << "0.12" << 0 << true;
        QTest::newRow("four: 0.0 limit 3, prompt") << QStringList{"@four", "@ok", "@all", "0.05"} << "0.0" << 0 << true;
        QTest::newRow("four: 4.7 keeps 3") << QStringList{"@four", "@all", "4.75"} << "4.7" << 0 << true;
        QTest::newRow("four: 1000 stops at 100") << QStringList{"@four", "@all", "1000"} << "100" << 0 << true;
        QTest::newRow("four: deleting all, two more")
            << QStringList{"@four", "@all", "@bs", "000"} << "000" << 1 << true;

        // Switching modes: a longer text stays, shrinks, grows no further.
        QTest::newRow("4.75 stays after switching to four")
            << QStringList{"@all", "4.75", "@four"} << "4.75" << 0 << true;
        QTest::newRow("then shortened, it grows no further")
            << QStringList{"@all", "4.75", "@four", "@bs", "5"} << "4.7" << 0 << true;
        QTest::newRow("five sets 3 even for 0.")
            << QStringList{"@four", "@all", "0.", "@five", "5"} << "0.5" << 0 << true;
        QTest::newRow("five sets 3 even for 4.7")
            << QStringList{"@all", "4.7", "@four", "@five", "5"} << "4.7" << 0 << true;
        QTest::newRow("then the rule applies again")
            << QStringList{"@all", "4.7", "@four", "@five", "@bs", "75"} << "4.75" << 0 << true;

        // Pasting.
        QTest::newRow("long paste is cut to the limit")
            << QStringList{"@all", "@paste 123456789"} << "123" << 0 << true;
        QTest::newRow("paste 9e9") << QStringList{"@all", "@paste 9e9"} << "9e9" << 0 << true;
        QTest::newRow("paste -5") << QStringList{"@all", "@paste -5"} << "-5" << 0 << true;
        QTest::newRow("paste blanks around") << QStringList{"@all", "@paste  5 "} << " 5 " << 0 << true;
    }
    void typingLimit()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, text);
        QFETCH(int, boxes);
        QFETCH(bool, prompt);
        Run(steps);
        QCOMPARE(Value(), text);
        QCOMPARE(watcher->seen.size(), boxes);
        QCOMPARE(Result() == kPrompt, prompt);
    }

    void wrongValueBoxSaysWhatIsWrong()
    {
        Run({"@all", "@bs"});
        QCOMPARE(watcher->seen.size(), 1);
        const BoxWatcher::Seen box = watcher->seen.front();
        QCOMPARE(box.text, QString("Please Write the value of Ohm True!"));
        QCOMPARE(box.title, QString("Wrong!"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, 1);
        QCOMPARE(Value(), QString("0"));
        // The box leaves nothing else changed.
        QCOMPARE(PaintedColour("a"), Colour("Brown"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // Every class of text a user can type or paste ends in a defined state,
    // and OK then encodes it or shows the prompt in both band modes.
    void badInputNeverBreaksTheWindow_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("fourResult");
        QTest::addColumn<QString>("fiveResult");
        const QString no = kPrompt;
        QTest::newRow("empty") << ""
                               << "0" << 1 << no << no;
        QTest::newRow("letters") << "abc"
                                 << "0" << 1 << no << no;
        QTest::newRow("point alone") << "."
                                     << "0" << 1 << no << no;
        QTest::newRow("minus alone") << "-"
                                     << "0" << 1 << no << no;
        QTest::newRow("inf") << "inf"
                             << "0" << 1 << no << no;
        QTest::newRow("nan") << "nan"
                             << "0" << 1 << no << no;
        QTest::newRow("1e") << "1e"
                            << "0" << 1 << no << no;
        QTest::newRow("1e9 beyond the colour code") << "1e9"
                                                    << "1e9" << 0 << no << no;
        QTest::newRow("9e9") << "9e9"
                             << "9e9" << 0 << no << no;
        QTest::newRow("1e3") << "1e3"
                             << "1e3" << 0 << "1   K Ohm    _+5%"
                             << "1    K Ohm    _+5%";
        QTest::newRow("negative") << "-5"
                                  << "-5" << 0 << no << no;
        QTest::newRow("blanks around") << " 5 "
                                       << " 5 " << 0 << "5   Ohm    _+5%"
                                       << "5    Ohm    _+5%";
        QTest::newRow("long paste cut") << "47000"
                                        << "470" << 0 << "470   Ohm    _+5%"
                                        << "470    Ohm    _+5%";
        QTest::newRow("Persian digits") << QString::fromUtf8("۴٫۷") << "0" << 1 << no << no;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٤٧") << "0" << 1 << no << no;
        QTest::newRow("comma in a point locale or point in a comma locale")
            << (Sep() == "." ? "4,7" : "4.7") << (Sep() == "." ? "0" : "4.7") << (Sep() == "." ? 1 : 0)
            << (Sep() == "." ? no : "4.7   Ohm    _+5%") << (Sep() == "." ? no : "4.7    Ohm    _+5%");
    }
    void badInputNeverBreaksTheWindow()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(int, boxes);
        QFETCH(QString, fourResult);
        QFETCH(QString, fiveResult);
        Step("@all");
        Step(input.isEmpty() ? "@bs" : "@paste " + input);
        QCOMPARE(Value(), text);
        QCOMPARE(watcher->seen.size(), boxes);
        Step("@ok");
        QCOMPARE(Result(), Localised(fiveResult));
        Step("@four");
        Step("@ok");
        QCOMPARE(Result(), Localised(fourResult));
        QCOMPARE(watcher->seen.size(), boxes);
    }

    void typingInAListPutsTheStartTextBack_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("item");
        QTest::newRow("Z") << "Z"
                           << "Ohm"
                           << "M Ohm";
        QTest::newRow("T") << "T"
                           << "_+5%"
                           << "_+0.25%";
    }
    void typingInAListPutsTheStartTextBack()
    {
        QFETCH(QString, list);
        QFETCH(QString, start);
        QFETCH(QString, item);
        QComboBox* box = List(list);
        QTest::keyClicks(box->lineEdit(), "x");
        QCOMPARE(box->currentText(), start);
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(box->currentText(), start);

        // A pick runs no change handler: the picked item stays.
        Pick(list, item);
        QCOMPARE(box->currentText(), item);
        QTest::keyClick(box->lineEdit(), Qt::Key_End);
        QTest::keyClicks(box->lineEdit(), "K");
        QCOMPARE(box->currentText(), start);
        // The same item can be picked again.
        Pick(list, item);
        QCOMPARE(box->currentText(), item);

        // Enter after typing adds nothing to the list.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "99");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(box->currentText(), start);
        QCOMPARE(box->count(), list == "Z" ? 3 : 9);
    }

    void changingUnitOrToleranceDoesNotRedrawTheBands()
    {
        Pick("Z", "K Ohm");
        Pick("T", "_+1%");
        QCOMPARE(PaintedColour("d"), Colour("Gold"));
        QCOMPARE(Result(), kPrompt);
    }

    // The user's decimal separator leaves the result lines of both windows
    // and the value box whole and on the rows the same text with a point
    // stands on, as in the C locale, even where the design fonts lack it: the
    // Persian "٫" has its own pass in the Persian locale.
    void separatorKeepsTheTextOnItsRows_data()
    {
        QTest::addColumn<bool>("inDecoder");
        QTest::addColumn<QString>("control");
        QTest::newRow("decoder result") << true << "abcdt";
        QTest::newRow("encoder result") << false << "abcdt";
        QTest::newRow("encoder value") << false << "a12";
    }
    void separatorKeepsTheTextOnItsRows()
    {
        if (Sep() == ".") {
            QSKIP("the point is what other separators are compared with");
        }
        QFETCH(bool, inDecoder);
        QFETCH(QString, control);
        QWidget* window = Encoder();
        if (inDecoder) {
            CloseEncoder();
            window = decoder.get();
            // Yellow, Violet, Silver, Silver: 0.47 Ohm.
            for (const char* swatch : {"four", "a4", "b7", "c12", "d12"}) {
                QTest::mouseClick(zarnik::test::Child(window, swatch), Qt::LeftButton);
            }
        } else {
            Run({"@all", "4" + Sep() + "75", "@ok"});
        }
        auto* edit = zarnik::test::Child<QLineEdit>(window, control);
        const qsizetype after = edit->text().indexOf(Sep()) + 1;
        QVERIFY2(after > 0, qPrintable(edit->text()));
        // The glyphs after the separator: Latin ones, whatever the separator's own shape.
        auto latinRows = [edit, after] {
            edit->grab();  // lays the text out where it is drawn
            edit->setCursorPosition(int(after));
            // The cursor stands in the middle of its rectangle; a pixel on, past any overhang.
            const int x = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() + 1;
            return zarnik::test::DrawnTextRows(edit, x);
        };
        const zarnik::test::TextRows whole = zarnik::test::DrawnTextRows(edit);
        const zarnik::test::TextRows shown = latinRows();
        edit->setText(edit->text().replace(Sep(), "."));
        const zarnik::test::TextRows pointed = latinRows();
        const QString rows = QString("text rows %1..%2 of %3; after the separator %4..%5, after a point %6..%7")
                                 .arg(whole.top)
                                 .arg(whole.bottom)
                                 .arg(edit->height())
                                 .arg(shown.top)
                                 .arg(shown.bottom)
                                 .arg(pointed.top)
                                 .arg(pointed.bottom);
        QVERIFY2(whole.top > 0 && whole.bottom < edit->height() - 1, qPrintable(rows));
        QVERIFY2(qAbs(shown.top - pointed.top) <= 1 && qAbs(shown.bottom - pointed.bottom) <= 1, qPrintable(rows));
    }

    void okEncodesTheWorkedValues_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("tolerance");
        QTest::addColumn<QStringList>("bands");   // a, b, CG, c, d
        QTest::addColumn<QStringList>("hidden");  // a123, a1, b1, CG1, c1
        QTest::addColumn<QString>("result");

        const QString p = kPrompt;
        // Four bands: CG is hidden and CG1 keeps its start text.
        QTest::newRow("four 2.2 Ohm") << QStringList{"@four", "@all", "2.2"} << "Ohm"
                                      << "_+5%" << QStringList{"Red", "Red", "", "Gold", "Gold"}
                                      << QStringList{"2200000", "2", "2", "Text1", "5"} << "2.2   Ohm    _+5%";
        QTest::newRow("four 4.7 K Ohm") << QStringList{"@four", "@all", "4.7"} << "K Ohm"
                                        << "_+1%" << QStringList{"Yellow", "Violet", "", "Red", "Brown"}
                                        << QStringList{"4700000000", "4", "7", "Text1", "8"} << "4.7   K Ohm    _+1%";
        QTest::newRow("four 0.47 Ohm") << QStringList{"@four", "@all", "0.47"} << "Ohm"
                                       << "_+10%" << QStringList{"Yellow", "Violet", "", "Silver", "Silver"}
                                       << QStringList{"470000", "4", "7", "Text1", "4"} << "470   m Ohm    _+10%";
        QTest::newRow("four 10 M Ohm") << QStringList{"@four", "@all", "10"} << "M Ohm"
                                       << "_+2%" << QStringList{"Brown", "Black", "", "Blue", "Red"}
                                       << QStringList{"10000000000000", "1", "0", "Text1", "12"}
                                       << "10   M Ohm    _+2%";
        QTest::newRow("four 475 drops a digit")
            << QStringList{"@four", "@all", "475"} << "Ohm"
            << "_+5%" << QStringList{"Yellow", "Violet", "", "Brown", "Gold"}
            << QStringList{"475000000", "4", "7", "Text1", "7"} << "470   Ohm    _+5%";
        QTest::newRow("four 999 M Ohm") << QStringList{"@four", "@all", "999"} << "M Ohm"
                                        << "_+5%" << QStringList{"White", "White", "", "Violet", "Gold"}
                                        << QStringList{"999000000000000", "9", "9", "Text1", "13"}
                                        << "990   M Ohm    _+5%";
        QTest::newRow("four 0.1 Ohm") << QStringList{"@four", "@all", "0.1"} << "Ohm"
                                      << "_+5%" << QStringList{"Brown", "Black", "", "Silver", "Gold"}
                                      << QStringList{"100000", "1", "0", "Text1", "4"} << "100   m Ohm    _+5%";
        QTest::newRow("four 0.05 Ohm refused") << QStringList{"@four", "@all", "5", "@home", "0.0"} << "Ohm"
                                               << "_+5%" << QStringList{"Green", "Black", "", "Blue", "Gold"}
                                               << QStringList{"50000", "5", "0", "Text1", "3"} << p;
        QTest::newRow("four 0.01 K Ohm") << QStringList{"@four", "@all", "1", "@home", "0.0"} << "K Ohm"
                                         << "_+5%" << QStringList{"Brown", "Black", "", "Black", "Gold"}
                                         << QStringList{"10000000", "1", "0", "Text1", "6"} << "10   Ohm    _+5%";
        QTest::newRow("four 0") << QStringList{"@four", "@all", "0"} << "K Ohm"
                                << "_+2%" << QStringList{"Brown", "Red", "", "Blue", "Red"}
                                << QStringList{"0", "0", "", "Text1", "0"} << p;
        QTest::newRow("four -5 Ohm") << QStringList{"@four", "@all", "5", "@home", "-"} << "Ohm"
                                     << "_+5%" << QStringList{"Brown", "Green", "", "Black", "Gold"}
                                     << QStringList{"-5000000", "-", "5", "Text1", "6"} << p;

        // Five bands.
        QTest::newRow("five 2.2 Ohm") << QStringList{"@all", "2.2"} << "Ohm"
                                      << "_+5%" << QStringList{"Red", "Red", "Black", "Silver", "Gold"}
                                      << QStringList{"2200000", "2", "2", "0", "4"} << "2.2    Ohm    _+5%";
        QTest::newRow("five 1 Ohm") << QStringList{"@all", "1"} << "Ohm"
                                    << "_+0.1%" << QStringList{"Brown", "Black", "Black", "Silver", "Violet"}
                                    << QStringList{"1000000", "1", "0", "0", "4"} << "1    Ohm    _+0.1%";
        QTest::newRow("five 12 Ohm") << QStringList{"@all", "12"} << "Ohm"
                                     << "_+5%" << QStringList{"Brown", "Red", "Black", "Gold", "Gold"}
                                     << QStringList{"12000000", "1", "2", "0", "5"} << "12    Ohm    _+5%";
        QTest::newRow("five 4.75 K Ohm") << QStringList{"@all", "4.75"} << "K Ohm"
                                         << "_+1%" << QStringList{"Yellow", "Violet", "Green", "Brown", "Brown"}
                                         << QStringList{"4750000000", "4", "7", "5", "7"} << "4.75    K Ohm    _+1%";
        QTest::newRow("five 100 M Ohm") << QStringList{"@all", "100"} << "M Ohm"
                                        << "_+2%" << QStringList{"Brown", "Black", "Black", "Blue", "Red"}
                                        << QStringList{"100000000000000", "1", "0", "0", "12"}
                                        << "100    M Ohm    _+2%";
        QTest::newRow("five 999 M Ohm") << QStringList{"@all", "999"} << "M Ohm"
                                        << "_+0.05%" << QStringList{"White", "White", "White", "Blue", "Grey"}
                                        << QStringList{"999000000000000", "9", "9", "9", "12"}
                                        << "999    M Ohm    _+0.05%";
        QTest::newRow("five 0.5 K Ohm refused") << QStringList{"@all", "5", "@home", "0."} << "K Ohm"
                                                << "_+0.5%" << QStringList{"Green", "Black", "Black", "Black", "Green"}
                                                << QStringList{"500000000", "5", "0", "0", "6"} << p;
        QTest::newRow("five 0") << QStringList{"@all", "0"} << "M Ohm"
                                << "_+0.25%" << QStringList{"Brown", "Red", "Green", "Blue", "Blue"}
                                << QStringList{"0", "0", "", "", "0"} << p;
        QTest::newRow("five user's separator")
            << QStringList{"@all", "4" + Sep() + "75"} << "K Ohm"
            << "_+1%" << QStringList{"Yellow", "Violet", "Green", "Brown", "Brown"}
            << QStringList{"4750000000", "4", "7", "5", "7"} << "4.75    K Ohm    _+1%";
    }
    void okEncodesTheWorkedValues()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, unit);
        QFETCH(QString, tolerance);
        QFETCH(QStringList, bands);
        QFETCH(QStringList, hidden);
        QFETCH(QString, result);
        Run(steps);
        if (unit != "Ohm") {
            Pick("Z", unit);
        }
        if (tolerance != "_+5%") {
            Pick("T", tolerance);
        }
        Step("@ok");
        QCOMPARE(watcher->seen.size(), 0);
        QCOMPARE(Result(), Localised(result));
        // The result line tells the part's range and series; the prompt, nothing more.
        const QString note = Child("abcdt")->toolTip();
        QVERIFY2(result == kPrompt ? note.isEmpty() : note.contains(" to "), qPrintable(note));
        QCOMPARE(Child("abcdt")->accessibleDescription(), note);
        const QStringList bandNames = {"a", "b", "CG", "c", "d"};
        for (int i = 0; i < bandNames.size(); ++i) {
            if (bands[i].isEmpty()) {
                QVERIFY(!Child(bandNames[i])->isVisible());
            } else {
                QVERIFY(Child(bandNames[i])->isVisible());
                QCOMPARE(PaintedColour(bandNames[i]), Colour(bands[i]));
            }
        }
        const QStringList boxNames = {"a123", "a1", "b1", "CG1", "c1"};
        for (int i = 0; i < boxNames.size(); ++i) {
            QCOMPARE(Edit(boxNames[i])->text(), hidden[i]);
            QVERIFY(!Edit(boxNames[i])->isVisible());
        }
    }

    // The window keeps its rules, but its note says what the bands dropped.
    void resultNoteTellsADroppedDigit()
    {
        Run({"@four", "@all", "475", "@ok"});
        QVERIFY2(Child("abcdt")->toolTip().endsWith("; the bands carry 470 Ohm, not the typed 475 Ohm"),
                 qPrintable(Child("abcdt")->toolTip()));
        Run({"@five", "@ok"});
        QVERIFY2(!Child("abcdt")->toolTip().contains("typed"), qPrintable(Child("abcdt")->toolTip()));
    }

    void keyboardPressesOk_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    void keyboardPressesOk()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Run({"@all", "12"});
        // Shortcuts reach the active window only.
        QApplication::setActiveWindow(Encoder());
        QTest::keyClick(Edit("a12"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(WaitUntil([this] { return Result() != kPrompt; }, 2000));
        QCOMPARE(Result(), QString("12    Ohm    _+5%"));
        QVERIFY(Child<QPushButton>("Command1")->isDefault());
    }

    void controlsHaveNamesForScreenReaders()
    {
        const std::pair<QWidget*, const char*> names[] = {{Child("a12"), "Value"},
                                                          {List("Z")->lineEdit(), "Unit"},
                                                          {List("T")->lineEdit(), "Tolerance"},
                                                          {Child("Command1"), "OK"},
                                                          {Child("abcdt"), "Result"}};
        for (const auto& [control, name] : names) {
            QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), QString(name));
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(Child("Z"))->text(QAccessible::Description), QString("Unit"));
        Step("@ok");
        QCOMPARE(QAccessible::queryAccessibleInterface(Child("a"))->text(QAccessible::Name), QString("Band 1: Red, 2"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Child("d"))->text(QAccessible::Name),
                 QString::fromUtf8("Tolerance: Gold, ±5%"));
    }

    void noBandHidesTheToleranceBandUntilTheNextEncoding_data()
    {
        QTest::addColumn<bool>("four");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("colour");
        QTest::newRow("four, then _+5%") << true << "_+5%"
                                         << "Gold";
        QTest::newRow("five, then _+1%") << false << "_+1%"
                                         << "Brown";
    }
    void noBandHidesTheToleranceBandUntilTheNextEncoding()
    {
        QFETCH(bool, four);
        QFETCH(QString, next);
        QFETCH(QString, colour);
        if (four) {
            Step("@four");
        }
        Pick("T", "_+2%");
        Step("@ok");
        QCOMPARE(PaintedColour("d"), Colour("Red"));
        Pick("T", "_+20%");
        Step("@ok");
        QVERIFY(!Child("d")->isVisible());
        // The body shows through where the band was; the band keeps its colour.
        QCOMPARE(PaintedColour("d"), QColor(Qt::white));
        QVERIFY(Result().endsWith("    _+20%"));
        Pick("T", next);
        Step("@ok");
        QVERIFY(Child("d")->isVisible());
        QCOMPARE(PaintedColour("d"), Colour(colour));
    }

    void bandModeSwitchMovesBandsAndKeepsColours()
    {
        Run({"@all", "4.75"});
        Pick("Z", "K Ohm");
        Step("@ok");
        QCOMPARE(PaintedColour("CG"), Colour("Green"));
        QCOMPARE(PaintedColour("c"), Colour("Brown"));

        Step("@four");
        QVERIFY(!Child("CG")->isVisible());
        QCOMPARE(zarnik::ui::TwipsLeft(Child("c")), 2520.0);
        for (auto [band, left] : {std::pair{"a", 1800.0}, std::pair{"b", 2160.0}, std::pair{"d", 3480.0}}) {
            QCOMPARE(zarnik::ui::TwipsLeft(Child(band)), left);
        }
        QCOMPARE(Result(), kPrompt);
        QCOMPARE(Value(), QString("4.75"));
        QCOMPARE(List("Z")->currentText(), QString("K Ohm"));
        // The multiplier band, now in the third band's slot, keeps its colour.
        QCOMPARE(PaintedColour("c"), Colour("Brown"));
        QCOMPARE(PaintedColour("a"), Colour("Yellow"));

        Step("@ok");
        QCOMPARE(Result(), Localised("4.7   K Ohm    _+5%"));
        QCOMPARE(Edit("CG1")->text(), QString("5"));  // untouched in four-band mode

        Step("@five");
        QVERIFY(Child("CG")->isVisible());
        QCOMPARE(zarnik::ui::TwipsLeft(Child("CG")), 2520.0);
        QCOMPARE(zarnik::ui::TwipsLeft(Child("c")), 2880.0);
        QCOMPARE(Result(), kPrompt);
        QCOMPARE(PaintedColour("CG"), Colour("Green"));
        QCOMPARE(PaintedColour("c"), Colour("Red"));
    }
};

}  // namespace

QTEST_MAIN(EncoderWindowTest)
#include "EncoderWindowTest.moc"
