#include "network/pingreport.h"

#include "installation/pingtargets.h"
#include "installation/scratchfile.h"
#include "records/records.h"
#include "records/reportprefixes.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace {

// Copies one result file into the report as one record, as the tool wrote it.
void copyResult(QFile &result, int line)
{
    const QByteArray bytes = result.readAll();
    qDebug() << bytes;
    records::writeBytes(records::Level::Info, records::kMainWindow, line, bytes);
}

QString closingLine() { return records::hyphens(98) + QLatin1Char('\n'); }

} // namespace

QStringList pingreport::clearResults()
{
    QStringList kept;
    for (const QString &path : {pingResultPath(), routeResultPath()}) {
        scratchfile::clearOdd(path);
        if (QFileInfo(path).isFile())
            QFile::remove(path);
        const QFileInfo left(path);
        if (left.exists() || left.isSymLink())
            kept << path;
    }
    return kept;
}

QStringList pingreport::missingResults()
{
    QFile list(pingtargets::listFileName());
    if (!scratchfile::isPlain(list.fileName()) || !list.open(QIODevice::ReadOnly)
        || pingtargets::targetsOf(QString::fromUtf8(list.readAll())).isEmpty())
        return {};
    QStringList missing;
    for (const QString &path : {pingResultPath(), routeResultPath()}) {
        if (!scratchfile::isPlain(path))
            missing << path;
    }
    return missing;
}

void reportPingTracert()
{
    records::switchReport(reportprefix::networkSpeedTest());

    // Only plain files: opening a pipe found there would wait for a writer.
    if (!scratchfile::isPlain(pingreport::pingResultPath()) || !scratchfile::isPlain(pingreport::routeResultPath()))
        return;
    QFile ping(pingreport::pingResultPath());
    if (!ping.open(QIODevice::ReadOnly))
        return;
    QFile route(pingreport::routeResultPath());
    if (!route.open(QIODevice::ReadOnly))
        return;

    records::info(records::kMainWindow, 155, QStringLiteral("PING......."));
    copyResult(ping, 159);
    records::info(records::kMainWindow, 161, closingLine());
    records::info(records::kMainWindow, 163, QStringLiteral("Tracert......."));
    copyResult(route, 167);
    records::info(records::kMainWindow, 169, closingLine());

    ping.remove();
    route.remove();
}
