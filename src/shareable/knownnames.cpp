#include "shareable/knownnames.h"

#include "installation/pingtargets.h"
#include "shareable/addresstext.h"

#include <QDir>
#include <QHostInfo>
#include <QRegularExpression>
#include <QSysInfo>

namespace shareable {

void KnownNames::add(const KnownNames &other)
{
    computerNames += other.computerNames;
    userNames += other.userNames;
    dnsSuffixes += other.dnsSuffixes;
    hostNames += other.hostNames;
}

KnownNames systemNames()
{
    KnownNames names;
    names.computerNames << QSysInfo::machineHostName();
#ifdef Q_OS_WIN
    names.computerNames << qEnvironmentVariable("COMPUTERNAME");
    names.userNames << qEnvironmentVariable("USERNAME");
#else
    names.userNames << qEnvironmentVariable("USER") << qEnvironmentVariable("LOGNAME");
#endif
    names.userNames << QDir(QDir::homePath()).dirName();
    names.dnsSuffixes << QHostInfo::localDomainName();
    return names;
}

QStringList addressListHosts(const QStringList &values)
{
    QStringList hosts;
    for (const QString &value : values) {
        for (const QString &target : pingtargets::targetsOf(value)) {
            if (!addresstext::isAddress(target))
                hosts << target;
        }
    }
    return hosts;
}

void addNamesShownIn(const QByteArray &text, KnownNames *names)
{
    // A field's value stands after the dot leader; further values of a list
    // stand alone on the lines below it, indented to the value column.
    static const QRegularExpression field(
        QStringLiteral("^[ \\t]*(Host Name|Primary Dns Suffix|DNS Suffix Search List|Connection-specific DNS Suffix)"
                       "[ .]*: *(\\S+)[ \\t]*\\r?$((?:\\n[ \\t]{20,}\\S+[ \\t]*\\r?$)*)"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression header(QStringLiteral("^Running on machine: (\\S+)"),
                                           QRegularExpression::MultilineOption);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));

    const QString content = QString::fromUtf8(text);
    for (auto match = field.globalMatch(content); match.hasNext();) {
        const QRegularExpressionMatch each = match.next();
        const QStringList values =
            QStringList{each.captured(2)} + each.captured(3).split(blanks, Qt::SkipEmptyParts);
        if (each.captured(1) == QLatin1String("Host Name"))
            names->computerNames += values;
        else
            names->dnsSuffixes += values;
    }
    for (auto match = header.globalMatch(content); match.hasNext();)
        names->computerNames << match.next().captured(1);
}

} // namespace shareable
