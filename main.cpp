#include <QApplication>

#include "ui/decoder/Form1.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarnik"));
    QApplication::setApplicationVersion(QStringLiteral(ZARNIK_VERSION));
    zarnik::Form1 form1;
    form1.show();
    return QApplication::exec();
}
