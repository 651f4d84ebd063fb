#include "installation/settingsgroups.h"

namespace settingsgroups {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Where the value stands in raw (the text after "="): its text as written,
// without the blanks around it and without a comment after it.
struct Span
{
    int start = 0;
    int length = 0;
};

// The index of the quote that closes the one at open, or -1. Inside, a
// backslash before a quote or a backslash takes that character as text.
int closingQuote(const QString &raw, int open)
{
    for (int i = open + 1; i < raw.size(); ++i) {
        if (raw.at(i) == QLatin1Char('"'))
            return i;
        if (raw.at(i) == QLatin1Char('\\') && i + 1 < raw.size()
            && (raw.at(i + 1) == QLatin1Char('"') || raw.at(i + 1) == QLatin1Char('\\')))
            ++i;
    }
    return -1;
}

Span valueSpan(const QString &raw)
{
    int start = 0;
    while (start < raw.size() && raw.at(start).isSpace())
        ++start;
    // A ";" after a blank starts a comment, but not inside the quotes of a
    // quoted value.
    int from = start + 1;
    if (start < raw.size() && raw.at(start) == QLatin1Char('"')) {
        const int close = closingQuote(raw, start);
        if (close >= 0)
            from = close + 1;
    }
    int end = raw.size();
    for (int i = from; i < raw.size(); ++i) {
        if (raw.at(i) == QLatin1Char(';') && isBlank(raw.at(i - 1))) {
            end = i;
            break;
        }
    }
    while (end > start && raw.at(end - 1).isSpace())
        --end;
    return {start, end - start};
}

// A value as written (see valueSpan) wholly in double quotes, without them
// and with \" and \\ read; anything else as written.
QString valueOf(const QString &written)
{
    if (!written.startsWith(QLatin1Char('"')) || closingQuote(written, 0) < 0)
        return written; // no closing quote: the quote is part of what the user wrote
    QString unquoted;
    for (int i = 1; i < written.size(); ++i) {
        const QChar c = written.at(i);
        if (c == QLatin1Char('"'))
            break;
        if (c == QLatin1Char('\\') && i + 1 < written.size()
            && (written.at(i + 1) == QLatin1Char('"') || written.at(i + 1) == QLatin1Char('\\')))
            unquoted.append(written.at(++i));
        else
            unquoted.append(c);
    }
    return unquoted;
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
                const QString raw = line.mid(equals + 1);
                const Span span = valueSpan(raw);
                entry.value = valueOf(raw.mid(span.start, span.length));
                entry.valueStart = start + equals + 1 + span.start;
                entry.valueLength = span.length;
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
