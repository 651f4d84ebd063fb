#include "findingssummary.h"

#include "findings/findingrules.h"
#include "jsontext.h"

#include <algorithm>

namespace findingssummary {

namespace {

// Where the code stands in the rule table: findings are listed in that
// order within one severity.
int tableOrder(const QString &code)
{
    const QVector<findings::Rule> &table = findings::ruleTable();
    for (int i = 0; i < table.size(); ++i) {
        if (code == QLatin1String(table.at(i).code))
            return i;
    }
    return int(table.size());
}

} // namespace

Codes codesOf(const findings::Review &review)
{
    Codes codes;
    for (const findings::Finding &finding : review.found)
        codes.insert(finding.code, finding.severity);
    return codes;
}

void Summary::addRead(const Codes &codes)
{
    ++m_read;
    for (auto code = codes.cbegin(); code != codes.cend(); ++code) {
        Row &row = m_codes[code.key()];
        row.code = code.key();
        row.severity = code.value();
        ++row.sources;
    }
}

QVector<Summary::Row> Summary::rows() const
{
    QVector<Row> rows = m_codes.values().toVector();
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (a.sources != b.sources)
            return a.sources > b.sources;
        if (a.severity != b.severity)
            return int(a.severity) < int(b.severity);
        return tableOrder(a.code) < tableOrder(b.code);
    });
    return rows;
}

QByteArray Summary::text() const
{
    QString text = QStringLiteral("Sources: %1, read: %2, refused: %3\n").arg(m_read + m_refused).arg(m_read).arg(m_refused);
    const QVector<Row> table = rows();
    if (table.isEmpty())
        return (text + QStringLiteral("No source shows a finding\n")).toUtf8();
    const int width = qMax(int(QStringLiteral("Sources").size()), int(QString::number(table.first().sources).size()));
    text += QStringLiteral("%1  Severity  Finding\n").arg(QStringLiteral("Sources"), width);
    for (const Row &row : table)
        text += QStringLiteral("%1  %2  %3\n").arg(row.sources, width).arg(findings::severityName(row.severity), -8).arg(row.code);
    return text.toUtf8();
}

QByteArray Summary::jsonLines() const
{
    QByteArray lines;
    for (const Row &row : rows())
        lines += jsontext::object({{"summary", row.code},
                                   {"severity", findings::severityName(row.severity)},
                                   {"sources", row.sources}})
               + '\n';
    return lines + jsontext::object({{"sources_read", m_read}, {"sources_refused", m_refused}}) + '\n';
}

} // namespace findingssummary
