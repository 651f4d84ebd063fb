#pragma once
// Reading an archive someone else's machine made, which may be damaged or
// made to harm: entries are read into memory only (nothing is ever
// extracted to disk), each up to a limit, and an archive that is not a zip,
// fails libzip's consistency checks, holds more entries than a support
// archive does (or declares a larger directory of them than one has), names
// an entry outside itself or two entries alike is refused with a reason.

#include "supportzip/ziphandles.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace archivereader {

struct EntryInfo
{
    QString name; // as stored, "/" separators
    qint64 size = 0; // uncompressed, as the archive declares it
    qint64 modified = 0; // seconds since 1970, 0 when the archive does not say
};

// True when name stays inside the folder an unpacker puts it in: no ".."
// part, no leading separator, no drive letter.
bool staysInside(const QString &name);

// The largest directory of entries an archive may have: a support archive's
// takes a few KB, and 10000 entries with long names under 400 KB. The zip
// library holds all of it in memory.
inline constexpr qint64 kMaxDirectoryBytes = 4 * 1024 * 1024;

class ArchiveReader
{
public:
    // Opens the archive at path and checks every entry's name; nothing,
    // with the reason in *problem, when it is refused.
    static std::optional<ArchiveReader> open(const QString &path, int maxEntries, QString *problem);

    const QVector<EntryInfo> &entries() const { return m_entries; }
    // The whole entry at index, if it holds at most limit bytes; false with
    // the reason otherwise (too large, damaged data, a wrong checksum).
    bool read(int index, qint64 limit, QByteArray *content, QString *problem) const;
    // The same, handing the entry to take piece by piece as it is unpacked;
    // a false return may follow pieces handed on already.
    bool readPieces(int index, qint64 limit, const std::function<void(const char *, qint64)> &take,
                    QString *problem) const;
    // The entry at index opened for reading piece by piece (zip_fread), or
    // nothing with the reason. The reader must outlive it.
    ziphandles::Entry openEntry(int index, QString *problem) const;

private:
    ArchiveReader(ziphandles::Archive archive, QVector<EntryInfo> entries);

    ziphandles::Archive m_archive;
    QVector<EntryInfo> m_entries;
};

} // namespace archivereader
