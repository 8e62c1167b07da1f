// SPDX-License-Identifier: MIT
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QTimer>

#include "tests/support/WindowTestSupport.h"
#include "ui/codes/Form5.h"
#include "ui/common/Accessibility.h"
#include "ui/common/Placement.h"
#include "ui/decoder/Form1.h"

using zarnik::Form5;
using zarnik::test::Child;

namespace {

class CodesWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<zarnik::Form1> decoder;

    // Opens the codes window from the menu, grows it to its size and waits
    // until it takes the keys; nullptr where it does not.
    Form5* Open()
    {
        zarnik::test::Trigger(decoder.get(), "Codes");
        Form5* codes = zarnik::test::GrownWindow<Form5>("Form5");
        return codes != nullptr && QTest::qWaitForWindowActive(codes) ? codes : nullptr;
    }

private slots:
    void init()
    {
        decoder = std::make_unique<zarnik::Form1>();
        decoder->show();
        QVERIFY(QTest::qWaitForWindowExposed(decoder.get()));
    }
    void cleanup() { decoder.reset(); }

    void opensOnceOnTheDecoderCornerAndAfreshAfterClosing()
    {
        Form5* codes = Open();
        QVERIFY(codes != nullptr && Open() == codes);
        QCOMPARE(zarnik::ui::OuterLeft(codes), zarnik::ui::OuterLeft(decoder.get()));
        QCOMPARE(zarnik::ui::OuterTop(codes), zarnik::ui::OuterTop(decoder.get()));
        QVERIFY(zarnik::ui::OuterHeight(codes) >= zarnik::ui::OuterHeight(decoder.get()));
        Child<QLineEdit>(codes, "mark")->setText("472");
        codes->close();
        QCOMPARE(Child<QLineEdit>(Open(), "mark")->text(), QString());
    }

    // Both boxes answer as the user types, for the part chosen: the code box
    // with the readings, the value box with the codes; a screen reader finds
    // the answer as the description of the box it types in, and is told it
    // once typing pauses, not key by key.
    void answersAsTheUserTypes_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("tabs");  // from the code box, where the window starts
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("answer");
        QTest::newRow("no code") << 0 << 0 << "" << 0 << "Please Write the code";
        QTest::newRow("two systems") << 0 << 0 << "47R" << 0 << "3.01 Ohm (EIA-96)\n47 Ohm (RKM)";
        QTest::newRow("tolerance letter") << 0 << 0 << "4k7j" << 0 << QString::fromUtf8("4.7 K Ohm ±5% (RKM)");
        QTest::newRow("no system") << 0 << 0 << "4X7" << 0 << "No system reads this code";
        QTest::newRow("10 K") << 0 << 1 << "10" << 1 << "103 (3-digit)\n1002 (4-digit)\n01C (EIA-96)\n10K (RKM)";
        QTest::newRow("E96 only") << 0 << 1 << "49.9" << 0
                                  << "no 3-digit code\n49R9 (4-digit)\n68X (EIA-96)\n49R9 (RKM)";
        QTest::newRow("negative") << 0 << 1 << "-47" << 2 << "Please Write the value of Ohm";
        QTest::newRow("capacitor, voltage code")
            << 1 << 0 << "2A474J" << 0 << QString::fromUtf8("470 nF ±5%, 100 V (3-digit pF)");
        QTest::newRow("capacitor, F below 10 pF")
            << 1 << 0 << "4r7f" << 0 << QString::fromUtf8("4.7 pF ±1 pF (R pF)\n4.7 pF ±1% (R pF)");
        QTest::newRow("dielectric") << 1 << 0 << "X7R" << 0
                                    << QString::fromUtf8("dielectric class 2: -55 to 125 °C, ±15% (EIA-198)");
        QTest::newRow("inductor, 3 digits")
            << 2 << 0 << "470" << 0 << QString::fromUtf8("47 µH (3-digit µH; RF chip inductors: 47 nH)");
        QTest::newRow("4.7 nF") << 1 << 1 << "4.7" << 1
                                << "472 (3-digit pF)\nno pF digits code\nno R pF code\n4n7 (IEC 60062)";
        QTest::newRow("4.7 uH") << 2 << 1 << "4.7" << 1
                                << QString::fromUtf8(
                                       "4R7 (R µH)\nno N nH code\nno 3-digit µH code\nYellow Violet Gold (bands)");
    }
    void answersAsTheUserTypes()
    {
        QFETCH(int, part);
        QFETCH(int, tabs);
        QFETCH(QString, typed);
        QFETCH(int, unit);
        QFETCH(QString, answer);
        // In the user's locale: typed and written with its decimal separator.
        const QString separator = QLocale::system().decimalPoint();
        typed.replace('.', separator);
        answer.replace('.', separator);
        Form5* codes = Open();
        Child<QComboBox>(codes, "part")->setCurrentIndex(part);
        delete codes->findChild<QWidget*>("announcer");
        for (int i = 0; i < tabs; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QWidget* box = QApplication::focusWidget();
        QCOMPARE(box->objectName(), QString(tabs == 0 ? "mark" : "value"));
        QTest::keyClicks(box, typed);
        Child<QComboBox>(codes, "unit")->setCurrentIndex(unit);
        QCOMPARE(Child<QLabel>(codes, tabs == 0 ? "markt" : "codest")->text(), answer);
        QCOMPARE(box->accessibleDescription(), QString(answer).replace('\n', "; "));
        QVERIFY(codes->findChild<QWidget*>("announcer") == nullptr);
        zarnik::test::Tick(codes, "Timer2");
        const QWidget* announcer = codes->findChild<QWidget*>("announcer");
        QCOMPARE(announcer ? announcer->accessibleName() : QString(),
                 typed.isEmpty() ? QString() : zarnik::ui::Spoken(answer.replace('\n', "; ")).text.simplified());
    }
};

}  // namespace

QTEST_MAIN(CodesWindowTest)
#include "CodesWindowTest.moc"
