// SPDX-License-Identifier: MIT
// The floor of a command: a QtCore program that makes its application
// object, prints one line and ends. zarnik's one-shot commands are timed
// against it.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::puts("4.7   K Ohm    _+5%");
    return 0;
}
