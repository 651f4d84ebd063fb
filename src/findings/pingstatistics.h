#pragma once
// The statistics lines of ping's output, in the layout of Windows' ping
// ("Packets: Sent = 4, Received = 3, Lost = 1 (25% loss)", after "Pinging
// HOST ...") and of Linux' ping ("--- HOST ping statistics ---", then
// "4 packets transmitted, 3 received, 25% packet loss, time 3004ms"), as
// the address tests' result file holds them, one target after the other.

#include <QString>
#include <QVector>

namespace pingstatistics {

struct Outcome
{
    QString target;
    int sent = 0;
    int received = 0;
    QString line; // the statistics line as written, trimmed
};

// One outcome per statistics line; a target without one (a name that could
// not be resolved) gives none.
QVector<Outcome> outcomes(const QString &pingOutput);

} // namespace pingstatistics
