#include "reports/reportrecords.h"

#include <QTextCodec>
#include <QTextDecoder>

#include <cstring>

namespace reportrecords {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Past the digits from at; at itself when there is none.
int pastDigits(const char *line, int size, int at)
{
    while (at < size && isDigit(line[at]))
        ++at;
    return at;
}

// The logging library's prefix: level, date, time, thread, file:line, as in
// "I20240501 10:15:00.123456  4242 displaysystemrelatedinfo.cpp:143] ".
// Fills record but its text, and returns where the text begins; -1 when
// the line opens no record. On the bytes: almost every line that is not a
// prefix fails at its first ones, before anything is decoded.
int readPrefix(const char *line, int size, Record &record)
{
    // Level, then "yyyymmdd hh:mm:ss.uuuuuu" at fixed places.
    static const char layout[] = "L99999999 99:99:99.999999";
    constexpr int kStampEnd = int(sizeof layout) - 1;
    if (size <= kStampEnd || !std::strchr("IWEF", line[0]) || line[0] == '\0')
        return -1;
    for (int i = 1; i < kStampEnd; ++i) {
        if (layout[i] == '9' ? !isDigit(line[i]) : line[i] != layout[i])
            return -1;
    }
    int at = kStampEnd;
    while (at < size && line[at] == ' ')
        ++at;
    const int threadEnd = pastDigits(line, size, at);
    if (at == kStampEnd || threadEnd == at || threadEnd >= size || line[threadEnd] != ' ')
        return -1;
    const int fileStart = threadEnd + 1;
    int fileEnd = fileStart;
    while (fileEnd < size && line[fileEnd] != ' ' && line[fileEnd] != ':' && line[fileEnd] != ']')
        ++fileEnd;
    if (fileEnd == fileStart || fileEnd >= size || line[fileEnd] != ':')
        return -1;
    const int lineEnd = pastDigits(line, size, fileEnd + 1);
    if (lineEnd == fileEnd + 1 || lineEnd >= size || line[lineEnd] != ']')
        return -1;
    int textStart = lineEnd + 1;
    if (textStart < size && line[textStart] == ' ')
        ++textStart;
    record.level = QLatin1Char(line[0]);
    record.stamp = QString::fromLatin1(line + 1, kStampEnd - 1);
    record.file = QString::fromUtf8(QByteArray::fromRawData(line + fileStart, fileEnd - fileStart));
    record.line = QByteArray::fromRawData(line + fileEnd + 1, lineEnd - fileEnd - 1).toInt();
    return textStart;
}

} // namespace

RecordReader::RecordReader(Sink sink) : m_sink(std::move(sink))
{
    m_line.reserve(1024); // and so kept when emptied
}

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
    const int bytes = m_line.size() + 1;
    Record next;
    if (const int textStart = readPrefix(m_line.constData(), length, next); textStart >= 0) {
        handOn();
        m_record = std::move(next);
        m_text = QByteArray(m_line.constData() + textStart, length - textStart);
        m_inRecord = true;
        m_recordBytes = bytes;
    } else if (m_inRecord) {
        m_recordBytes += bytes;
        if (m_recordBytes > kMaxRecordBytes) {
            m_tooLong = true;
            return;
        }
        m_text.append('\n').append(m_line.constData(), length);
    }
    // Kept for the next line: most lines fit the room it has already.
    m_line.resize(0);
}

void RecordReader::handOn()
{
    if (m_inRecord && !m_tooLong) {
        m_record.text = QString::fromUtf8(m_text.constData(), m_text.size()); // NUL bytes too
        m_sink(m_record);
    }
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
