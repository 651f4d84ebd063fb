#pragma once
// Output helpers of the stand-in shells. Windows console tools end their
// lines with "\r\n", and the checks cut the output at exactly those line
// ends, so every line a stand-in prints ends that way.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace standin {

// The lines joined with "\r\n" after each, as a console tool prints them.
QByteArray crlfLines(const QStringList &lines);

// Writes to standard output / standard error, encoded for the local code page.
void writeOut(const QByteArray &bytes);
void writeOutLines(const QStringList &lines);
void writeError(const QString &text);

// A field printed left-aligned in width characters, padded with blanks on
// the right and never cut (the "{0,-25}" of .NET formatting).
QString padRight(const QString &text, int width);

// A number as [math]::Round(value, decimals) prints it: rounded half away
// from zero, without trailing zeros, "." as the decimal mark.
QString roundedNumber(double value, int decimals);

// The whole content of a (usually /proc or /sys) file, or an empty text.
QString readText(const QString &path);
// The same, trimmed of surrounding white space.
QString readTrimmed(const QString &path);

} // namespace standin

namespace standin {
// For a command this stand-in cannot answer yet: an error on standard error
// and a non-zero exit code, as the real shell gives for a failing command.
int notAnswered(const QString &command);
} // namespace standin
