#pragma once
// The cutting helpers the checks use to turn a tool's formatted output into
// a check text. They never read past the end of the text: a line or field
// that is not there is an empty text.

#include <QString>
#include <QStringList>

namespace textcut {

// Splits at every "\r\n", keeping empty parts: "" gives one empty line and a
// text ending in "\r\n" a final empty line.
QStringList splitLines(const QString &text);
// Splits at every "\n", keeping empty parts.
QStringList splitLinesLf(const QString &text);
// The element at index, or an empty text when the list is shorter.
QString at(const QStringList &parts, int index);
// Without the first / last count characters (empty when too short).
QString dropFirst(const QString &text, int count);
QString dropLast(const QString &text, int count);
// Without any carriage return.
QString withoutCarriageReturns(const QString &text);

} // namespace textcut
