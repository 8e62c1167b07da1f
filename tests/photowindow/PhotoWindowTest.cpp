// SPDX-License-Identifier: MIT
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "model/ColourTable.h"
#include "photo/module/PhotoModule.h"
#include "tests/support/WindowTestSupport.h"
#include "ui/common/Placement.h"
#include "ui/decoder/Form1.h"
#include "ui/photo/Form6.h"

using zarnik::Form6;
using zarnik::test::Child;

namespace {

class PhotoWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<zarnik::Form1> decoder;
    QTemporaryDir folder;

    // Drops a file on the decoder window, as a file manager does, and grows
    // the photo window that opens to its size.
    Form6* Drop(const QString& file)
    {
        return zarnik::test::DropFile(decoder.get(), file) ? zarnik::test::GrownWindow<Form6>("Form6") : nullptr;
    }

    QString Result() const { return Child<QLineEdit>(decoder.get(), "abcdt")->text(); }
    // What the photo window, which has the focus, tells a screen reader.
    static QString Heard(Form6* window) { return Child<QWidget>(window, "announcer")->accessibleName(); }

    // The result line after clicking these swatches in a fresh decoder.
    static QString ClickedResult(const char* mode, const QStringList& swatches)
    {
        zarnik::Form1 fresh;
        Child<QRadioButton>(&fresh, mode)->click();
        for (const QString& swatch : swatches) {
            Child<QAbstractButton>(&fresh, swatch)->click();
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

    // A photo read takes its bands into the decoder as clicks would, opens
    // the photo window on the decoder's corner and is heard; an alternative
    // pressed puts its own bands there.
    void droppedPhotoIsReadIntoTheDecoder()
    {
        const QString photo = QStringLiteral(ZARNIK_SHARED_PHOTOS "/lightbox/images/0003.jpg");
        if (!QFile::exists(photo)) {
            QSKIP("no shared photos beside the repository");
        }
        Form6* window = Drop(photo);
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowTitle(), QStringLiteral("Photo"));
        QCOMPARE(zarnik::ui::OuterLeft(window), zarnik::ui::OuterLeft(decoder.get()));
        QCOMPARE(zarnik::ui::OuterTop(window), zarnik::ui::OuterTop(decoder.get()));
        QVERIFY(!Child<QLabel>(window, "Picture1")->pixmap().isNull());

        // The light-box parts have four bands: the decoder shows four, and the
        // result of the same four swatches clicked.
        QVERIFY(Child<QRadioButton>(decoder.get(), "four")->isChecked());
        for (const char* field : {"At", "Bt", "ct", "Dt"}) {
            QVERIFY(!Child<QLineEdit>(decoder.get(), field)->text().isEmpty());
        }
        const QString label = Child<QLabel>(window, "Label1")->text();
        QVERIFY2(label.startsWith(Result() + QStringLiteral("\nread from 0003.jpg: confidence ")), qPrintable(label));
        const QString confidence = label.section(QStringLiteral("confidence "), 1);
        QCOMPARE(Heard(window), QStringLiteral("Read from the photo: ") +
                                    Result()
                                        .simplified()
                                        .replace(QStringLiteral("_+"), QStringLiteral("plus or minus "))
                                        .replace(QStringLiteral("%"), QStringLiteral(" percent")) +
                                    QStringLiteral(", confidence ") + confidence.chopped(1) +
                                    QStringLiteral(" percent"));

        auto* other = Child<QPushButton>(window, "Command1");
        if (other->isHidden()) {
            return;  // the reader was sure of one reading only
        }
        const QString before = Result();
        other->click();
        QVERIFY(Result() != before || other->toolTip().isEmpty());
        QVERIFY2(
            other->text().startsWith(Result().simplified().replace(QStringLiteral("_+"), QStringLiteral("\u00B1"))),
            qPrintable(other->text() + " / " + Result()));
    }

    // The bands taken are the reader's best reading, checked on their
    // swatches as clicks check them, whatever the decoder showed before.
    void bandsTakenAreTheClickedSwatches()
    {
        const QString photo = QStringLiteral(ZARNIK_SHARED_PHOTOS "/lightbox/images/0003.jpg");
        if (!QFile::exists(photo)) {
            QSKIP("no shared photos beside the repository");
        }
        const auto reading = zarnik_photo_module()->readFile(photo.toStdString());
        QVERIFY(!reading.candidates.empty());
        const std::vector<std::string>& bands = reading.candidates.front().bands;
        QCOMPARE(bands.size(), std::size_t(4));
        QStringList expected;
        const zarnik::Band places[] = {zarnik::Band::First, zarnik::Band::Second, zarnik::Band::Multiplier,
                                       zarnik::Band::Tolerance};
        for (std::size_t i = 0; i < bands.size(); ++i) {
            expected.append(QString::fromStdString(zarnik::SwatchName(places[i], *zarnik::ColourByName(bands[i]))));
        }
        // Five bands of other colours first.
        Child<QRadioButton>(decoder.get(), "five")->click();
        for (const char* swatch : {"a6", "b6", "CG6", "c6", "d1"}) {
            Child<QAbstractButton>(decoder.get(), swatch)->click();
        }
        QVERIFY(Drop(photo) != nullptr);
        QStringList checked;
        for (const QString label : {"a", "b", "c", "d"}) {
            const QRegularExpression column(QStringLiteral("^") + label + QStringLiteral("\\d+$"));
            for (const QAbstractButton* swatch : decoder->findChildren<QAbstractButton*>(column)) {
                if (swatch->isChecked()) {
                    checked.append(swatch->objectName());
                }
            }
        }
        QCOMPARE(checked, expected);
        QCOMPARE(Result(), ClickedResult("four", expected));
    }

    // What is no photo of a resistor is said in the photo window and heard;
    // the decoder keeps its bands.
    void whatIsNoResistorIsSaid_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QByteArray grey = "P6\n320 240\n255\n";
        grey.append(QByteArray(320 * 240 * 3, '\x80'));
        QTest::newRow("grey picture") << grey << "grey.ppm"
                                      << "No resistor found in grey.ppm";
        QTest::newRow("text named .jpg") << QByteArray("4.7 K Ohm\n") << "notes.jpg"
                                         << "notes.jpg ";
        QTest::newRow("empty file") << QByteArray() << "empty.png"
                                    << "empty.png ";
    }
    void whatIsNoResistorIsSaid()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, said);
        const QString path = folder.filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const QString before = Result();
        Form6* window = Drop(path);
        QVERIFY(window != nullptr);
        const QString label = Child<QLabel>(window, "Label1")->text();
        QVERIFY2(label.startsWith(said) && label.size() > said.size() - 1, qPrintable(label));
        QCOMPARE(Result(), before);
        QVERIFY(Child<QPushButton>(window, "Command1")->isHidden());
        QVERIFY(!Heard(window).isEmpty());
    }
};

}  // namespace

QTEST_MAIN(PhotoWindowTest)
#include "PhotoWindowTest.moc"
