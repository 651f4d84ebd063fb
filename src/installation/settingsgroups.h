#pragma once
// The groups and entries of the settings file's text, in file order, as a
// user writes them by hand: "[group]" lines, "key=value" lines, comment
// lines starting with ";" or "#". Repeated groups and keys are all kept.
// Values are taken as written, with these exceptions: blanks around them
// are dropped; a ";" after a blank starts a comment; a value wholly in
// double quotes loses its quotes, and inside them \" and \\ stand for " and
// \ (every other backslash is kept, so Windows paths need no doubling).

#include <QString>
#include <QVector>

#include <optional>

namespace settingsgroups {

struct Entry
{
    QString key;
    QString value;
    bool assignment = true; // false: a line without "=", its text in key
    int lineStart = 0;      // where its line starts in the text
    int lineLength = 0;     // its line's length, without the line end
    int valueStart = 0;     // where the value as written starts (after "=" and the blanks after it)
    int valueLength = 0;    // the value as written: quotes included, blanks around and a comment after it not
};

struct Group
{
    QString name;
    int lineStart = 0;  // of the "[name]" line
    int lineLength = 0; // without the line end
    QVector<Entry> entries;
};

struct Text
{
    // Entries before the first group, or under a header without its "]",
    // belong to no group and are not listed.
    QVector<Group> groups;
    QString lineEnd; // the text's first line end ("\r\n", "\n" or "\r"), empty when it has none
};

Text parse(const QString &text);

// Group and key names compare without regard to case, as Windows' own
// settings functions compare them.
bool sameName(const QString &a, const QString &b);

// Every entry of the groups named name, in file order.
QVector<Entry> entriesOf(const Text &text, const QString &name);

// The entry that counts for a key given once per file (the last one, as
// later lines override earlier ones), or none.
std::optional<Entry> lastEntry(const Text &text, const QString &group, const QString &key);

} // namespace settingsgroups
