// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "tests/support/WindowTestSupport.h"
#include "ui/common/Controls.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/decoder/Form1.h"

using zarnik::Form1;
using zarnik::ui::TwipsGeometry;

namespace {

// The swatch grid of the decoder window: row top, and the swatch names of the
// a, b, CG, c and d columns ("" where the cell is empty).
struct GridRow {
    int top;
    std::uint32_t rgb;
    const char* names[5];
};
constexpr GridRow kGrid[] = {
    {1680, 0x000000, {"", "b0", "CG0", "c0", ""}},     {1920, 0x804000, {"a1", "b1", "CG1", "c1", "d1"}},
    {2160, 0xFF0000, {"a2", "b2", "CG2", "c2", "d2"}}, {2400, 0xFF8000, {"a3", "b3", "CG3", "c3", ""}},
    {2640, 0xFFFF00, {"a4", "b4", "CG4", "c4", ""}},   {2880, 0x00FF00, {"a5", "b5", "CG5", "c5", "d5"}},
    {3120, 0x0000FF, {"a6", "b6", "CG6", "c6", "d6"}}, {3360, 0x800080, {"a7", "b7", "CG7", "", "d7"}},
    {3600, 0xE0E0E0, {"a8", "b8", "CG8", "", "d8"}},   {3840, 0xFFFFFF, {"a9", "b9", "CG9", "", ""}},
    {4080, 0xC0C000, {"", "", "", "c11", "d11"}},      {4320, 0xC0C0C0, {"", "", "", "c12", "d12"}},
    {4560, 0xFFFFFF, {"", "", "", "", "d13"}},
};
constexpr int kColumnLeft[] = {1800, 2160, 2520, 2880, 3480};
constexpr const char* kBandNames[] = {"a", "b", "CG", "c", "d"};
constexpr const char* kFieldNames[] = {"At", "Bt", "CGt", "ct", "Dt"};

QString Sep() { return QLocale::system().decimalPoint(); }

// The text a swatch writes into its band's field.
QString ExpectedFieldText(const QString& swatch)
{
    static const QHash<QString, QString> multipliers = {
        {"c0", "1"},
        {"c1", "10"},
        {"c2", "100"},
        {"c3", "1000"},
        {"c4", "10000"},
        {"c5", "100000"},
        {"c6", "1000000"},
        {"c11", "0" + Sep() + "1"},
        {"c12", "0" + Sep() + "01"},
    };
    static const QHash<QString, QString> tolerances = {
        {"d1", "_+1%"},    {"d2", "_+2%"},  {"d5", "_+0.5%"}, {"d6", "_+0.25%"}, {"d7", "_+0.1%"},
        {"d8", "_+0.05%"}, {"d11", "_+5%"}, {"d12", "_+10%"}, {"d13", "_+20%"},
    };
    if (swatch.startsWith('c') && !swatch.startsWith("CG")) {
        return multipliers.value(swatch);
    }
    if (swatch.startsWith('d')) {
        return tolerances.value(swatch);
    }
    return swatch.right(1);  // the digit
}

class DecoderWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;

    template <class T = QWidget>
    T* Child(const QString& name) const
    {
        return zarnik::test::Child<T>(form.get(), name);
    }
    QString Result() const { return Child<QLineEdit>("abcdt")->text(); }
    void Click(const QString& name) { QTest::mouseClick(Child(name), Qt::LeftButton); }

    // The colour painted in the middle of a control, read from the rendered window.
    QColor PaintedColour(const QString& name) const
    {
        const QWidget* control = Child(name);
        const QImage image = form->centralWidget()->grab().toImage();
        return image.pixelColor(control->geometry().center());
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void startsInFiveBandModeWithIdleText()
    {
        QCOMPARE(form->objectName(), QString("Form1"));
        QCOMPARE(form->windowTitle(), QString("ZRK_1"));
        QCOMPARE(Result(), QString("Please Select Color"));
        QVERIFY(Child<QRadioButton>("five")->isChecked());
        QVERIFY(!Child<QRadioButton>("four")->isChecked());
        const QStringList texts = {"2", "2", "2", "100", "_+5%"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(Child<QLineEdit>(kFieldNames[i])->text(), texts[i]);
            QVERIFY(!Child(kFieldNames[i])->isVisible());
            QVERIFY(Child(kBandNames[i])->isVisible());
        }
        const QColor red(0xFF, 0, 0);
        for (const char* band : {"a", "b", "CG", "c"}) {
            QCOMPARE(PaintedColour(band), red);
        }
        QCOMPARE(PaintedColour("d"), QColor(0xC0, 0xC0, 0));
        for (const char* timer : {"Timer1", "Timer2"}) {
            QVERIFY(!Child<QTimer>(timer)->isActive());
            QCOMPARE(Child<QTimer>(timer)->interval(), 1);
        }
    }

    void windowHasFixedBorderAndOuterSize()
    {
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(zarnik::ui::OuterWidth(form.get()), 5700.0);
        QCOMPARE(zarnik::ui::OuterHeight(form.get()), 5700.0);
        // The client area stands at the design position (offscreen there is no frame).
        QCOMPARE(form->geometry().topLeft(), QPoint(3180 / 15, 2295 / 15));
    }

    void controlsStandAtTheirTwips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRectF>("twips");
        QTest::newRow("abcdt") << "abcdt" << QRectF(1560, 240, 2415, 285);
        for (int i = 0; i < 5; ++i) {
            QTest::newRow(kBandNames[i]) << kBandNames[i] << QRectF(kColumnLeft[i], 975, 255, 570);
        }
        QTest::newRow("four") << "four" << QRectF(120, 2800, 1575, 255);
        QTest::newRow("five") << "five" << QRectF(120, 3480, 1575, 255);
        QTest::newRow("six") << "six" << QRectF(120, 4160, 1575, 255);
        const int fieldLeft[] = {120, 480, 840, 1200, 1560};
        for (int i = 0; i < 5; ++i) {
            QTest::newRow(kFieldNames[i]) << kFieldNames[i] << QRectF(fieldLeft[i], 4440, i == 4 ? 615 : 255, 285);
        }
        for (const GridRow& row : kGrid) {
            for (int column = 0; column < 5; ++column) {
                const QString name = row.names[column];
                if (!name.isEmpty()) {
                    QTest::newRow(qPrintable(name))
                        << name << QRectF(kColumnLeft[column], row.top, 255, name == "b8" ? 240 : 255);
                }
            }
        }
    }
    void controlsStandAtTheirTwips()
    {
        QFETCH(QString, name);
        QFETCH(QRectF, twips);
        const zarnik::ui::TwipsRect r = TwipsGeometry(Child(name));
        QCOMPARE(QRectF(r.left, r.top, r.width, r.height), twips);
        QCOMPARE(Child(name)->geometry(), QRect(qRound(twips.left() / 15), qRound(twips.top() / 15),
                                                qRound(twips.width() / 15), qRound(twips.height() / 15)));
    }

    void palettesHoldExactlyTheGridSwatches()
    {
        int swatches = 0;
        for (const GridRow& row : kGrid) {
            for (const char* name : row.names) {
                if (*name != '\0') {
                    ++swatches;
                    auto* swatch = Child<zarnik::ui::Swatch>(name);
                    const bool bordered = QString(name).endsWith('9') || QString(name) == "d13";
                    QCOMPARE(swatch->Bordered(), bordered);
                    QCOMPARE(swatch->palette().color(QPalette::Window).rgb() & 0xFFFFFF, row.rgb);
                }
            }
        }
        QCOMPARE(swatches, 47);
        // Empty cells of the grid hold no swatch: no Black first digit, no
        // Violet, Grey or White multiplier, no Black, Orange, Yellow or White tolerance.
        for (const char* absent : {"a0", "c7", "c8", "c9", "d0", "d3", "d4", "d9", "a11", "b11", "CG12"}) {
            QVERIFY2(form->findChild<QWidget*>(absent) == nullptr, absent);
        }
    }

    void menuHasItsItemsAndShortcuts()
    {
        struct Item {
            const char* name;
            const char* text;
            const char* shortcut;
        };
        const Item items[] = {{"Show", "S&how ZRK_2", "Ctrl+S"},
                              {"Codes", "S&MD codes", "Ctrl+M"},
                              {"Photo", "Read a &photo...", "Ctrl+O"},
                              {"Parts", "Check a &parts list...", "Ctrl+L"},
                              {"Exit", "E&Xit", "Ctrl+Q"},
                              {"Help2", "&Help", "Ctrl+H"},
                              {"About", "&About", "Ctrl+A"}};
        for (const Item& item : items) {
            auto* action = Child<QAction>(item.name);
            QCOMPARE(action->text(), QString(item.text));
            QCOMPARE(action->shortcut(), QKeySequence(item.shortcut));
        }
        QVERIFY(Child<QAction>("t1")->isSeparator());
        QCOMPARE(Child<QMenu>("File")->title(), QString("&File"));
        QCOMPARE(Child<QMenu>("Help")->title(), QString("&Help"));
        const QList<QAction*> fileItems = Child<QMenu>("File")->actions();
        QCOMPARE(fileItems.size(), 6);
        QCOMPARE(fileItems[4]->objectName(), QString("t1"));
    }

    void clickingASwatchPaintsItsBandAndDecodes_data()
    {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("colour");
        for (const GridRow& row : kGrid) {
            for (int column = 0; column < 5; ++column) {
                const QString name = row.names[column];
                if (!name.isEmpty() && name != "d13") {
                    QTest::newRow(qPrintable(name)) << name << column << QColor::fromRgb(row.rgb);
                }
            }
        }
    }
    void clickingASwatchPaintsItsBandAndDecodes()
    {
        QFETCH(QString, swatch);
        QFETCH(int, column);
        QFETCH(QColor, colour);
        Click(swatch);
        QCOMPARE(PaintedColour(kBandNames[column]), colour);
        QCOMPARE(Child<QLineEdit>(kFieldNames[column])->text(), ExpectedFieldText(swatch));
        QVERIFY2(Result().endsWith("    " + Child<QLineEdit>("Dt")->text()), qPrintable(Result()));
        QVERIFY2(Result().contains("    K Ohm") || Result().contains("    M Ohm") || Result().contains("    Ohm"),
                 qPrintable(Result()));
        QCOMPARE(Child(swatch)->toolTip(), Child(kBandNames[column])->toolTip());
    }

    void resultLineTellsTheRangeAndTheSeries()
    {
        for (const char* name : {"four", "a4", "b7", "c2", "d11"}) {
            Click(name);
        }
        const QString note =
            "4" + Sep() + "465 K Ohm to 4" + Sep() + "935 K Ohm; standard value in E3, E6, E12, E24, E192";
        QCOMPARE(Child("abcdt")->toolTip(), note);
        QCOMPARE(Child("abcdt")->accessibleDescription(), note);
        Click("b8");
        QVERIFY2(Child("abcdt")->toolTip().contains("not a standard value; nearest E24: 4" + Sep() + "7 K Ohm and 5" +
                                                    Sep() + "1 K Ohm"),
                 qPrintable(Child("abcdt")->toolTip()));
        // The idle text tells nothing more.
        Click("five");
        QCOMPARE(Child("abcdt")->toolTip(), QString());
    }

    void decodedResults_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("result");
        QTest::newRow("first click a4") << QStringList{"a4"} << "42" + Sep() + "2    K Ohm    _+5%";
        QTest::newRow("initial texts") << QStringList{"d11"} << "22" + Sep() + "2    K Ohm    _+5%";
        QTest::newRow("one ohm") << QStringList{"a1", "b0", "CG0", "c12", "d2"} << "1    Ohm    _+2%";
        QTest::newRow("999 M") << QStringList{"a9", "b9", "CG9", "c6", "d7"} << "999    M Ohm    _+0.1%";
        QTest::newRow("four bands 10 ohm") << QStringList{"four", "a1", "b0", "c0", "d11"} << "10   Ohm    _+5%";
        QTest::newRow("four bands 0.47") << QStringList{"four", "a4", "b7", "c12", "d12"}
                                         << "0" + Sep() + "47   Ohm    _+10%";
        QTest::newRow("four bands 10 M no band")
            << QStringList{"four", "a1", "b0", "c6", "d13"} << "10   M Ohm    _+20%";
        QTest::newRow("same swatch twice") << QStringList{"a4", "a4"} << "42" + Sep() + "2    K Ohm    _+5%";
    }
    void decodedResults()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, result);
        for (const QString& name : clicks) {
            Click(name);
        }
        QCOMPARE(Result(), result);
    }

    void noBandHidesToleranceAndAColourShowsItAgain()
    {
        Click("d13");
        QVERIFY(!Child("d")->isVisible());
        QCOMPARE(Child<QLineEdit>("Dt")->text(), QString("_+20%"));
        QVERIFY(Result().endsWith("    _+20%"));
        // The hidden band is not painted: the body shows white there.
        QCOMPARE(PaintedColour("d"), QColor(Qt::white));
        Click("d5");
        QVERIFY(Child("d")->isVisible());
        QCOMPARE(PaintedColour("d"), QColor(0, 0xFF, 0));
        QCOMPARE(Result(), "22" + Sep() + "2    K Ohm    _+0.5%");
    }

    void bandModeSwitchMovesColumnsAndKeepsTheThirdDigit()
    {
        Click("CG5");
        QCOMPARE(PaintedColour("CG"), QColor(0, 0xFF, 0));
        Click("four");
        QCOMPARE(Result(), QString("Please Select Color"));
        QVERIFY(!Child("CG")->isVisible());
        for (const char* name : {"CG0", "CG5", "CG9"}) {
            QVERIFY(!Child(name)->isVisible());
        }
        for (const char* name : {"c", "c0", "c6", "c11", "c12"}) {
            QCOMPARE(zarnik::ui::TwipsLeft(Child(name)), 2520.0);
        }
        for (const char* name : {"d", "d1", "d13"}) {
            QCOMPARE(zarnik::ui::TwipsLeft(Child(name)), 3480.0);
        }
        // The multiplier band now stands where the third digit stood.
        QCOMPARE(PaintedColour("c"), QColor(0xFF, 0, 0));
        Click("b7");
        QCOMPARE(Result(), "2" + Sep() + "7   K Ohm    _+5%");

        Click("five");
        QCOMPARE(Result(), QString("Please Select Color"));
        QVERIFY(Child("CG")->isVisible() && Child("CG5")->isVisible());
        QCOMPARE(zarnik::ui::TwipsLeft(Child("c")), 2880.0);
        QCOMPARE(zarnik::ui::TwipsLeft(Child("c12")), 2880.0);
        QCOMPARE(PaintedColour("CG"), QColor(0, 0xFF, 0));
        Click("b7");
        QCOMPARE(Result(), "27" + Sep() + "5    K Ohm    _+5%");
    }

    // Six bands stand in order on the body, each palette under its band, and
    // decode five bands with the coefficient beside the result; back in five
    // bands the window is as it started, pixel for pixel.
    void sixBandsFitTheBodyShowTheCoefficientAndLeaveNoTrace()
    {
        const QImage before = form->grab().toImage();
        for (const char* name : {"six", "a1", "b0", "CG0", "c2", "d7", "e4"}) {
            Click(name);
        }
        QCOMPARE(Result(), QString("10    K Ohm    _+0.1%"));
        QCOMPARE(Child<QLineEdit>("ppm")->text(), QString("25 ppm/K"));
        QVERIFY(Child("ppm")->isVisible() && Child("abcdt")->toolTip().endsWith("25 ppm/K"));
        QCOMPARE(PaintedColour("e"), Child<zarnik::ui::Swatch>("e4")->Colour());
        const auto lines = static_cast<zarnik::ui::ClientArea*>(form->centralWidget())->Lines();
        const auto body = *std::ranges::find_if(lines, [](const auto& l) { return QByteArray(l.name) == "Line7"; });
        int right = zarnik::ui::ToPixels(body.x1) - 1;
        for (const char* band : {"a", "b", "CG", "c", "d", "e"}) {
            QVERIFY2(Child(band)->isVisible() && Child(band)->x() > right, band);
            right = Child(band)->geometry().right();
        }
        QVERIFY(right <= zarnik::ui::ToPixels(body.x2));
        for (const auto* swatch : form->findChildren<zarnik::ui::Swatch*>()) {
            QVERIFY(swatch->isVisible());
            QCOMPARE(swatch->x(), Child(swatch->objectName().remove(QRegularExpression("[0-9]+$")))->x());
        }
        for (const char* name : {"five", "a2", "b2", "CG2", "c2", "d11"}) {
            Click(name);
        }
        Click("five");
        QCOMPARE(form->grab().toImage(), before);
    }

    void swatchesTellTheirMeaning()
    {
        QCOMPARE(Child("a4")->toolTip(), QString("Yellow: 4"));
        QCOMPARE(Child("c11")->toolTip(), "Gold: x0" + Sep() + "1");
        QCOMPARE(Child("d11")->toolTip(), QString::fromUtf8("Gold: ±5%"));
        QCOMPARE(Child("d13")->toolTip(), QString::fromUtf8("no band: ±20%"));
        Click("a4");
        QCOMPARE(Child("a")->toolTip(), QString("Yellow: 4"));
    }

    void arrowKeysMoveAmongTheShownSwatches_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("focused");
        QTest::newRow("down twice") << "five"
                                    << "a1" << QList<int>{Qt::Key_Down, Qt::Key_Down} << "a3";
        QTest::newRow("up at the top stays") << "five"
                                             << "a1" << QList<int>{Qt::Key_Up} << "a1";
        QTest::newRow("down at the bottom stays") << "five"
                                                  << "d13" << QList<int>{Qt::Key_Down} << "d13";
        QTest::newRow("end") << "five"
                             << "a4" << QList<int>{Qt::Key_End} << "a9";
        QTest::newRow("home") << "five"
                              << "c12" << QList<int>{Qt::Key_Home} << "c0";
        QTest::newRow("black to the nearest first digit") << "five"
                                                          << "b0" << QList<int>{Qt::Key_Left} << "a1";
        QTest::newRow("right keeps the row") << "five"
                                             << "a9" << QList<int>{Qt::Key_Right} << "b9";
        QTest::newRow("violet to the nearest multiplier") << "five"
                                                          << "b7" << QList<int>{Qt::Key_Right, Qt::Key_Right} << "c6";
        QTest::newRow("last column keeps the focus") << "five"
                                                     << "d13" << QList<int>{Qt::Key_Right} << "d13";
        QTest::newRow("first column keeps the focus") << "five"
                                                      << "a5" << QList<int>{Qt::Key_Left} << "a5";
        QTest::newRow("four bands skip the third digit") << "four"
                                                         << "b4" << QList<int>{Qt::Key_Right} << "c4";
        QTest::newRow("four bands, back past it") << "four"
                                                  << "c11" << QList<int>{Qt::Key_Left} << "b9";
        QTest::newRow("yellow to the nearest tolerance") << "four"
                                                         << "c4" << QList<int>{Qt::Key_Right} << "d5";
        QTest::newRow("six bands reach the coefficient") << "six"
                                                         << "d13" << QList<int>{Qt::Key_Right} << "e8";
    }
    void arrowKeysMoveAmongTheShownSwatches()
    {
        QFETCH(QString, mode);
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QString, focused);
        Click(mode);
        Child(start)->setFocus();
        for (const int key : keys) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    }

    void tabStopsOncePerShownColumn_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("five bands") << "five" << QStringList{"five", "a1", "b0", "CG0", "c0", "d1", "abcdt", "five"};
        QTest::newRow("four bands") << "four" << QStringList{"four", "a1", "b0", "c0", "d1", "abcdt", "four"};
        QTest::newRow("six bands") << "six" << QStringList{"six", "a1", "b0", "CG0", "c0", "d1", "e0", "abcdt", "six"};
    }
    void tabStopsOncePerShownColumn()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, stops);
        const auto focused = [] { return QApplication::focusWidget()->objectName(); };
        Click(mode);
        QCOMPARE(focused(), stops.front());
        for (const QString& stop : stops.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focused(), stop);
        }
        // A column keeps its stop at the swatch last visited there.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), QString("a9"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), stops.front());
    }

    void keysChooseTheFocusedSwatchButShortcutsWin()
    {
        const QList<std::pair<int, Qt::KeyboardModifiers>> keys = {
            {Qt::Key_Space, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};
        for (const auto& [key, modifiers] : keys) {
            Click("five");
            Child("a4")->setFocus();
            QTest::keyClick(Child("a4"), Qt::Key(key), modifiers);
            QCOMPARE(Result(), "42" + Sep() + "2    K Ohm    _+5%");
        }
        // The menu's shortcut opens the about window, with the focus on a swatch.
        QTest::keyClick(Child("a4"), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(Child<QTimer>("Timer2")->isActive());
        Child<QTimer>("Timer2")->stop();
    }

    // The events that make a screen reader speak at once need a live
    // accessibility bridge; the AT-SPI test checks them.
    void screenReadersHearSwatchesBandsAndResult()
    {
        const auto face = [this](const QString& name) { return QAccessible::queryAccessibleInterface(Child(name)); };
        const std::pair<const char*, QString> swatches[] = {
            {"a4", "Band 1: Yellow, 4"},
            {"c11", "Multiplier: Gold, x0" + Sep() + "1"},
            {"d13", QString::fromUtf8("Tolerance: no band, ±20%")},
            {"e4", "Temperature coefficient: Yellow, 25 ppm/K"},
        };
        for (const auto& [name, text] : swatches) {
            QCOMPARE(face(name)->role(), QAccessible::RadioButton);
            QCOMPARE(face(name)->text(QAccessible::Description), QString());
            QCOMPARE(face(name)->text(QAccessible::Name), text);
            QVERIFY(face(name)->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
        QCOMPARE(face("a")->text(QAccessible::Name), QString("Band 1: Red, 2"));

        // The swatch of the band's colour is checked, in its column alone.
        QVERIFY(face("a2")->state().checked && !face("a4")->state().checked && face("b2")->state().checked);
        face("a4")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(Result(), "42" + Sep() + "2    K Ohm    _+5%");
        QVERIFY(face("a4")->state().checked && !face("a2")->state().checked && face("b2")->state().checked);
        QCOMPARE(face("a")->text(QAccessible::Name), QString("Band 1: Yellow, 4"));
        QAccessibleTextInterface* result = face("abcdt")->textInterface();
        QCOMPARE(result->text(0, result->characterCount()), "42" + Sep() + "2    K Ohm    plus or minus 5 percent");
        // The hidden fields are not in the tree.
        QVERIFY(face("client")->indexOfChild(face("a4")) >= 0);
        for (const char* field : kFieldNames) {
            QCOMPARE(face("client")->indexOfChild(face(field)), -1);
        }
    }

    void disabledWindowRefusesToCloseAndClosingStopsItsTimers()
    {
        // While the encoder window is open the decoder window is disabled.
        form->setEnabled(false);
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        form->setEnabled(true);
        Child<QTimer>("Timer2")->start();
        QVERIFY(form->close());
        QVERIFY(!Child<QTimer>("Timer2")->isActive());
    }

    void exitEndsTheEventLoopAtOnce()
    {
        QEventLoop loop;
        QTimer::singleShot(0, this, [this] { Child<QAction>("Exit")->trigger(); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0);
        // No close handler ran: the window was not closed by the exit.
        QVERIFY(form->isVisible());
    }
};

}  // namespace

QTEST_MAIN(DecoderWindowTest)
#include "DecoderWindowTest.moc"
