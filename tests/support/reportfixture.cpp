#include "reportfixture.h"

namespace testsupport {

QVector<FixtureRecord> inspectionRecords(const QVector<records::CheckRecord> &checkRecords)
{
    QVector<FixtureRecord> result;
    for (const records::CheckRecord &record : checkRecords)
        result.append({'I', "displaysystemrelatedinfo.cpp", record.line, record.text, -1});
    return result;
}

FixtureRecord windowRecord(int line, const QString &text, int second)
{
    return {'I', "mainwindow.cpp", line, text, second};
}

QByteArray reportFile(const QVector<FixtureRecord> &records, int startSecond)
{
    QByteArray content = "Log file created at: 2024/05/01 10:00:00\n"
                         "Running on machine: testhost\n"
                         "Running duration (h:mm:ss): 0:00:00\n"
                         "Log line format: [IWEF]yyyymmdd hh:mm:ss.uuuuuu threadid file:line] msg\n";
    int microsecond = 0;
    int second = startSecond;
    for (const FixtureRecord &record : records) {
        if (record.second >= 0)
            second = record.second;
        QByteArray text = record.text.toUtf8();
        if (!text.endsWith('\n'))
            text += '\n';
        content += record.level
            + QStringLiteral("20240501 10:%1:%2.%3  4242 %4:%5] ")
                       .arg(second / 60, 2, 10, QLatin1Char('0'))
                       .arg(second % 60, 2, 10, QLatin1Char('0'))
                       .arg(++microsecond, 6, 10, QLatin1Char('0'))
                       .arg(QLatin1String(record.file))
                       .arg(record.line)
                       .toUtf8()
            + text;
    }
    return content;
}

QString reportName(const QString &kindPrefix, int second, int processId)
{
    return kindPrefix
        + QStringLiteral("20240501-10%1%2.%3")
              .arg(second / 60, 2, 10, QLatin1Char('0'))
        .arg(second % 60, 2, 10, QLatin1Char('0'))
        .arg(processId);
}

} // namespace testsupport
