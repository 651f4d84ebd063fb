#pragma once
// Runs a built stand-in shell with an argument list and collects what it says.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testsupport {

struct StandInAnswer
{
    QByteArray out;
    QByteArray err;
    int exitCode = -1;
    bool finished = false;
};

// Runs STANDIN_DIR/program with the arguments, waiting at most 10 s.
StandInAnswer runStandIn(const QString &program, const QStringList &arguments);

} // namespace testsupport
