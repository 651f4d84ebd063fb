#include "network/pingreport.h"

#include "installation/scratchfile.h"
#include "records/records.h"
#include "records/reportprefixes.h"

#include <QDebug>
#include <QFile>

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
