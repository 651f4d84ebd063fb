#pragma once
// Starting the built program itself, the way a user or the launcher starts
// it: copied into a folder that plays the installation folder, with the
// first argument chosen freely, under the offscreen platform, its windows
// closing themselves shortly after they appear.

#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

struct ProgramRun
{
    int exitCode = -1;                // -1: it did not end within 30 s
    QByteArray errors;                // standard error
    QList<Record> defaultLog;         // the run log before any report switch
    QStringList runLogLinks;          // links the logging library left beside the run log
};

// Copies the program into folder under name; the copied program's path, or
// an empty text when it could not be copied.
QString installProgram(const QString &folder, const QString &name = QStringLiteral("SupportTool"));

// Runs program with argv0 as its first argument from workingFolder.
ProgramRun startProgram(const QString &argv0, const QString &program, const QStringList &arguments,
                        const QString &workingFolder);

// Accepts (value "1") or refuses the terms of use in folder's settings file.
void writeAgreement(const QString &folder, const QString &value);

} // namespace testsupport
