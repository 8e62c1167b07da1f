// SPDX-License-Identifier: MIT
// Starts the zarnik binary on a private Xvfb display, takes screenshots of the
// whole screen and checks that the decoder window's five bands stand where the
// window puts them, in their start colours. Every wait is bounded and both
// processes are ended by the test.
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The decoder window's client area stands at (3180, 2295) twips on the screen;
// without a window manager there is no frame around it.
constexpr int kClientLeft = 3180 / 15;
constexpr int kClientTop = 2295 / 15;
// Band labels: Left in twips, 255 twips (17 pixels) wide.
constexpr int kBandLeft[] = {1800, 2160, 2520, 2880, 3480};
const QColor kStartColours[] = {QColor(0xFF, 0, 0), QColor(0xFF, 0, 0), QColor(0xFF, 0, 0), QColor(0xFF, 0, 0),
                                QColor(0xC0, 0xC0, 0)};

// Run as a child with --grab FILE: saves the whole screen of $DISPLAY.
int Grab(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    return screen.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}

void Stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// The desktop tests start and end X servers on this machine too; all take
// turns under one lock (tests/desktop/with-wm.sh), so that no server takes a
// display number while the server that had it is still ending and would take
// the new one's socket with it. Held for at most a minute.
class ServerTurn {
public:
    ServerTurn()
        : fd_(open(QDir::temp().filePath("zarnik-xvfb-start.lock").toLocal8Bit().constData(),
                   O_CREAT | O_RDWR | O_CLOEXEC, 0666))
    {
        for (int tries = 0; fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0 && tries < 600; ++tries) {
            QThread::msleep(100);
        }
    }
    ~ServerTurn()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    ServerTurn(const ServerTurn&) = delete;
    ServerTurn& operator=(const ServerTurn&) = delete;

private:
    int fd_;
};

class XvfbStartTest : public QObject {
    Q_OBJECT

private:
    QProcess xvfb;
    QProcess zarnik;
    QString display;
    QTemporaryDir dir;

    std::optional<QImage> Screenshot()
    {
        QProcess grab;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        grab.setProcessEnvironment(env);
        const QString file = dir.filePath("screen.png");
        QFile::remove(file);
        grab.start(QCoreApplication::applicationFilePath(), {"--grab", file});
        if (!grab.waitForFinished(15000) || grab.exitCode() != 0) {
            Stop(grab);
            return std::nullopt;
        }
        QImage image(file);
        return image.isNull() ? std::nullopt : std::optional<QImage>(image);
    }

    // The row, below the window's top, where the first band's red starts, or -1.
    static int BandRow(const QImage& screen)
    {
        const int x = kClientLeft + kBandLeft[0] / 15 + 8;
        for (int y = kClientTop; y < kClientTop + 200 && y < screen.height(); ++y) {
            if (screen.pixelColor(x, y) == kStartColours[0] && screen.pixelColor(x, y + 20) == kStartColours[0]) {
                return y + 10;
            }
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("Xvfb").isEmpty(),
                 "Xvfb is not installed (scripts/setup.sh installs it)");
        QVERIFY(dir.isValid());
        const ServerTurn turn;
        xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QVERIFY(xvfb.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        while (!xvfb.canReadLine() && clock.elapsed() < 15000) {
            xvfb.waitForReadyRead(500);
        }
        const QByteArray number = xvfb.readLine().trimmed();
        QVERIFY2(!number.isEmpty(), "Xvfb did not report its display");
        display = ":" + QString::fromLatin1(number);
    }

    void cleanupTestCase()
    {
        Stop(zarnik);
        const ServerTurn turn;
        Stop(xvfb);
    }

    void decoderWindowShowsItsBandsOnTheScreen()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        zarnik.setProcessEnvironment(env);
        zarnik.start(ZARNIK_BINARY, {});
        QVERIFY(zarnik.waitForStarted(5000));

        QImage screen;
        int row = -1;
        QElapsedTimer clock;
        clock.start();
        while (row < 0 && clock.elapsed() < 30000) {
            QTest::qWait(300);
            QVERIFY2(zarnik.state() == QProcess::Running, "zarnik ended");
            if (const auto shot = Screenshot()) {
                screen = *shot;
                row = BandRow(screen);
            }
        }
        if (row < 0 && !screen.isNull()) {
            screen.save(QDir::temp().filePath("zarnik-xvfb-failure.png"));
        }
        QVERIFY2(row >= 0, "the decoder window's first band did not appear");
        for (int i = 0; i < 5; ++i) {
            const int left = kClientLeft + kBandLeft[i] / 15;
            QCOMPARE(screen.pixelColor(left + 8, row), kStartColours[i]);
            // The band's border and the white body beside it.
            QCOMPARE(screen.pixelColor(left, row), QColor(Qt::black));
            QCOMPARE(screen.pixelColor(left - 2, row), QColor(Qt::white));
        }
        QCOMPARE(screen.pixelColor(kClientLeft + 2, row), QColor(Qt::white));
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--grab") == 0) {
        return Grab(argc, argv);
    }
    QCoreApplication app(argc, argv);
    XvfbStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "XvfbStartTest.moc"
