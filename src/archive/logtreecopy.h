#pragma once
// Copying a log folder aside for packing, in two steps: the folder is
// listed first, then what was listed is copied. Logs belong to a program
// that may still be writing, rotating or deleting them, so an entry can be
// gone or be something else by the time it is copied; the copy then skips it
// rather than follow it somewhere else.
//
// Only plain files and folders are taken. Symbolic links (and, on Windows,
// shortcuts and junctions) are left out wherever they point: one pointing
// outside would carry somebody else's files into the archive, one pointing
// inside names a file that is packed under its own name anyway, and a link
// loop cannot run away. Pipes, sockets and devices are left out too: opening
// a pipe nobody writes to would never return. Hidden entries are skipped and
// hidden folders not entered.

#include <QString>
#include <QStringList>
#include <QVector>

namespace logtreecopy {

struct Entry
{
    QString relativePath; // below the listed folder, "/"-separated, no leading "/"
    bool folder = false;
};

// Every visible plain file and folder below source, each folder before what
// it holds. A folder that cannot be read contributes nothing below itself.
QVector<Entry> listVisible(const QString &source);

// What became of one folder's copy.
struct Outcome
{
    bool made = false;      // the target folder exists, so it may be handed to the archiver
    bool complete = true;   // false when a file could not be written in full (a full disk): the packing fails
    bool cancelled = false; // the copy stopped early because the run was cancelled
    QStringList leftOut;    // each file or folder not in the copy, as "path: why"
};

// Copies the listed entries from source into target, which is made first.
// A link standing where a copy goes (a left-over copy may hold them) is
// removed, never written through. An entry that is gone, unreadable or no
// longer a plain file or folder is skipped; every other failure is skipped
// too, so whatever can be copied is. made is false when target itself cannot
// be made, so that nothing at all was copied.
Outcome copyListed(const QString &source, const QVector<Entry> &entries, const QString &target);

// The bytes of the plain files below folder (links not followed): what a
// finished copy hands to the archiver.
qint64 plainFileBytes(const QString &folder);

// Removes a left-over copy at path when it is a link or a file rather than a
// folder, so nothing is copied into, or later deleted from, what it points to.
void clearNonFolder(const QString &path);

} // namespace logtreecopy
