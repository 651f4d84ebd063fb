#pragma once
// Copying a log folder aside for packing, in two steps: the folder is
// listed first, then what was listed is copied. Logs belong to a program
// that may still be writing, rotating or deleting them, so an entry can be
// gone or be something else by the time it is copied; the copy then leaves
// it out, and says so, rather than follow it somewhere else.
//
// Only plain files and folders are taken. Symbolic links (and, on Windows,
// shortcuts and junctions) are left out wherever they point: one pointing
// outside would carry somebody else's files into the archive, one pointing
// inside names a file that is packed under its own name anyway, and a link
// loop cannot run away. Pipes, sockets and devices are left out too: opening
// a pipe nobody writes to would never return. These are never part of the
// logs, so leaving them out is not reported. Hidden entries are skipped and
// hidden folders not entered. Names are taken as the file system holds them,
// so a name that is not valid UTF-8 is copied too, under a name that is.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>

namespace logtreecopy {

struct Entry
{
    // Below the listed folder, "/"-separated, no leading "/": the bytes the
    // file system holds (on Windows the UTF-8 of the name).
    QByteArray relativePath;
    // Where it goes in the copy: the same, with every name that is not
    // valid UTF-8 replaced by one that is (see replacementName).
    QString copyPath;
    bool folder = false;
    // Why this folder could not be read, when it could not: nothing below
    // it is listed, and it is left out.
    QString unreadable;
};

// Every visible plain file and folder below source, each folder before what
// it holds. A source that cannot be read at all gives one entry with an
// empty path saying why. Stops early when stop turns true.
QVector<Entry> listVisible(const QString &source, const std::atomic<bool> *stop = nullptr);

// What became of one folder's copy.
struct Outcome
{
    bool made = false;      // the target folder exists, so it may be handed to the archiver
    bool complete = true;   // false when a file could not be written in full (a full disk): the packing fails
    bool cancelled = false; // the copy stopped early because the run was cancelled
    QStringList leftOut;    // each file or folder not in the copy, as "path: why"
    QStringList renamed;    // each entry copied under a name of its own, as "path (escaped) as new name"
};

// Copies the listed entries from source into target. The target is made
// when missing and emptied first, so the copy holds this run's files only;
// a link standing at or in it is removed, never written through or emptied.
// An entry that is gone, unreadable or no longer a plain file or folder
// when its turn comes is left out, and so is a folder whose copy would be
// deeper than the system's paths reach, with all it holds; a file whose copy
// cannot be written in full is removed from the copy, left out, and makes the
// copy incomplete. Links, pipes, sockets, devices and hidden entries are
// never listed, so they are not counted as left out. Stops, with cancelled
// set, when stop turns true. made is false when target cannot be made or
// emptied, so that nothing at all was copied (leftOut then says why, when
// it was the emptying).
Outcome copyListed(const QString &source, const QVector<Entry> &entries, const QString &target,
                   const std::atomic<bool> *stop = nullptr);

// A name or path for a record: bytes that are not valid UTF-8, and control
// characters, shown as \xHH.
QString shownPath(const QByteArray &bytes);
// A valid UTF-8 name for a name that is not: each byte that does not belong
// to a valid character becomes %HH ("bad\xff.log" gives "bad%FF.log").
QString replacementName(const QByteArray &name);

// The bytes of the plain files below folder (links not followed): what a
// finished copy hands to the archiver.
qint64 plainFileBytes(const QString &folder);

// Removes a left-over copy at path when it is a link or a file rather than a
// folder, so nothing is copied into, or later deleted from, what it points to.
void clearNonFolder(const QString &path);

} // namespace logtreecopy
