#include "reports/reportset.h"

#include "records/reportprefixes.h"
#include "reports/reportreader.h"

#include <QRegularExpression>

#include <utility>

namespace findings {

namespace {

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

// The logging library's suffix: date-time and process id (a number of at
// most ten digits on every system).
const QRegularExpression &suffixPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}\\.(\\d{1,10})$"));
    return pattern;
}

QString processIdOf(const QString &fileName) { return fileName.mid(fileName.lastIndexOf(QLatin1Char('.')) + 1); }

// The address tests' report counts only with the server tests of the same
// network run: from the same process, and not from before the server
// report's previous run. A run without a settings file writes none, and an
// older one would speak for it.
bool sameNetworkRun(const Report &speedTest, const std::optional<Report> &server)
{
    if (!server || speedTest.runStamp.isEmpty() || processIdOf(speedTest.name) != processIdOf(server->name))
        return false;
    return server->stampBeforeRun.isEmpty() || speedTest.runStamp > server->stampBeforeRun;
}

// "Copying logs from <installation>/logs to ...": the first folder the
// zip step copies is the installation's log folder.
QString installationFolderOf(const Report &zip)
{
    static const QRegularExpression copying(QStringLiteral("^Copying logs from (.+)/logs to "));
    for (const reportrecords::Record &record : zip.records) {
        if (!record.is(records::kInspection, 528))
            continue;
        const QRegularExpressionMatch match = copying.match(record.text);
        if (match.hasMatch())
            return match.captured(1);
    }
    return QString();
}

} // namespace

const reportrecords::Record *Report::last(int line, const char *file) const
{
    for (auto record = records.crbegin(); record != records.crend(); ++record) {
        if (record->is(file, line))
            return &*record;
    }
    return nullptr;
}

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
    ReportReader reader(*kind, fileName);
    reader.add(content.constData(), content.size());
    reader.finishInto(this);
}

void NewestReports::offer(ReportKind kind, Report report)
{
    std::optional<Report> &kept = m_kept[int(kind)];
    // Time stamps sort as the times do; the name (creation time, then
    // process id) only breaks ties.
    if (!kept || std::make_pair(report.lastStamp, report.name) > std::make_pair(kept->lastStamp, kept->name))
        kept = std::move(report);
}

void NewestReports::offerUnread(const QString &fileName, const QString &why)
{
    if (m_unread.size() < kMaxUnreadListed)
        m_unread.append({fileName, why});
    else
        ++m_moreUnread;
}

bool NewestReports::isEmpty() const
{
    for (const std::optional<Report> &kept : m_kept) {
        if (kept)
            return false;
    }
    return true;
}

ReportSet NewestReports::reportSet(const QString &installationFolder) const
{
    ReportSet set;
    set.hardware = m_kept[int(ReportKind::Hardware)];
    set.software = m_kept[int(ReportKind::SoftwareConfliction)];
    set.speedTest = m_kept[int(ReportKind::NetworkSpeedTest)];
    set.server = m_kept[int(ReportKind::NetworkServer)];
    set.config = m_kept[int(ReportKind::NetworkConfig)];
    set.zip = m_kept[int(ReportKind::Zip)];
    if (set.speedTest && !sameNetworkRun(*set.speedTest, set.server))
        set.speedTest.reset();
    set.installationFolder = installationFolder;
    if (set.installationFolder.isEmpty() && set.zip)
        set.installationFolder = installationFolderOf(*set.zip);
    set.unread = m_unread;
    set.moreUnread = m_moreUnread;
    return set;
}

} // namespace findings
