#pragma once
// The table --read --summary prints after the findings of its sources: for
// each finding code, how many sources show it and its severity, most
// frequent first (then as findings are listed: most severe first, in the
// rule table's order), and how many sources were read and refused.
//
//   Sources: 3, read: 2, refused: 1
//   Sources  Severity  Finding
//         2  warning   memory-low
//         1  critical  firewall-blocks-tessaly
//
// ("No source shows a finding" in place of the table when none does); with
// --json one line per code, {"summary":CODE,"severity":...,"sources":N},
// then {"sources_read":N,"sources_refused":N}.

#include "findings/findings.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace findingssummary {

// The codes one source shows, each once, with their severity.
using Codes = QMap<QString, findings::Severity>;
Codes codesOf(const findings::Review &review);

class Summary
{
public:
    void addRead(const Codes &codes);
    void addRefused() { ++m_refused; }
    int refused() const { return m_refused; }

    QByteArray text() const;
    QByteArray jsonLines() const;

private:
    struct Row
    {
        QString code;
        findings::Severity severity = findings::Severity::Info;
        int sources = 0;
    };
    QVector<Row> rows() const;

    QMap<QString, Row> m_codes;
    int m_read = 0;
    int m_refused = 0;
};

} // namespace findingssummary
