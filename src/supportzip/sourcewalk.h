#pragma once
// The sources SupportToolBatch --read reads for the paths it is given. An
// archive, a report folder (one that holds a file named like a report) and
// an installation folder (one that holds logs/SupportTool) each stand for
// themselves, as does anything that cannot be listed. Any other folder
// stands for the archives (*.zip) and report folders below it: each folder
// below is judged the same way, and the entries of a folder are taken in
// the order of their names, files and folders alike. A folder below which
// none is found stands for itself, and is refused as one without reports.
//
// The walk goes one entry at a time and holds only the names listed in the
// folders it is in, however many sources it finds.

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace findings {

struct ReadSource
{
    QString path;       // as shown (native separators) and as read
    bool given = false; // one of the paths given itself, not one found below it
    QString problem;    // when set, why it is refused without being read
};

// How deep below a given folder the walk searches: a folder further down is
// not searched but refused, so that a chain of folders without end (a loop
// made by a junction or mount) ends the walk with a word, not silently.
inline constexpr int kMaxSearchDepth = 16;

class SourceWalk
{
public:
    explicit SourceWalk(const QStringList &paths);

    // The next source, or nothing after the last.
    std::optional<ReadSource> next();

private:
    struct Level
    {
        QString folder;
        QStringList names; // in name order
        int at = 0;
        int depth = 0; // 0 for the given folder
    };

    // The source the entry at the top level stands for, if any; it may push
    // a level of its own.
    std::optional<ReadSource> visit(const QString &name);

    QStringList m_paths;
    int m_nextPath = 0;
    QVector<Level> m_levels;
    bool m_foundBelow = false; // the given folder being walked stood for a source
};

} // namespace findings
