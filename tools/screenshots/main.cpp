// SPDX-License-Identifier: MIT
// Renders the windows offscreen into PNG files for the README:
//   QT_QPA_PLATFORM=offscreen zarnik_screenshots docs/screenshots
// On an X display with a window manager it takes the five windows from the
// screen instead, frame and title bar included ("desktop-*.png").
// In a locale whose decimal separator is not the point (LC_ALL=fa_IR.UTF-8)
// it renders only the two windows that show the separator.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

#include "tests/support/WindowTestSupport.h"
#include "ui/about/Form4.h"
#include "ui/codes/Form5.h"
#include "ui/common/Placement.h"
#include "ui/common/Twips.h"
#include "ui/decoder/Form1.h"
#include "ui/encoder/Form2.h"
#include "ui/help/Form3.h"
#include "ui/partslist/Form7.h"

namespace {

bool Save(QWidget* window, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    // grab() shows the client area; the menu bar of the decoder window is part of it.
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void Click(QWidget* window, const char* name)
{
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
    if (control != nullptr) {
        QTest::mouseClick(control, Qt::LeftButton);
    }
}

// Waits until the condition holds, at most a few seconds.
void WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 500 && !done(); ++i) {
        QTest::qWait(10);
    }
}

// Opens the encoder window out of the decoder window and lets it grow to its
// full size; nullptr, said on stderr, where it did not open.
zarnik::Form2* OpenEncoder(zarnik::Form1& decoder)
{
    zarnik::test::Trigger(&decoder, "Show");
    auto* opening = decoder.findChild<QTimer*>(QStringLiteral("Timer1"));
    WaitFor([&] { return zarnik::test::OpenWindow<zarnik::Form2>("Form2") != nullptr && !opening->isActive(); });
    zarnik::Form2* encoder = zarnik::test::OpenWindow<zarnik::Form2>("Form2");
    if (encoder == nullptr) {
        std::fprintf(stderr, "the encoder window did not open\n");
    }
    return encoder;
}

// The decoder and encoder windows with the user's decimal separator, for a
// locale without the point: 0.47 Ohm decoded, 4.75 K Ohm encoded, the files
// named after the language ("decoder-fa.png").
bool SaveSeparatorShots(const QDir& dir, const QString& language)
{
    zarnik::Form1 decoder;
    decoder.show();
    QTest::qWait(50);
    Click(&decoder, "four");
    for (const char* swatch : {"a4", "b7", "c12", "d12"}) {
        Click(&decoder, swatch);
    }
    bool ok = Save(&decoder, dir, QStringLiteral("decoder-%1.png").arg(language));
    Click(&decoder, "five");
    zarnik::Form2* encoder = OpenEncoder(decoder);
    if (encoder == nullptr) {
        return false;
    }
    auto* value = encoder->findChild<QLineEdit*>(QStringLiteral("a12"));
    value->selectAll();
    // Typed one character after the other: the typing limit follows the text.
    for (const QChar c : QLatin1Char('4') + QLocale::system().decimalPoint() + QLatin1String("75")) {
        value->insert(c);
    }
    encoder->findChild<QComboBox*>(QStringLiteral("Z"))->setCurrentIndex(1);
    encoder->findChild<QComboBox*>(QStringLiteral("T"))->setCurrentIndex(0);
    Click(encoder, "Command1");
    return Save(encoder, dir, QStringLiteral("encoder-%1.png").arg(language)) && ok;
}

// A window as the screen shows it, its frame included, once it has one.
bool SaveFromScreen(QWidget* window, const QDir& dir, const QString& name)
{
    WaitFor([window] { return window->frameGeometry() != window->geometry(); });
    QTest::qWait(300);  // the last repaint reaches the screen
    const QRect frame = window->frameGeometry();
    const QPixmap shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString path = dir.filePath(name);
    if (!shot.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The five windows on a real desktop: each secondary window grown to its full
// size over the decoder window, the about window with its credits at rest.
bool SaveDesktopShots(const QDir& dir)
{
    zarnik::Form1 decoder;
    decoder.show();
    bool ok = SaveFromScreen(&decoder, dir, QStringLiteral("desktop-decoder.png"));
    struct Shot {
        const char* action;
        const char* window;
        const char* file;
    };
    for (const Shot& shot :
         {Shot{"Show", "Form2", "desktop-encoder.png"}, Shot{"Help2", "Form3", "desktop-help.png"},
          Shot{"About", "Form4", "desktop-about.png"}, Shot{"Codes", "Form5", "desktop-codes.png"}}) {
        zarnik::test::Trigger(&decoder, QString::fromLatin1(shot.action));
        const QString name = QString::fromLatin1(shot.window);
        auto still = [&] {
            const QWidget* window = zarnik::test::OpenWindow(name);
            if (window == nullptr) {
                return false;
            }
            const auto timers = window->findChildren<QTimer*>() + decoder.findChildren<QTimer*>();
            return std::none_of(timers.begin(), timers.end(), [](const QTimer* t) { return t->isActive(); });
        };
        WaitFor(still);
        QWidget* window = zarnik::test::OpenWindow(name);
        if (window == nullptr || !still()) {
            std::fprintf(stderr, "%s did not come to rest\n", shot.window);
            return false;
        }
        ok &= SaveFromScreen(window, dir, QString::fromLatin1(shot.file));
        window->close();
    }
    return ok;
}

// A rectangle of the root window of another X display, as it shows there
// (24-bit colour in 32-bit pixels, as Xvfb keeps it).
QImage GrabRootOf(const QString& display, const QRect& area)
{
    xcb_connection_t* c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    QImage image;
    if (xcb_connection_has_error(c) == 0) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const QRect on = area.intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
        std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> reply(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(on.x()),
                                              int16_t(on.y()), uint16_t(on.width()), uint16_t(on.height()), ~0u),
                                nullptr),
            &free);
        if (reply && reply->depth == 24 && !on.isEmpty() &&
            xcb_get_image_data_length(reply.get()) == on.width() * on.height() * 4) {
            image = QImage(xcb_get_image_data(reply.get()), on.width(), on.height(), QImage::Format_RGB32).copy();
        }
    }
    xcb_disconnect(c);
    return image;
}

// The encoder window at rest over the decoder window, with a margin of the
// desktop around the decoder window's frame: where the window manager lets a
// window stand off the decoder window's corner or outgrow it, it shows.
bool SaveEncoderOverDecoder(const QDir& dir, const QString& windowManager)
{
    zarnik::Form1 decoder;
    decoder.show();
    WaitFor([&] { return decoder.frameGeometry() != decoder.geometry(); });
    QTest::qWait(300);
    zarnik::test::Trigger(&decoder, QStringLiteral("Show"));
    const auto* timer = decoder.findChild<QTimer*>(QStringLiteral("Timer1"));
    WaitFor([&] { return zarnik::test::OpenWindow(QStringLiteral("Form2")) != nullptr && !timer->isActive(); });
    // A loaded window manager answers the growth's resizes late.
    const QWidget* encoder = zarnik::test::OpenWindow(QStringLiteral("Form2"));
    WaitFor([&] { return encoder->size() == encoder->minimumSize(); });
    QTest::qWait(500);  // the window manager's last answers and repaints
    constexpr int kMargin = 16;
    // The frame as the program reads it: where the window manager publishes
    // no frame extents (weston), Qt's frame includes the frame window's
    // shadow.
    using zarnik::ui::ToPixels;
    const QRect outer(ToPixels(zarnik::ui::OuterLeft(&decoder)), ToPixels(zarnik::ui::OuterTop(&decoder)),
                      ToPixels(zarnik::ui::OuterWidth(&decoder)), ToPixels(zarnik::ui::OuterHeight(&decoder)));
    const QRect area = outer.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const QString path = dir.filePath(QStringLiteral("desktop-encoder-over-decoder-%1.png").arg(windowManager));
    // weston's XWayland root shows nothing of the composed screen; the window
    // weston shows its output in, on the display it runs in, does.
    if (const QString host = qEnvironmentVariable("ZARNIK_HOST_DISPLAY"); !host.isEmpty()) {
        const QImage shot = GrabRootOf(host, area);
        if (shot.isNull() || !shot.save(path)) {
            std::fprintf(stderr, "could not read %s from display %s\n", qPrintable(path), qPrintable(host));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    const QPixmap shot = decoder.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Offscreen, every size the program sets says that the platform cannot
    // pass size hints on; nothing else is muted.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.startsWith(QLatin1String("This plugin does not support"))) {
            previous(type, context, text);
        }
    });
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots"));
    QDir().mkpath(dir.path());
    if (QGuiApplication::platformName() == QLatin1String("xcb") && argc > 2) {
        return SaveEncoderOverDecoder(dir, QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        return SaveDesktopShots(dir) ? 0 : 1;
    }
    if (QLocale::system().decimalPoint() != QLatin1String(".")) {
        return SaveSeparatorShots(dir, QLocale::system().name().section(QLatin1Char('_'), 0, 0)) ? 0 : 1;
    }
    bool ok = true;

    {
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        ok &= Save(&decoder, dir, QStringLiteral("decoder-start.png"));
        for (const char* swatch : {"a4", "b7", "CG0", "c2", "d1"}) {
            Click(&decoder, swatch);
        }
        ok &= Save(&decoder, dir, QStringLiteral("decoder-five-bands.png"));
        Click(&decoder, "four");
        for (const char* swatch : {"a1", "b0", "c3", "d13"}) {
            Click(&decoder, swatch);
        }
        ok &= Save(&decoder, dir, QStringLiteral("decoder-four-bands.png"));
        // Six bands: 10 K Ohm, 0.1%, 25 ppm/K.
        Click(&decoder, "six");
        for (const char* swatch : {"a1", "b0", "CG0", "c2", "d7", "e4"}) {
            Click(&decoder, swatch);
        }
        ok &= Save(&decoder, dir, QStringLiteral("decoder-six-bands.png"));
    }
    {
        // The codes window grown to its full size: a code that two systems
        // read differently, and the codes of 10 K Ohm.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        zarnik::test::Trigger(&decoder, "Codes");
        auto grown = [&] {
            const zarnik::Form5* codes = zarnik::test::OpenWindow<zarnik::Form5>("Form5");
            return codes != nullptr && !codes->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
        };
        WaitFor(grown);
        if (!grown()) {
            std::fprintf(stderr, "the codes window did not grow to its size\n");
            return 1;
        }
        zarnik::Form5* codes = zarnik::test::OpenWindow<zarnik::Form5>("Form5");
        QTest::keyClicks(codes->findChild<QLineEdit*>(QStringLiteral("mark")), QStringLiteral("47R"));
        QTest::keyClicks(codes->findChild<QLineEdit*>(QStringLiteral("value")), QStringLiteral("10"));
        codes->findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(1);
        ok &= Save(codes, dir, QStringLiteral("codes.png"));
        // A capacitor's code with its voltage and tolerance and the codes of
        // 4.7 nF; an inductor's 3-digit code, said to be in µH, and the codes
        // and bands of 4.7 µH.
        const struct {
            int part;
            const char* code;
            const char* value;
            int unit;
            const char* file;
        } parts[] = {{1, "2A474J", "4.7", 1, "codes-capacitor.png"}, {2, "470", "4.7", 1, "codes-inductor.png"}};
        for (const auto& part : parts) {
            codes->findChild<QComboBox*>(QStringLiteral("part"))->setCurrentIndex(part.part);
            for (const char* name : {"mark", "value"}) {
                codes->findChild<QLineEdit*>(QString::fromLatin1(name))->clear();
            }
            QTest::keyClicks(codes->findChild<QLineEdit*>(QStringLiteral("mark")), QString::fromUtf8(part.code));
            QTest::keyClicks(codes->findChild<QLineEdit*>(QStringLiteral("value")), QString::fromUtf8(part.value));
            codes->findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(part.unit);
            ok &= Save(codes, dir, QString::fromLatin1(part.file));
        }
    }
    {
        // The keyboard's focus ring, on the darkest and the lightest swatch:
        // Tab twice to the second-digit column (Black), End to its White;
        // then on the swatch of the band's colour.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        for (int key : {Qt::Key_Tab, Qt::Key_Tab}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        }
        ok &= Save(&decoder, dir, QStringLiteral("decoder-focus-black.png"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        ok &= Save(&decoder, dir, QStringLiteral("decoder-focus-white.png"));
        // Up to Red, the colour the band has: the checked swatch's dot.
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        }
        ok &= Save(&decoder, dir, QStringLiteral("decoder-focus-checked.png"));
    }
    {
        // The encoder window grows out of the decoder window, then encodes
        // 4.7 K Ohm in four-band mode.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        zarnik::Form2* encoder = OpenEncoder(decoder);
        if (encoder == nullptr) {
            return 1;
        }
        QTest::qWait(50);
        ok &= Save(encoder, dir, QStringLiteral("encoder-start.png"));
        Click(encoder, "four");
        auto* value = encoder->findChild<QLineEdit*>(QStringLiteral("a12"));
        value->selectAll();
        QTest::keyClicks(value, QStringLiteral("4.7"));
        encoder->findChild<QComboBox*>(QStringLiteral("Z"))->setCurrentIndex(1);
        encoder->findChild<QComboBox*>(QStringLiteral("T"))->setCurrentIndex(0);
        Click(encoder, "Command1");
        ok &= Save(encoder, dir, QStringLiteral("encoder-4k7.png"));
    }
    {
        // The about window at rest: grown to its full size, the credits in place.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        zarnik::test::Trigger(&decoder, "About");
        auto* growth = decoder.findChild<QTimer*>(QStringLiteral("Timer2"));
        auto atRest = [&] {
            const zarnik::Form4* about = zarnik::test::OpenWindow<zarnik::Form4>("Form4");
            return about != nullptr && !growth->isActive() &&
                   !about->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
        };
        WaitFor(atRest);
        if (!atRest()) {
            std::fprintf(stderr, "the about window did not come to rest\n");
            return 1;
        }
        ok &= Save(zarnik::test::OpenWindow<zarnik::Form4>("Form4"), dir, QStringLiteral("about.png"));
    }
    {
        // The help window grown to its full size, first at the top of the
        // document, then scrolled to the first formula picture.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        zarnik::test::Trigger(&decoder, "Help2");
        auto grown = [&] {
            const zarnik::Form3* help = zarnik::test::OpenWindow<zarnik::Form3>("Form3");
            return help != nullptr && !help->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
        };
        WaitFor(grown);
        if (!grown()) {
            std::fprintf(stderr, "the help window did not grow to its size\n");
            return 1;
        }
        zarnik::Form3* help = zarnik::test::OpenWindow<zarnik::Form3>("Form3");
        ok &= Save(help, dir, QStringLiteral("help.png"));
        auto* box = help->findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            const QTextFragment first = block.begin().fragment();
            if (first.isValid() && first.charFormat().isImageFormat()) {
                const QRectF place = box->document()->documentLayout()->blockBoundingRect(block);
                box->verticalScrollBar()->setValue(int(place.center().y()) - box->viewport()->height() / 2);
                break;
            }
        }
        ok &= Save(help, dir, QStringLiteral("help-formula.png"));
    }
    {
        // The parts-list window on a small list of every kind of row: sound
        // values, one off its series that its description contradicts, a
        // part not to place, one that cannot be read.
        zarnik::Form1 decoder;
        decoder.show();
        QTest::qWait(50);
        QTemporaryDir folder;
        QFile list(folder.filePath(QStringLiteral("amplifier.csv")));
        list.open(QIODevice::WriteOnly);
        list.write(
            "Reference,Value,Description\r\n"
            "R1,4k7,RES 4.7K OHM 5% 0603\r\n"
            "R2,475,RES 470 OHM 5% 0603\r\n"
            "\"R3, R4\",10k 1%,\r\n"
            "C1 C2,100n,CAP CER 0.1UF 50V 10% X7R\r\n"
            "C3,4.7uf6.3V,\r\n"
            "L1,6.2nH,INDUCTOR 0402\r\n"
            "C4,DNP,\r\n"
            "R5,10x,\r\n"
            "U1,NE5532,Dual op amp\r\n");
        list.close();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(list.fileName())});
        QDragEnterEvent enter(decoder.rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&decoder, &enter);
        QDropEvent drop(decoder.rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&decoder, &drop);
        auto grown = [&] {
            const zarnik::Form7* parts = zarnik::test::OpenWindow<zarnik::Form7>("Form7");
            return parts != nullptr && !parts->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
        };
        WaitFor(grown);
        if (!grown()) {
            std::fprintf(stderr, "the parts-list window did not grow to its size\n");
            return 1;
        }
        zarnik::Form7* parts = zarnik::test::OpenWindow<zarnik::Form7>("Form7");
        parts->findChild<QTableWidget*>(QStringLiteral("Grid1"))->setCurrentCell(1, 1);
        ok &= Save(parts, dir, QStringLiteral("parts-list.png"));
        ok &= Save(&decoder, dir, QStringLiteral("decoder-from-parts-list.png"));
    }
    return ok ? 0 : 1;
}
