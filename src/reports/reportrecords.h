#pragma once
// Reading a report file back into its records: the logging library's
// header, then one record per message, each opened by a prefix line
// "I20240501 10:15:00.123456 4242 file.cpp:143] text" and continued by
// plain lines. Pure: the bytes come from a file or an archive entry.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace reportrecords {

struct Record
{
    QChar level;        // 'I', 'W', 'E' or 'F'
    QString stamp;      // "20240501 10:15:00.123456": sorts as the time does
    QString file;       // source file, such as "displaysystemrelatedinfo.cpp"
    int line = 0;       // source line
    QString text;       // the message, continuation lines joined with "\n"

    // "displaysystemrelatedinfo.cpp:143", as support scripts search for it.
    QString place() const { return file + QLatin1Char(':') + QString::number(line); }
    bool is(const char *sourceFile, int sourceLine) const { return line == sourceLine && file == QLatin1String(sourceFile); }
};

// The records of a report file's content (UTF-8), in order; lines before
// the first record (the header) are not records.
QVector<Record> parse(const QByteArray &content);

// The time stamp of the last record, found without parsing the rest; empty
// when the content holds no record.
QString lastStamp(const QByteArray &content);

} // namespace reportrecords
