// SPDX-License-Identifier: MIT
// The toolkit's floor: one empty main window with a menu bar, nothing else.
// zarnik's start-up time and memory are measured against this program.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    // zarnik's decoder window is 5700 twips square: the same pixels to paint.
    window.resize(380, 380);
    window.show();
    return QApplication::exec();
}
