#include "reporttexts.h"

#include "records/records.h"

namespace testsupport {

namespace {

const QString kNotices = QStringLiteral("\n**NOTICE: wwbizsrv is a background process of Ali Wang Wang**"
                                        "\n**Process which starts with GPP is GamePP related process**\n");

// A record whose text runs to its end lost a final line feed, if it had one.
void expectUnclosed(TextPattern &pattern, const QList<Record> &report, int line, const QString &heading)
{
    const std::optional<QString> text = framedText(report, line, heading, QString());
    if (!text) {
        pattern.literal(QStringLiteral("<no record %1>").arg(line));
        return;
    }
    pattern.literal(*text).optional(QStringLiteral("\n"));
}

// The framed text of found, or any text shorter than minimum when the
// record saying there is none stands in its place.
void expectFramedOrShort(TextPattern &pattern, const QList<Record> &report, int found, const QString &heading,
                         const QString &closing, int noneLine, int minimum)
{
    if (const std::optional<QString> text = framedText(report, found, heading, closing))
        pattern.literal(*text);
    else if (inspectionRecord(report, noneLine))
        pattern.anyUpTo(minimum - 1);
    else
        pattern.literal(QStringLiteral("<neither record %1 nor %2>").arg(found).arg(noneLine));
}

} // namespace

std::optional<Record> inspectionRecord(const QList<Record> &report, int line)
{
    for (const Record &record : report) {
        if (record.level == QLatin1Char('I') && record.file == QLatin1String(records::kInspection)
            && record.line == line)
            return record;
    }
    return std::nullopt;
}

std::optional<QString> framedText(const QList<Record> &report, int line, const QString &heading,
                                  const QString &closing)
{
    const std::optional<Record> record = inspectionRecord(report, line);
    if (!record || !record->text.startsWith(heading) || !record->text.endsWith(closing)
        || record->text.size() < heading.size() + closing.size())
        return std::nullopt;
    return record->text.mid(heading.size(), record->text.size() - heading.size() - closing.size());
}

QStringList hardwarePaneTexts(const QList<Record> &hardwareReport)
{
    const QString separator = records::separator();
    const struct
    {
        int line;
        QString heading;
    } framed[] = {{76, QStringLiteral("CHECKING CPU INFORMATION......\n")},
                  {126, QStringLiteral("CHECKING GPU INFORMATION......\n")},
                  {324, QStringLiteral("CHECKING GRAPHIC DRIVER TDR INFORMATION......\n")},
                  {143, QStringLiteral("MEMORY CHECKING.......\n")},
                  {162, QStringLiteral("CHECKING VIRTURAL MEMMORY INFORMATION......\n")}};
    QStringList texts;
    for (const auto &check : framed) {
        const std::optional<QString> text = framedText(hardwareReport, check.line, check.heading, separator);
        if (!text)
            return {};
        texts << *text;
    }

    // The disk text is the physical lines (each ending in a line feed, the
    // last one lost to the library) and the volume lines, less the final
    // line feed.
    const QString physicalHeading = QStringLiteral("Physical disk drive Point of view:");
    const std::optional<QString> physical = framedText(hardwareReport, 182, physicalHeading, QString());
    const std::optional<QString> volumes =
        framedText(hardwareReport, 202, QStringLiteral("Logical disk drive point of view:\n"), records::bareSeparator());
    if (!physical || !volumes || (!physical->isEmpty() && !physical->startsWith(QLatin1Char('\n'))))
        return {};
    const QString disks = (physical->isEmpty() ? QString() : physical->mid(1) + QLatin1Char('\n')) + *volumes;
    texts << disks.left(disks.size() - 1);

    const std::optional<QString> screens =
        framedText(hardwareReport, 300, QStringLiteral("CHECKING SCREEN SIZE INFORMATION......\n"), separator);
    const std::optional<QString> updates = framedText(
        hardwareReport, 313, QStringLiteral("CHECKING SYSTEM UPDATE VERSION INFORMATION......\n"), records::bareSeparator());
    if (!screens || !updates)
        return {};
    return texts << *screens << *updates;
}

void expectProcessText(TextPattern &pattern, const QList<Record> &softwareReport)
{
    expectFramedOrShort(pattern, softwareReport, 468, kNotices, records::bareSeparator(), 466, 5);
}

void expectConfigurationTexts(TextPattern &pattern, const QList<Record> &configurationReport)
{
    const QString lineFeed(QLatin1Char('\n'));
    if (inspectionRecord(configurationReport, 373))
        expectUnclosed(pattern, configurationReport, 373, QStringLiteral("Firewall Configuration: "));
    else
        expectFramedOrShort(pattern, configurationReport, 373, QString(), QString(), 371, 5);
    pattern.literal(lineFeed);
    expectFramedOrShort(pattern, configurationReport, 384, QStringLiteral("Tessaly related firewall rules: \n"),
                        records::shortSeparator(), 381, 10);
    pattern.literal(lineFeed);
    expectUnclosed(pattern, configurationReport, 441, QStringLiteral("Network Status: \n"));
    pattern.literal(lineFeed);
    expectFramedOrShort(pattern, configurationReport, 451, QStringLiteral("VPN Info: \n"), records::separator(), 448, 5);
}

} // namespace testsupport
