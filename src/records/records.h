#pragma once
// Writing run-log records. Every record carries a fixed source file and line
// that support scripts search for, so callers name them explicitly instead
// of relying on where the statement happens to stand.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace records {

// Source files the records are attributed to.
inline constexpr const char *kMain = "main.cpp";
inline constexpr const char *kMainWindow = "mainwindow.cpp";
inline constexpr const char *kInspection = "displaysystemrelatedinfo.cpp";

enum class Level { Info, Warning, Error };

// One record: the text is written as UTF-8.
void write(Level level, const char *file, int line, const QString &text);
// One record made of bytes exactly as given (console output copied verbatim).
void writeBytes(Level level, const char *file, int line, const QByteArray &bytes);

inline void info(const char *file, int line, const QString &text) { write(Level::Info, file, line, text); }
inline void warning(const char *file, int line, const QString &text) { write(Level::Warning, file, line, text); }

// Section separators closing a check record.
QString hyphens(int count);
inline QString separator() { return QLatin1Char('\n') + hyphens(96); } // the usual one
inline QString bareSeparator() { return hyphens(96); }                 // after text ending in a line feed
inline QString shortSeparator() { return hyphens(95); }                // after the firewall rules

// An INFO record of the inspection object, composed by a pure shaping
// function so that tests can hold it against the expected text, and
// written afterwards in order.
struct CheckRecord
{
    int line = 0;
    QString text;
    bool operator==(const CheckRecord &other) const { return line == other.line && text == other.text; }
};
void writeChecks(const QVector<CheckRecord> &checkRecords);

// What a shaping function makes of a command's output: the check text
// handed back to the action and the records describing it, in order.
struct ShapedCheck
{
    QString text;
    QVector<CheckRecord> records;
};

// Points the INFO destination (and so the current report) at a prefix.
// The logging library names a report's file by the second of its first
// record and cannot create a file whose name is taken, dropping the records
// meant for it: so when a file of the prefix was begun in the current
// second (the same report run twice within one second), this waits for the
// next second first, in a local event loop on the application's thread.
void switchReport(const QString &prefix);

// The report records go to: the prefix last switched to (empty before the
// first switch, while the records go to the run log's default destination),
// and which switch to a new prefix made it current. Each such switch begins
// a new file, so a prefix switched to again is another report.
struct ReportSession
{
    QString prefix;
    quint64 number = 0;
};
// Safe from any thread.
ReportSession currentReport();

// The name the logging library gives the file it begins under prefix at
// stamp ("yyyyMMdd-HHmmss"): the prefix, the stamp, "." and the process id.
QString reportFileName(const QString &prefix, const QString &stamp);

} // namespace records
