#pragma once
// Removing a folder tree without ever following a link: a link that stands
// where a folder is expected, or inside it, is removed as the link itself,
// and whatever it points to is left alone. Leftovers of older runs may be
// links planted on purpose, and deleting "their contents" would delete
// somebody else's files.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace treeremoval {

// Removes what stands at path: a link (a symbolic link; on Windows also a
// junction or shortcut) or anything else that is not a plain folder as
// itself, a plain folder with everything it holds. True when nothing is
// left at path (also when nothing was there).
bool removeTree(const QString &path);

// Removes everything inside an open folder (on Windows: the folder at a
// path), links as the links themselves. False, with why, when something
// could not be removed.
#ifdef Q_OS_WIN
bool removeInside(const QString &folder, QString *why);
#else
bool removeInside(int folder, QString *why);
// The names in an open folder but "." and "..", read to the end before any
// is acted on. False, with the system's error number, when it cannot be read.
bool namesIn(int folder, QVector<QByteArray> &names, int *error);
#endif

} // namespace treeremoval
