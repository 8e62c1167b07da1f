// SPDX-License-Identifier: MIT
// The parts-list window as its users meet it: a list dropped on the decoder
// window or opened from its menu, each part a row with its flags in words
// and colour, heard row by row, sorted, and a resistor's row putting its
// bands in the decoder as clicks on their swatches would.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "model/ColourTable.h"
#include "model/PartCheck.h"
#include "tests/support/WindowTestSupport.h"
#include "ui/decoder/Form1.h"
#include "ui/partslist/Form7.h"

using zarnik::Form7;
using zarnik::test::Child;

namespace {

const char* const kList =
    "Reference;Value;Description\r\n"
    "R1;4k7;RES 5%\r\n"
    "R2;475;RES 5%\r\n"
    "\"C1, C2\";100n;CAP CER 50V 10%\r\n"
    "L1;10uH;\r\n"
    "U1;LM358;Op amp\r\n"
    "R3;DNP;\r\n";

class PartsListWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<zarnik::Form1> decoder;
    QTemporaryDir folder;

    QString Written(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

    // Drops a file on the decoder window, as a file manager does, and grows
    // the window that opens to its size.
    Form7* Drop(const QString& file)
    {
        return zarnik::test::DropFile(decoder.get(), file) ? zarnik::test::GrownWindow<Form7>("Form7") : nullptr;
    }

    // The column under a heading.
    static int Column(QTableWidget* grid, const char* heading)
    {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (grid->horizontalHeaderItem(column)->text() == QLatin1String(heading)) {
                return column;
            }
        }
        qFatal("no column %s", heading);
    }

    static int RowOf(QTableWidget* grid, const QString& designators)
    {
        for (int row = 0; row < grid->rowCount(); ++row) {
            if (grid->item(row, Column(grid, "Designators"))->text() == designators) {
                return row;
            }
        }
        return -1;
    }

    QString Result() const { return Child<QLineEdit>(decoder.get(), "abcdt")->text(); }

    // The result line of a fresh decoder after clicking the swatches of the
    // model's bands for this value.
    static QString ClickedResult(const char* ohms, const char* tolerance)
    {
        const auto bands = zarnik::ResistorBands(*zarnik::ReadDecimal(ohms), zarnik::ReadDecimal(tolerance));
        zarnik::Form1 fresh;
        Child<QRadioButton>(&fresh, bands.size() == 5 ? "five" : "four")->click();
        const zarnik::Band four[] = {zarnik::Band::First, zarnik::Band::Second, zarnik::Band::Multiplier,
                                     zarnik::Band::Tolerance};
        const zarnik::Band five[] = {zarnik::Band::First, zarnik::Band::Second, zarnik::Band::Third,
                                     zarnik::Band::Multiplier, zarnik::Band::Tolerance};
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const zarnik::Band band = bands.size() == 5 ? five[i] : four[i];
            Child<QAbstractButton>(&fresh, QString::fromStdString(zarnik::SwatchName(band, *bands[i])))->click();
        }
        return Child<QLineEdit>(&fresh, "abcdt")->text();
    }

private slots:
    void init()
    {
        decoder = std::make_unique<zarnik::Form1>();
        decoder->show();
        QVERIFY(QTest::qWaitForWindowExposed(decoder.get()));
    }
    void cleanup() { decoder.reset(); }

    void menuOffersTheListWithItsShortcut()
    {
        auto* parts = Child<QAction>(decoder.get(), "Parts");
        QCOMPARE(parts->text(), QStringLiteral("Check a &parts list..."));
        QCOMPARE(parts->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    }

    // Each part's row, its flags in words and in colour, what is heard on
    // it, and the summary heard once the list is read.
    void droppedListShowsEachPartWithItsFlags()
    {
        Form7* window = Drop(Written(QStringLiteral("parts.csv"), kList));
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowTitle(), QStringLiteral("Parts list"));
        auto* grid = Child<QTableWidget>(window, "Grid1");
        QCOMPARE(grid->rowCount(), 5);  // the op amp is no part of ours
        const QString summary = Child<QLabel>(window, "Label1")->text();
        QVERIFY2(summary.startsWith(QStringLiteral("parts.csv: 6 parts: 3 resistors, 2 capacitors, 1 inductor; "
                                                   "1 not standard, 1 do not place; 1 other row")),
                 qPrintable(summary));
        QVERIFY(Child<QWidget>(window, "announcer")->accessibleName().contains(QStringLiteral("6 parts")));

        const int sound = RowOf(grid, QStringLiteral("R1"));
        const int off = RowOf(grid, QStringLiteral("R2"));
        const int absent = RowOf(grid, QStringLiteral("R3"));
        QVERIFY(sound >= 0 && off >= 0 && absent >= 0);
        const int flags = Column(grid, "Flags");
        QCOMPARE(grid->item(sound, flags)->text(), QStringLiteral("ok"));
        QVERIFY(grid->item(off, flags)->text().startsWith(QStringLiteral("not a standard value")));
        QVERIFY(grid->item(absent, flags)->text().startsWith(QStringLiteral("do not place")));
        QVERIFY(grid->item(off, flags)->background() != grid->item(sound, flags)->background());
        QVERIFY(grid->item(absent, flags)->background() != grid->item(off, flags)->background());
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QString heard = grid->item(off, column)->data(Qt::AccessibleTextRole).toString();
            QVERIFY2(heard.startsWith(QStringLiteral("R2, 475 Ohm plus or minus 5 percent, not a standard value")),
                     qPrintable(heard));
        }
        QCOMPARE(grid->item(RowOf(grid, QStringLiteral("C1 C2")), Column(grid, "Reads as"))->text(),
                 QStringLiteral("100 nF \u00B110% 50 V"));
    }

    // A resistor's row puts its bands in the decoder, by keyboard and after
    // any sorting.
    void choosingAResistorRowShowsItsBands()
    {
        Form7* window = Drop(Written(QStringLiteral("parts.csv"), kList));
        auto* grid = Child<QTableWidget>(window, "Grid1");
        QCOMPARE(grid->currentRow(), RowOf(grid, QStringLiteral("R1")));
        QCOMPARE(Result(), ClickedResult("4700", "5"));

        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->item(grid->currentRow(), Column(grid, "Designators"))->text(), QStringLiteral("R2"));
        QVERIFY(Child<QRadioButton>(decoder.get(), "five")->isChecked());
        QCOMPARE(Result(), ClickedResult("475", "5"));

        const int designators = Column(grid, "Designators");
        grid->sortByColumn(designators, Qt::DescendingOrder);
        QCOMPARE(grid->item(0, designators)->text(), QStringLiteral("R3"));
        grid->setCurrentCell(RowOf(grid, QStringLiteral("R1")), 2);
        QCOMPARE(Result(), ClickedResult("4700", "5"));
    }

    // A text that is no parts list says why, and shows no rows.
    void droppedTextThatIsNoListSaysWhy()
    {
        Form7* window = Drop(Written(QStringLiteral("notes.txt"), "just a line\nand another\n"));
        QVERIFY(window != nullptr);
        QCOMPARE(Child<QTableWidget>(window, "Grid1")->rowCount(), 0);
        QVERIFY(Child<QLabel>(window, "Label1")->text().contains(QStringLiteral("one column")));
        QVERIFY(Child<QWidget>(window, "announcer")->accessibleName().contains(QStringLiteral("one column")));
    }
};

}  // namespace

QTEST_MAIN(PartsListWindowTest)
#include "PartsListWindowTest.moc"
