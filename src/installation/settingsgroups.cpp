#include "installation/settingsgroups.h"

namespace settingsgroups {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// A value wholly in double quotes, without them and with \" and \\ read;
// anything else as written, up to a comment after a blank.
QString valueOf(const QString &raw)
{
    const QString value = raw.trimmed();
    if (value.startsWith(QLatin1Char('"'))) {
        QString unquoted;
        for (int i = 1; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c == QLatin1Char('"'))
                return unquoted;
            if (c == QLatin1Char('\\') && i + 1 < value.size()
                && (value.at(i + 1) == QLatin1Char('"') || value.at(i + 1) == QLatin1Char('\\')))
                unquoted.append(value.at(++i));
            else
                unquoted.append(c);
        }
        // No closing quote: the quote is part of what the user wrote.
    }
    for (int i = 1; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char(';') && isBlank(value.at(i - 1)))
            return value.left(i).trimmed();
    }
    return value;
}

} // namespace

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

Text parse(const QString &text)
{
    Text parsed;
    Group *current = nullptr;
    int start = 0;
    while (start <= text.size()) {
        int end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\n') && text.at(end) != QLatin1Char('\r'))
            ++end;
        int next = end;
        if (next < text.size()) {
            next += text.midRef(next, 2) == QLatin1String("\r\n") ? 2 : 1;
            if (parsed.lineEnd.isEmpty())
                parsed.lineEnd = text.mid(end, next - end);
        }
        const QString line = text.mid(start, end - start);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const int close = trimmed.indexOf(QLatin1Char(']'));
            if (close < 0) {
                current = nullptr;
            } else {
                parsed.groups.append({trimmed.mid(1, close - 1).trimmed(), start, end - start, {}});
                current = &parsed.groups.last();
            }
        } else if (current && !trimmed.isEmpty() && !trimmed.startsWith(QLatin1Char(';'))
                   && !trimmed.startsWith(QLatin1Char('#'))) {
            const int equals = line.indexOf(QLatin1Char('='));
            Entry entry;
            entry.lineStart = start;
            entry.lineLength = end - start;
            if (equals < 0) {
                entry.assignment = false;
                entry.key = trimmed;
            } else {
                entry.key = line.left(equals).trimmed();
                entry.value = valueOf(line.mid(equals + 1));
                entry.valueStart = start + equals + 1;
            }
            current->entries.append(entry);
        }
        if (next == end)
            break;
        start = next;
    }
    return parsed;
}

QVector<Entry> entriesOf(const Text &text, const QString &name)
{
    QVector<Entry> entries;
    for (const Group &group : text.groups) {
        if (sameName(group.name, name))
            entries += group.entries;
    }
    return entries;
}

std::optional<Entry> lastEntry(const Text &text, const QString &group, const QString &key)
{
    std::optional<Entry> found;
    for (const Entry &entry : entriesOf(text, group)) {
        if (entry.assignment && sameName(entry.key, key))
            found = entry;
    }
    return found;
}

} // namespace settingsgroups
