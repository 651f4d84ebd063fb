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

#include <QByteArray>
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

// A program the run starts as part of it (the writer of the shareable copy)
// is handed the lock: it inherits the run's descriptor of the locked folder
// (on Windows its handle of the lock file), named in this variable of its
// environment. A program started by hand has none and finds the lock busy.
inline QByteArray handOverVariable() { return QByteArrayLiteral("SUPPORTTOOL_RUN_LOCK"); }

// The descriptor (on Windows the handle) of the lock this process holds,
// to hand to such a program; -1 when it holds none.
qintptr heldHandle();

// For such a program: Held when the lock of folder was handed to it by
// the run that started it (the variable names an inherited descriptor of
// that very folder, or handle of its lock file, that holds the lock), as
// for the run itself; otherwise as takeForProcess.
Outcome takeHandedOver(const QString &folder, QString *reason);

// The message for a run that finds the lock busy.
QString busyMessage(const QString &folder);

} // namespace runlock
