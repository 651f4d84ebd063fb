#pragma once
// Reading a report file back into its records: the logging library's
// header, then one record per message, each opened by a prefix line
// "I20240501 10:15:00.123456 4242 file.cpp:143] text" and continued by
// plain lines. Pure: the bytes come from a file or an archive entry, whole
// or piece by piece.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class QTextDecoder;

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

// The longest line and the longest record a report may hold. The logging
// library cuts every record at 30000 bytes; this leaves room for a report
// re-saved with "\r\n" line ends. Anything longer was not written by the
// tool, and reading on would only pile it up.
inline constexpr int kMaxRecordBytes = 64 * 1024;

// Reads a report's content handed in piece by piece, and hands on each
// record once it is complete. The content is UTF-8, with or without a
// byte-order mark, or UTF-16 with one (a report re-saved by an editor).
// What it holds at any time is one line and one record, whatever the size
// of the content.
class RecordReader
{
public:
    using Sink = std::function<void(const Record &)>;
    explicit RecordReader(Sink sink);
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    void add(const char *data, qint64 size);
    // The end of the content. A last line without its line end was cut off
    // and is not read: its number or name may be cut short.
    void finish();

    // True once a line or a record was longer than kMaxRecordBytes: from
    // there on nothing more is handed on.
    bool tooLong() const { return m_tooLong; }
    // True when the content began with a byte-order mark of UTF-16.
    bool utf16() const { return m_decoder != nullptr; }

private:
    // Decides the encoding by the byte-order mark and reads what came so far.
    void start();
    void addText(const char *data, qint64 size);
    void endLine();
    void handOn();

    Sink m_sink;
    QByteArray m_start;  // the first bytes, until the byte-order mark is known
    bool m_started = false;
    std::unique_ptr<QTextDecoder> m_decoder; // UTF-16 to UTF-16 code units
    QByteArray m_line;   // the line being read, without its line end
    bool m_inRecord = false;
    Record m_record;     // the record being read
    QByteArray m_text;   // its text so far, decoded once it is complete
    qint64 m_recordBytes = 0;
    bool m_tooLong = false;
};

// The records of a report file's whole content, in order; lines before the
// first record (the header) are not records.
QVector<Record> parse(const QByteArray &content);

} // namespace reportrecords
