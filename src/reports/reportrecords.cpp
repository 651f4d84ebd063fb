#include "reports/reportrecords.h"

#include <QTextCodec>
#include <QTextDecoder>

#include <cstring>

namespace reportrecords {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Past the digits from at; at itself when there is none.
int pastDigits(const QString &line, int at)
{
    while (at < line.size() && isDigit(line.at(at)))
        ++at;
    return at;
}

// The logging library's prefix: level, date, time, thread, file:line, as in
// "I20240501 10:15:00.123456  4242 displaysystemrelatedinfo.cpp:143] ".
bool readPrefix(const QString &line, Record &record)
{
    // Level, then "yyyymmdd hh:mm:ss.uuuuuu" at fixed places.
    static const char layout[] = "L99999999 99:99:99.999999";
    constexpr int kStampEnd = int(sizeof layout) - 1;
    if (line.size() <= kStampEnd || !QStringLiteral("IWEF").contains(line.at(0)))
        return false;
    for (int i = 1; i < kStampEnd; ++i) {
        if (layout[i] == '9' ? !isDigit(line.at(i)) : line.at(i) != QLatin1Char(layout[i]))
            return false;
    }
    int at = kStampEnd;
    while (at < line.size() && line.at(at) == QLatin1Char(' '))
        ++at;
    const int threadEnd = pastDigits(line, at);
    if (at == kStampEnd || threadEnd == at || threadEnd >= line.size() || line.at(threadEnd) != QLatin1Char(' '))
        return false;
    const int fileStart = threadEnd + 1;
    int fileEnd = fileStart;
    while (fileEnd < line.size() && line.at(fileEnd) != QLatin1Char(' ') && line.at(fileEnd) != QLatin1Char(':')
           && line.at(fileEnd) != QLatin1Char(']'))
        ++fileEnd;
    if (fileEnd == fileStart || fileEnd >= line.size() || line.at(fileEnd) != QLatin1Char(':'))
        return false;
    const int lineEnd = pastDigits(line, fileEnd + 1);
    if (lineEnd == fileEnd + 1 || lineEnd >= line.size() || line.at(lineEnd) != QLatin1Char(']'))
        return false;
    int textStart = lineEnd + 1;
    if (textStart < line.size() && line.at(textStart) == QLatin1Char(' '))
        ++textStart;
    record.level = line.at(0);
    record.stamp = line.mid(1, kStampEnd - 1);
    record.file = line.mid(fileStart, fileEnd - fileStart);
    record.line = line.midRef(fileEnd + 1, lineEnd - fileEnd - 1).toInt();
    record.text = line.mid(textStart);
    return true;
}

} // namespace

RecordReader::RecordReader(Sink sink) : m_sink(std::move(sink)) {}

RecordReader::~RecordReader() = default;

void RecordReader::add(const char *data, qint64 size)
{
    if (!m_started) {
        const qint64 taken = qMin<qint64>(size, 3 - m_start.size());
        m_start.append(data, int(taken));
        data += taken;
        size -= taken;
        if (m_start.size() < 3)
            return;
        start();
    }
    addText(data, size);
}

void RecordReader::start()
{
    m_started = true;
    int mark = 0;
    if (m_start.startsWith("\xEF\xBB\xBF")) {
        mark = 3;
    } else if (m_start.startsWith("\xFF\xFE") || m_start.startsWith("\xFE\xFF")) {
        mark = 2;
        const char *codec = m_start.at(0) == '\xFF' ? "UTF-16LE" : "UTF-16BE";
        m_decoder.reset(QTextCodec::codecForName(codec)->makeDecoder(QTextCodec::IgnoreHeader));
    }
    addText(m_start.constData() + mark, m_start.size() - mark);
}

void RecordReader::addText(const char *data, qint64 size)
{
    QByteArray converted;
    if (m_decoder) {
        // A piece may end inside a character: the decoder keeps that part.
        converted = m_decoder->toUnicode(data, int(size)).toUtf8();
        data = converted.constData();
        size = converted.size();
    }
    const char *end = data + size;
    while (data < end && !m_tooLong) {
        const char *newline = static_cast<const char *>(std::memchr(data, '\n', size_t(end - data)));
        const char *stop = newline ? newline : end;
        if (m_line.size() + (stop - data) > kMaxRecordBytes) {
            m_tooLong = true;
            return;
        }
        m_line.append(data, int(stop - data));
        if (!newline)
            return;
        endLine();
        data = newline + 1;
    }
}

void RecordReader::endLine()
{
    // A report written on Windows ends its lines in "\r\n", and copied
    // console output may carry more carriage returns: none of them is part
    // of a line.
    int length = m_line.size();
    while (length > 0 && m_line.at(length - 1) == '\r')
        --length;
    const QString line = QString::fromUtf8(m_line.constData(), length);
    const int bytes = m_line.size() + 1;
    m_line.clear();
    Record next;
    if (readPrefix(line, next)) {
        handOn();
        m_record = std::move(next);
        m_inRecord = true;
        m_recordBytes = bytes;
    } else if (m_inRecord) {
        m_recordBytes += bytes;
        if (m_recordBytes > kMaxRecordBytes) {
            m_tooLong = true;
            return;
        }
        m_record.text += QLatin1Char('\n') + line;
    }
}

void RecordReader::handOn()
{
    if (m_inRecord && !m_tooLong)
        m_sink(m_record);
    m_inRecord = false;
}

void RecordReader::finish()
{
    if (!m_started)
        start();
    m_line.clear(); // cut off: not read
    handOn();
}

QVector<Record> parse(const QByteArray &content)
{
    QVector<Record> records;
    RecordReader reader([&records](const Record &record) { records.append(record); });
    reader.add(content.constData(), content.size());
    reader.finish();
    return records;
}

} // namespace reportrecords
