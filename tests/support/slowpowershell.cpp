#include "slowpowershell.h"

#include <QDir>
#include <QFile>

namespace testsupport {

namespace {
QString argumentsFile(const FixturePath &fixtures)
{
    return QDir(fixtures.path()).filePath(QStringLiteral("arguments.txt"));
}

QByteArray noteArguments(const FixturePath &fixtures)
{
    return "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + QFile::encodeName(argumentsFile(fixtures)) + "'\n";
}
} // namespace

void addDelayedPowerShell(const FixturePath &fixtures, double delaySeconds, const QByteArray &answer)
{
    const QString answerFile = QDir(fixtures.path()).filePath(QStringLiteral("answer.txt"));
    QFile file(answerFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(answer);
    fixtures.addScript(QStringLiteral("powershell"), noteArguments(fixtures) + "sleep " +
                                                         QByteArray::number(delaySeconds) + "\ncat '" +
                                                         QFile::encodeName(answerFile) + "'");
}

void addHangingPowerShell(const FixturePath &fixtures)
{
    fixtures.addScript(QStringLiteral("powershell"), noteArguments(fixtures) + "exec sleep 20");
}

QStringList powerShellArguments(const FixturePath &fixtures)
{
    QStringList lines = QString::fromUtf8(readFile(argumentsFile(fixtures))).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace testsupport
