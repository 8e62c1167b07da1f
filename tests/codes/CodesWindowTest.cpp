// SPDX-License-Identifier: MIT
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "tests/support/WindowTestSupport.h"
#include "ui/codes/Form5.h"
#include "ui/common/Twips.h"
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
        Form5* codes = zarnik::test::OpenWindow<Form5>("Form5");
        for (int i = 0; i < 500 && codes != nullptr && Child<QTimer>(codes, "Timer1")->isActive(); ++i) {
            zarnik::test::Tick(codes, "Timer1");
        }
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

    void readsTheCodeAsItIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("readings");
        QTest::newRow("nothing") << ""
                                 << "Please Write the code";
        QTest::newRow("two systems") << "47R"
                                     << "3.01 Ohm (EIA-96)\n47 Ohm (RKM)";
        QTest::newRow("tolerance letter") << "4k7j" << QString::fromUtf8("4.7 K Ohm ±5% (RKM)");
        QTest::newRow("no system") << "4X7"
                                   << "No system reads this code";
    }
    void readsTheCodeAsItIsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, readings);
        Form5* codes = Open();
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QCOMPARE(Child<QLabel>(codes, "markt")->text(), readings);
        // A screen reader hears the readings while the focus is in the box.
        QCOMPARE(Child(codes, "mark")->accessibleDescription(), readings.replace('\n', "; "));
    }

    void writesTheCodesOfTheValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("codes");
        QTest::newRow("10 K") << "10" << 1 << "103 (3-digit)\n1002 (4-digit)\n01C (EIA-96)\n10K (RKM)";
        QTest::newRow("E96 only") << "49.9" << 0 << "no 3-digit code\n49R9 (4-digit)\n68X (EIA-96)\n49R9 (RKM)";
        QTest::newRow("negative") << "-47" << 2 << "Please Write the value of Ohm";
    }
    void writesTheCodesOfTheValue()
    {
        QFETCH(QString, typed);
        QFETCH(int, unit);
        QFETCH(QString, codes);
        Form5* window = Open();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        Child<QComboBox>(window, "unit")->setCurrentIndex(unit);
        QCOMPARE(QApplication::focusWidget(), Child(window, "unit"));
        QCOMPARE(Child<QLabel>(window, "codest")->text(), codes);
        QCOMPARE(Child(window, "value")->accessibleDescription(), codes.replace('\n', "; "));
    }
};

}  // namespace

QTEST_MAIN(CodesWindowTest)
#include "CodesWindowTest.moc"
