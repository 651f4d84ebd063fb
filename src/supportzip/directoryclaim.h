#pragma once
// What the end of a zip file declares of its central directory, read
// before the zip library reads the directory itself: the library holds the
// whole directory in memory, so a directory too large for any support
// archive is refused before it is read.

#include <QString>

#include <optional>

namespace directoryclaim {

struct Claim
{
    quint64 entries = 0;
    quint64 bytes = 0;
};

// The largest entry count and directory size that any end record in the
// last 64 KB of the file at path declares (with its zip64 record where it
// points to one): a made-up file may hold several, and the library may take
// any of them. Nothing when the file cannot be read or holds no end record.
std::optional<Claim> of(const QString &path);

} // namespace directoryclaim
