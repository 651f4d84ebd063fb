#include "supportzip/archivereader.h"

#include "supportzip/directoryclaim.h"

#include <QRegularExpression>
#include <QSet>

#include <limits>

namespace archivereader {

bool staysInside(const QString &name)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\'))
        || drive.match(name).hasMatch())
        return false;
    for (const QStringRef &part : name.splitRef(QRegularExpression(QStringLiteral("[/\\\\]")))) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

ArchiveReader::ArchiveReader(ziphandles::Archive archive, QVector<EntryInfo> entries)
    : m_archive(std::move(archive)), m_entries(std::move(entries))
{
}

std::optional<ArchiveReader> ArchiveReader::open(const QString &path, int maxEntries, QString *problem)
{
    const auto tooMany = [&](quint64 count) {
        *problem = QStringLiteral("it holds %1 entries, more than the %2 a support archive may hold").arg(count).arg(maxEntries);
        return std::nullopt;
    };
    // Before the library reads the directory in: it would hold all of it.
    if (const std::optional<directoryclaim::Claim> claim = directoryclaim::of(path)) {
        if (claim->entries > quint64(maxEntries))
            return tooMany(claim->entries);
        if (claim->bytes > quint64(kMaxDirectoryBytes)) {
            *problem = QStringLiteral("its directory of entries holds %1 bytes, more than the %2 a support archive's "
                                      "may hold")
                           .arg(claim->bytes)
                           .arg(kMaxDirectoryBytes);
            return std::nullopt;
        }
    }
    bool sameNames = false;
    ziphandles::Archive archive = ziphandles::openForReading(path, problem, &sameNames);
    if (!archive)
        return std::nullopt;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > maxEntries)
        return tooMany(quint64(qMax<zip_int64_t>(count, 0)));
    QVector<EntryInfo> entries;
    entries.reserve(int(count));
    QSet<QString> names;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0
            || !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE)) {
            *problem = QStringLiteral("entry %1 cannot be read: %2").arg(index).arg(ziphandles::errorText(archive.get()));
            return std::nullopt;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (!staysInside(name)) {
            *problem = QStringLiteral("it holds an entry that points outside the archive: \"%1\"").arg(name);
            return std::nullopt;
        }
        // Which of two entries of one name an unpacker keeps is its choice.
        if (sameNames && names.contains(name)) {
            *problem = QStringLiteral("it holds two entries named \"%1\"").arg(name);
            return std::nullopt;
        }
        if (sameNames)
            names.insert(name);
        entries.append({name, qint64(qMin<zip_uint64_t>(stat.size, zip_uint64_t(std::numeric_limits<qint64>::max()))),
                         (stat.valid & ZIP_STAT_MTIME) ? qint64(stat.mtime) : 0});
    }
    return ArchiveReader(std::move(archive), std::move(entries));
}

bool ArchiveReader::read(int index, qint64 limit, QByteArray *content, QString *problem) const
{
    content->clear();
    content->reserve(int(qMin(limit, m_entries.at(index).size)));
    return readPieces(
        index, limit, [content](const char *piece, qint64 size) { content->append(piece, int(size)); }, problem);
}

bool ArchiveReader::readPieces(int index, qint64 limit, const std::function<void(const char *, qint64)> &take,
                               QString *problem) const
{
    const EntryInfo &info = m_entries.at(index);
    if (info.size > limit) {
        *problem = QStringLiteral("\"%1\" holds %2 bytes, more than the %3 it may hold")
                       .arg(info.name)
                       .arg(info.size)
                       .arg(limit);
        return false;
    }
    const ziphandles::Entry entry = openEntry(index, problem);
    if (!entry)
        return false;
    // Read to the end rather than trust the declared size; one byte more
    // than the limit is enough to know the entry is too large.
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), piece.data(), zip_uint64_t(piece.size()));
        if (got < 0) {
            *problem = QStringLiteral("\"%1\" is damaged: %2").arg(info.name, ziphandles::errorText(entry.get()));
            return false;
        }
        if (got == 0)
            return true;
        total += got;
        if (total > limit) {
            *problem = QStringLiteral("\"%1\" holds more than the %2 bytes it may hold").arg(info.name).arg(limit);
            return false;
        }
        take(piece.constData(), got);
    }
}

ziphandles::Entry ArchiveReader::openEntry(int index, QString *problem) const
{
    ziphandles::Entry entry(zip_fopen_index(m_archive.get(), zip_uint64_t(index), 0));
    if (!entry) {
        *problem = QStringLiteral("\"%1\" cannot be opened: %2")
                       .arg(m_entries.at(index).name, ziphandles::errorText(m_archive.get()));
    }
    return entry;
}

} // namespace archivereader
