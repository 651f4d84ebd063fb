#include "reports/reportrecords.h"

#include <QRegularExpression>

namespace reportrecords {

namespace {

// The logging library's prefix: level, date, time, thread, file:line.
const QRegularExpression &prefixPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^([IWEF])(\\d{8} \\d\\d:\\d\\d:\\d\\d\\.\\d{6}) +\\d+ ([^ :\\]]+):(\\d+)\\] ?"));
    return pattern;
}

// A cheap test first: almost every line that is not a prefix fails here.
bool mayBePrefix(const QString &line)
{
    return line.size() > 27 && QStringLiteral("IWEF").contains(line.at(0)) && line.at(1).isDigit()
        && line.at(9) == QLatin1Char(' ');
}

// A report written on Windows ends its lines in "\r\n", and copied console
// output may carry more carriage returns: none of them is part of a line.
QString withoutLineEnd(QString line)
{
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

bool readPrefix(const QString &line, Record &record)
{
    if (!mayBePrefix(line))
        return false;
    const QRegularExpressionMatch match = prefixPattern().match(line);
    if (!match.hasMatch())
        return false;
    record.level = match.capturedRef(1).at(0);
    record.stamp = match.captured(2);
    record.file = match.captured(3);
    record.line = match.capturedRef(4).toInt();
    record.text = line.mid(match.capturedEnd(0));
    return true;
}

} // namespace

QVector<Record> parse(const QByteArray &content)
{
    QVector<Record> records;
    const QString text = QString::fromUtf8(content);
    int start = 0;
    while (start < text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QString line = withoutLineEnd(text.mid(start, end - start));
        start = end + 1;
        Record record;
        if (readPrefix(line, record))
            records.append(record);
        else if (!records.isEmpty())
            records.last().text += QLatin1Char('\n') + line;
    }
    return records;
}

QString lastStamp(const QByteArray &content)
{
    int end = content.size();
    while (end > 0) {
        const int start = content.lastIndexOf('\n', end - 1) + 1;
        Record record;
        if (readPrefix(QString::fromUtf8(content.mid(start, qMin(end - start, 200))), record))
            return record.stamp;
        end = start - 1;
    }
    return QString();
}

} // namespace reportrecords
