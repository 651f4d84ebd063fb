#pragma once
// The tool's scratch files in the installation folder (the address lists,
// the ping and route results, the archive's list file and the archive):
// whatever else stands under such a name is cleared away before use.

#include <QString>

namespace scratchfile {

// Removes what stands at path when it is neither a plain file nor a folder,
// without following it: a link (writing would go through to what it points
// to), a pipe, socket or device (opening it would wait for the other end).
void clearOdd(const QString &path);

// True when something other than a plain file or a folder stands at path
// (links followed): a pipe, a socket, a device.
bool isOdd(const QString &path);

// True when path is a plain file that can be opened without waiting.
bool isPlain(const QString &path);

// Renames the file from to the name to, replacing what stands there in
// one step (a link there is replaced, not written through). False, with
// why, when it cannot.
bool moveOver(const QString &from, const QString &to, QString *why);

// Removes the temporary files a writer killed in the middle left beside
// path: plain files named as path with a dot and 6 to 8 letters or digits
// after it (zziplog_shareable.zip.a1B2c3), as libzip and Qt's save file
// name them. Links and anything else under such a name stay: nothing is
// removed through a link, nor anything the writers never make.
void removeLeftoverTemporaries(const QString &path);

} // namespace scratchfile
