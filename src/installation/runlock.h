#pragma once
// One run at a time in an installation folder. Two runs at once would
// write into each other's reports, copies and scratch files, so every run
// that writes there first takes this lock and holds it until the process
// ends. The lock is the system's own and dies with its process: a run that
// crashed or was killed leaves nothing that blocks the next one.
//
// On Linux the installation folder itself is locked (flock on the folder,
// opened read-only): nothing is created, nothing is left behind, and no
// link can be followed to some other file. On Windows, where a folder
// cannot be locked that way, the file "SupportTool.lock" in it is held open
// with no sharing and removed by the system when its handle closes.

#include <QString>

namespace runlock {

enum class Outcome {
    Held,        // this process holds the lock until it ends
    Busy,        // another run holds it: this run must change nothing
    Unavailable, // the folder offers no lock (a file system without locks): the run goes on unguarded
};

// Takes the lock of folder for the rest of the process's life; reason says
// why it is unavailable.
Outcome takeForProcess(const QString &folder, QString *reason);

// The message for a run that finds the lock busy.
QString busyMessage(const QString &folder);

} // namespace runlock
