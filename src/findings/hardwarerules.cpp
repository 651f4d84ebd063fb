// The rules over the hardware report: graphics capability, the graphics
// driver's time-out, memory, page file and free disk space.

#include "findings/findingrules.h"
#include "findings/recordfacts.h"
#include "reports/reportset.h"

#include <QRegularExpression>

namespace findings::rules {

namespace {

using reportrecords::Record;

QVector<Hit> hitAt(const ReportSet &reports, const Record &record, const QString &value,
                   const QString &valueField = QString())
{
    Hit hit{{}, facts::evidenceOf(*reports.hardware, record, value), QString()};
    if (!valueField.isEmpty())
        hit.fields.append({QStringLiteral("value"), valueField});
    return {hit};
}

// A labelled figure of the memory record below the limit.
QVector<Hit> memoryBelow(const ReportSet &reports, const Limits &limits, const QString &label)
{
    const Record *record = facts::record(reports.hardware, 143);
    if (!record)
        return {};
    const std::optional<facts::LabelledNumber> figure = facts::labelledNumber(record->text, label);
    if (!figure || figure->value >= limits.value)
        return {};
    return hitAt(reports, *record, figure->line, facts::shortNumber(figure->value));
}

bool sameRoot(const QString &a, const QString &b, bool windows)
{
    return a.compare(b, windows ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

// The volume whose root is the longest one holding path.
const facts::Volume *volumeHolding(const QVector<facts::Volume> &volumes, const QString &path, bool windows)
{
    const facts::Volume *best = nullptr;
    for (const facts::Volume &volume : volumes) {
        QString root = volume.root;
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        const bool holds = sameRoot(path, volume.root, windows)
            || path.startsWith(root, windows ? Qt::CaseInsensitive : Qt::CaseSensitive);
        if (holds && (!best || volume.root.size() > best->root.size()))
            best = &volume;
    }
    return best;
}

} // namespace

QVector<Hit> d3d12Unsupported(const ReportSet &reports, const Limits &)
{
    const Record *record = facts::record(reports.hardware, 486);
    return record ? hitAt(reports, *record, record->text) : QVector<Hit>();
}

QVector<Hit> raytracingUnsupported(const ReportSet &reports, const Limits &)
{
    if (!facts::record(reports.hardware, 489))
        return {};
    const Record *record = facts::record(reports.hardware, 499);
    return record ? hitAt(reports, *record, record->text.section(QLatin1Char('\n'), 0, 0)) : QVector<Hit>();
}

QVector<Hit> tdrDelayShort(const ReportSet &reports, const Limits &limits)
{
    const Record *record = facts::record(reports.hardware, 324);
    if (!record)
        return {};
    static const QRegularExpression delayLine(QStringLiteral("^TdrDelay: (.*)$"),
                                              QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = delayLine.match(record->text);
    if (!match.hasMatch())
        return {};
    const QString printed = match.captured(1).trimmed();
    // Not set: Windows then allows 2 s. Elsewhere an empty value only says
    // the driver's time-out could not be read.
    if (printed.isEmpty()) {
        if (!facts::fromWindows(reports))
            return {};
        return hitAt(reports, *record, match.captured(0), QStringLiteral("not set (the system's default of 2 s applies)"));
    }
    const std::optional<double> seconds = facts::number(printed);
    if (!seconds || *seconds >= limits.value)
        return {};
    return hitAt(reports, *record, match.captured(0), facts::shortNumber(*seconds) + QStringLiteral(" s"));
}

QVector<Hit> gpuMemoryLow(const ReportSet &reports, const Limits &limits)
{
    const Record *record = facts::record(reports.hardware, 126);
    if (!record)
        return {};
    static const QRegularExpression figureLine(QStringLiteral("Total GPU Memory : (.*)GB$"),
                                               QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = figureLine.match(record->text);
    const std::optional<double> gigabytes = match.hasMatch() ? facts::number(match.captured(1)) : std::nullopt;
    // The stand-ins answer 0 where the driver does not tell; on Windows a
    // 0 is a small adapter's rounded figure.
    if (!gigabytes || *gigabytes >= limits.value || (*gigabytes == 0 && !facts::fromWindows(reports)))
        return {};
    return hitAt(reports, *record, match.captured(0), facts::shortNumber(*gigabytes));
}

QVector<Hit> memoryLow(const ReportSet &reports, const Limits &limits)
{
    return memoryBelow(reports, limits, QStringLiteral("TotalMemorySize"));
}

QVector<Hit> memoryAvailableLow(const ReportSet &reports, const Limits &limits)
{
    return memoryBelow(reports, limits, QStringLiteral("AvailableMemorySize"));
}

QVector<Hit> pageFileMissing(const ReportSet &reports, const Limits &)
{
    const Record *record = facts::record(reports.hardware, 162);
    if (!record)
        return {};
    // Below the heading: "AllocatedBaseSize: 2048MB" and two more figures,
    // or, with no page file, the bare units of an empty answer.
    const QStringList lines = record->text.section(QLatin1Char('\n'), 1).split(QLatin1Char('\n'));
    bool onlyUnits = true;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("AllocatedBaseSize: "))) {
            QString size = line.mid(int(qstrlen("AllocatedBaseSize: ")));
            size.chop(size.endsWith(QLatin1String("MB")) ? 2 : 0);
            const std::optional<double> megabytes = facts::number(size);
            if (!megabytes || *megabytes > 0)
                return {};
            return hitAt(reports, *record, line);
        }
        if (line != QLatin1String("MB") && !line.startsWith(QLatin1String("-----")))
            onlyUnits = false;
    }
    return onlyUnits ? hitAt(reports, *record, facts::oneLine(record->text)) : QVector<Hit>();
}

QVector<Hit> diskSpaceLow(const ReportSet &reports, const Limits &limits)
{
    const Record *record = facts::record(reports.hardware, 202);
    if (!record)
        return {};
    const bool windows = facts::fromWindows(reports);
    const QVector<facts::Volume> volumes = facts::volumes(record->text);

    QVector<const facts::Volume *> judged;
    for (const facts::Volume &volume : volumes) {
        if (sameRoot(volume.root, windows ? QStringLiteral("C:/") : QStringLiteral("/"), windows))
            judged.append(&volume);
    }
    if (!reports.installationFolder.isEmpty()) {
        const facts::Volume *holding = volumeHolding(volumes, reports.installationFolder, windows);
        if (holding && !judged.contains(holding))
            judged.append(holding);
    }

    QVector<Hit> hits;
    for (const facts::Volume *volume : judged) {
        if (volume->totalGb <= 0 || volume->totalGb < limits.smallVolume)
            continue;
        const double share = 100.0 * double(volume->availableGb) / double(volume->totalGb);
        if (volume->availableGb >= limits.value && share >= limits.percent)
            continue;
        hits.append({{{QStringLiteral("volume"), volume->root},
                      {QStringLiteral("available"), QString::number(volume->availableGb)},
                      {QStringLiteral("share"), QString::number(share, 'f', 1)}},
                     facts::evidenceOf(*reports.hardware, *record, volume->line),
                     windows ? volume->root.toLower() : volume->root});
    }
    return hits;
}

} // namespace findings::rules
