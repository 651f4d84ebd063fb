#pragma once
// A generated tree of log files in the shape the host application and the
// tool leave behind: many files of mixed sizes in a few sub-folders, filled
// with varied, compressible log lines. The same seed gives the same tree.

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace logtree {

struct Totals
{
    int files = 0;
    qint64 bytes = 0;
};

// About `bytes` of log lines, whole lines only, "\r\n"-ended as the host
// application writes them; `clock` is the running timestamp in milliseconds.
QByteArray logText(qint64 bytes, QRandomGenerator &random, qint64 &clock);

// Fills folder with files whose sizes spread between 1 KB and 4 MB (evenly
// on a logarithmic scale, as real log folders are mostly small files with
// a few big ones) until less than 1 KB of `bytes` is left, spread over the given
// sub-folders ("" is the folder itself). Returns what was written.
Totals fill(const QString &folder, const QStringList &subFolders, qint64 bytes, quint32 seed);

} // namespace logtree
