#pragma once
// The target list of the address tests: "ipconfig.txt" in the working
// folder, one value per line, read the way the Windows console's
// "for /f" loop reads a file. Header-only, because the stand-in cmd reads
// the list by the very same rule the tool uses to size its time limits.

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pingtargets {

inline QString listFileName() { return QStringLiteral("ipconfig.txt"); }

// The targets of a list text: lines that are empty or start with ";" are
// skipped; of every other line the first blank- or tab-delimited word is
// the target (a line of blanks only has none).
inline QStringList targetsOf(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r?\n"));
    static const QRegularExpression delimiters(QStringLiteral("[ \t\r]+"));
    QStringList targets;
    for (const QString &line : text.split(lineEnd)) {
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const QString word = line.section(delimiters, 0, 0, QString::SectionSkipEmpty);
        if (!word.isEmpty())
            targets << word;
    }
    return targets;
}

// Every target is pinged four times and its route traced, which takes up
// to minutes each; a list longer than this is cut, with a record saying so,
// so that a mistaken settings file cannot keep the action busy for days.
constexpr int kMaxTargets = 50;
// No host name (253 characters at most) or address is longer than this; a
// longer word is a mistake, and would only flood the console and the pane.
constexpr int kMaxTargetLength = 253;

} // namespace pingtargets
