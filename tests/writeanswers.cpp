// Writes the answers folder of the fixture PowerShell that the Windows
// check's end-to-end runs share (windowsanswers.h):
//
//   writeanswers FOLDER CODEPAGE      (CODEPAGE: 65001 for UTF-8, 850, 437...)

#include "windowsanswers.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    bool number = false;
    const unsigned codePage = arguments.value(1).toUInt(&number);
    if (arguments.size() != 2 || !number) {
        std::fputs("usage: writeanswers FOLDER CODEPAGE\n", stderr);
        return 2;
    }
    if (!windowsanswers::write(arguments.first(), codePage)) {
        std::fprintf(stderr, "writeanswers: cannot write the answers in code page %u into %s\n", codePage,
                     qPrintable(arguments.first()));
        return 1;
    }
    return 0;
}
