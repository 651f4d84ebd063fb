#include "findings/recordfacts.h"

#include <QRegularExpression>

namespace findings::facts {

namespace {

// The runner's warnings of a command that gave no answer, and the probe's.
bool isUnansweredWarning(const reportrecords::Record &record)
{
    static const int lines[] = {41, 42, 43, 44, 45, 481};
    if (record.level != QLatin1Char('W') || record.file != QLatin1String("displaysystemrelatedinfo.cpp"))
        return false;
    return std::find(std::begin(lines), std::end(lines), record.line) != std::end(lines);
}

// Check records end with a row of hyphens; the next check begins after it.
bool closesCheck(const reportrecords::Record &record)
{
    return record.level == QLatin1Char('I') && record.text.endsWith(QLatin1String("----------"));
}

} // namespace

int lastIndex(const Records &run, int line, const char *file)
{
    for (int i = run.size() - 1; i >= 0; --i) {
        if (run.at(i).is(file, line))
            return i;
    }
    return -1;
}

bool answered(const Records &run, int index)
{
    for (int i = index - 1; i >= 0 && !closesCheck(run.at(i)); --i) {
        if (isUnansweredWarning(run.at(i)))
            return false;
    }
    return true;
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

std::optional<double> labelledNumber(const QString &text, const QString &label)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.leftRef(colon).trimmed() == label)
            return number(line.mid(colon + 1));
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

QString oneLine(const QString &text)
{
    const int lineEnd = text.indexOf(QLatin1Char('\n'));
    QString value = (lineEnd < 0 ? text : text.mid(lineEnd + 1)).simplified();
    value.remove(QRegularExpression(QStringLiteral(" ?-{10,}$")));
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
    if (!reports.hardware)
        return false;
    const int index = lastIndex(reports.hardware->run, 202);
    if (index < 0)
        return false;
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:/$"));
    for (const Volume &volume : volumes(reports.hardware->run.at(index).text)) {
        if (driveRoot.match(volume.root).hasMatch())
            return true;
    }
    return false;
}

} // namespace findings::facts
