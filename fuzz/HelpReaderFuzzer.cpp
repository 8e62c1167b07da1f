// Arbitrary bytes through the reader of the help document, then through what
// the help window does with its result: lay the document out at the window's
// width and read its text back.
#include <QAbstractTextDocumentLayout>
#include <QByteArrayView>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "rtf/RtfReader.h"

namespace {

void Read(QByteArrayView rtf)
{
    QTextDocument document;
    zarnik::ReadRtf(rtf, document);
    document.setTextWidth(5700 / 15.0);
    (void)document.documentLayout()->documentSize();
    (void)document.toPlainText();
}

QGuiApplication* application = nullptr;

// Ended as a program ends its application object, so that Qt releases its
// font caches before the leak check at exit.
void EndApplication()
{
    delete application;
    application = nullptr;
}

}  // namespace

// Laying text out needs the font database, which needs a GUI application.
// Qt's own arguments are kept away from the fuzzer's.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "zarnik_fuzz_help_reader";
    static char* argv[] = {name, nullptr};
    application = new QGuiApplication(argc, argv);
    std::atexit(EndApplication);
    // Damaged pictures make the image decoders warn on nearly every input.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
            std::abort();
        }
    });
    // The first layout loads the fonts; keep that out of the first input.
    Read(QByteArrayView("{\\rtf1 x}"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Read(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}
