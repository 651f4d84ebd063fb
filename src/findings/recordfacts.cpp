#include "findings/recordfacts.h"

#include <QRegularExpression>
#include <QSet>

namespace findings::facts {

namespace {

constexpr int kNamesListed = 10;

} // namespace

const reportrecords::Record *record(const std::optional<Report> &report, int line, const char *file)
{
    return report ? report->last(line, file) : nullptr;
}

std::optional<double> number(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+([.,]\\d+)?$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch())
        return std::nullopt;
    // PowerShell writes the decimal separator of the user's language.
    return QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

std::optional<LabelledNumber> labelledNumber(const QString &text, const QString &label)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0 || line.leftRef(colon).trimmed() != label)
            continue;
        const std::optional<double> value = number(line.mid(colon + 1));
        if (!value)
            return std::nullopt;
        return LabelledNumber{*value, line.simplified()};
    }
    return std::nullopt;
}

QString shortNumber(double value) { return QString::number(value, 'g', 10); }

QVector<QMap<QString, QString>> formatListBlocks(const QString &text)
{
    QVector<QMap<QString, QString>> blocks;
    bool inBlock = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            inBlock = false;
            continue;
        }
        const int colon = line.indexOf(QLatin1String(" : "));
        if (colon <= 0 || line.at(0).isSpace())
            continue;
        if (!inBlock)
            blocks.append(QMap<QString, QString>());
        inBlock = true;
        blocks.last().insert(line.left(colon).trimmed(), line.mid(colon + 3).trimmed());
    }
    return blocks;
}

QString quoted(const QMap<QString, QString> &block, const QStringList &labels)
{
    QStringList parts;
    for (const QString &label : labels) {
        if (block.contains(label))
            parts << label + QStringLiteral(" : ") + block.value(label);
    }
    return parts.join(QStringLiteral(", "));
}

QString nameList(const QStringList &names)
{
    QStringList distinct;
    QSet<QString> seen;
    for (const QString &name : names) {
        if (!seen.contains(name)) {
            seen.insert(name);
            distinct << name;
        }
    }
    const QString listed = distinct.mid(0, kNamesListed).join(QStringLiteral(", "));
    return distinct.size() > kNamesListed ? listed + QStringLiteral(" and %1 more").arg(distinct.size() - kNamesListed)
                                          : listed;
}

QString oneLine(const QString &text)
{
    const int lineEnd = text.indexOf(QLatin1Char('\n'));
    QString value = (lineEnd < 0 ? text : text.mid(lineEnd + 1)).simplified();
    // Without the closing run of ten hyphens or more and the blank before
    // it. Counted back from the end: an expression looking for the run
    // from every position takes quadratic time over a long one (seconds
    // for 256 KB in the Windows build under Wine).
    int end = value.size();
    while (end > 0 && value.at(end - 1) == QLatin1Char('-'))
        --end;
    if (value.size() - end >= 10) {
        if (end > 0 && value.at(end - 1) == QLatin1Char(' '))
            --end;
        value.truncate(end);
    }
    return value;
}

Evidence evidenceOf(const Report &report, const reportrecords::Record &record, const QString &value)
{
    return {report.name, record.place(), value.simplified()};
}

QVector<Volume> volumes(const QString &recordText)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Path: (.+) TotalGBytes: (-?\\d+)GB UsedGBytes: -?\\d+GB AvailableGBytes: (-?\\d+)GB$"));
    QVector<Volume> result;
    for (const QString &line : recordText.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = pattern.match(line);
        if (match.hasMatch())
            result.append({match.captured(1), match.captured(2).toLongLong(), match.captured(3).toLongLong(), line});
    }
    return result;
}

bool fromWindows(const ReportSet &reports)
{
    const reportrecords::Record *volumeRecord = record(reports.hardware, 202);
    if (!volumeRecord)
        return false;
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:/$"));
    for (const Volume &volume : volumes(volumeRecord->text)) {
        if (driveRoot.match(volume.root).hasMatch())
            return true;
    }
    return false;
}

} // namespace findings::facts
