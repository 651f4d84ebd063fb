#include "reports/reportset.h"

#include "records/reportprefixes.h"

#include <QRegularExpression>

#include <utility>

namespace findings {

namespace {

constexpr int kKinds = 6;

// The file name part of each report prefix, in the order of ReportKind.
const QStringList &namePrefixes()
{
    static const QStringList prefixes = [] {
        QStringList names;
        for (const QString &prefix :
             {reportprefix::hardware(), reportprefix::softwareConfliction(), reportprefix::networkSpeedTest(),
              reportprefix::networkServer(), reportprefix::networkConfig(), reportprefix::zip()})
            names << prefix.mid(prefix.lastIndexOf(QLatin1Char('/')) + 1);
        return names;
    }();
    return prefixes;
}

// The logging library's suffix: date-time and process id.
const QRegularExpression &suffixPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}\\.(\\d+)$"));
    return pattern;
}

QString processIdOf(const QString &fileName) { return fileName.mid(fileName.lastIndexOf(QLatin1Char('.')) + 1); }

// Where the last run of a report begins: each run of an action opens its
// report with the same record; the server report's runs are closed by one
// instead.
int lastRunStart(ReportKind kind, const QVector<reportrecords::Record> &records)
{
    if (kind == ReportKind::NetworkServer) {
        for (int i = records.size() - 1; i > 0; --i) {
            if (records.at(i - 1).is("mainwindow.cpp", 364))
                return i;
        }
        return 0;
    }
    // In the order of ReportKind; the server report's entry is not used.
    struct Opening { const char *file; int line; };
    static const Opening openings[kKinds] = {
        {"displaysystemrelatedinfo.cpp", 76},  {"displaysystemrelatedinfo.cpp", 464}, {"mainwindow.cpp", 155},
        {"mainwindow.cpp", 364},               {"displaysystemrelatedinfo.cpp", 366}, {"displaysystemrelatedinfo.cpp", 576}};
    const Opening &opening = openings[int(kind)];
    for (int i = records.size() - 1; i >= 0; --i) {
        if (records.at(i).is(opening.file, opening.line))
            return i;
    }
    return records.size(); // no run began here
}

Report lastRunOf(ReportKind kind, const QString &name, const QByteArray &content)
{
    const QVector<reportrecords::Record> records = reportrecords::parse(content);
    const int start = lastRunStart(kind, records);
    return {name, records.mid(start), start > 0 ? records.at(start - 1).stamp : QString()};
}

// The address tests' report counts only with the server tests of the same
// network run: from the same process, and not from before the server
// report's previous run. A run without a settings file writes none, and an
// older one would speak for it.
bool sameNetworkRun(const Report &speedTest, const Report &server)
{
    if (speedTest.run.isEmpty() || processIdOf(speedTest.name) != processIdOf(server.name))
        return false;
    return server.stampBeforeRun.isEmpty() || speedTest.run.first().stamp > server.stampBeforeRun;
}

// "Copying logs from <installation>/logs to ...": the first folder the
// zip step copies is the installation's log folder.
QString installationFolderOf(const Report &zip)
{
    static const QRegularExpression copying(QStringLiteral("^Copying logs from (.+)/logs to "));
    for (const reportrecords::Record &record : zip.run) {
        if (!record.is("displaysystemrelatedinfo.cpp", 528))
            continue;
        const QRegularExpressionMatch match = copying.match(record.text);
        if (match.hasMatch())
            return match.captured(1);
    }
    return QString();
}

} // namespace

std::optional<ReportKind> kindOfName(const QString &fileName)
{
    const QStringList &prefixes = namePrefixes();
    for (int kind = 0; kind < prefixes.size(); ++kind) {
        if (fileName.startsWith(prefixes.at(kind))
            && suffixPattern().match(fileName.midRef(prefixes.at(kind).size())).hasMatch())
            return ReportKind(kind);
    }
    return std::nullopt;
}

void NewestReports::offer(const QString &fileName, const QByteArray &content)
{
    const std::optional<ReportKind> kind = kindOfName(fileName);
    if (!kind)
        return;
    Kept candidate{fileName, reportrecords::lastStamp(content), content};
    std::optional<Kept> &kept = m_kept[int(*kind)];
    // Time stamps sort as the times do; the name (creation time, then
    // process id) only breaks ties.
    if (!kept || std::make_pair(candidate.lastStamp, candidate.name) > std::make_pair(kept->lastStamp, kept->name))
        kept = std::move(candidate);
}

bool NewestReports::isEmpty() const
{
    for (const std::optional<Kept> &kept : m_kept) {
        if (kept)
            return false;
    }
    return true;
}

ReportSet NewestReports::reportSet(const QString &installationFolder) const
{
    std::optional<Report> reports[kKinds];
    for (int kind = 0; kind < kKinds; ++kind) {
        if (m_kept[kind])
            reports[kind] = lastRunOf(ReportKind(kind), m_kept[kind]->name, m_kept[kind]->content);
    }
    ReportSet set;
    set.hardware = reports[int(ReportKind::Hardware)];
    set.software = reports[int(ReportKind::SoftwareConfliction)];
    set.speedTest = reports[int(ReportKind::NetworkSpeedTest)];
    set.server = reports[int(ReportKind::NetworkServer)];
    set.config = reports[int(ReportKind::NetworkConfig)];
    set.zip = reports[int(ReportKind::Zip)];
    if (set.speedTest && set.server && !sameNetworkRun(*set.speedTest, *set.server))
        set.speedTest.reset();
    set.installationFolder = installationFolder;
    if (set.installationFolder.isEmpty() && set.zip)
        set.installationFolder = installationFolderOf(*set.zip);
    return set;
}

} // namespace findings
