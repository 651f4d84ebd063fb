#include "archive/logtreecopy.h"

#include "archive/folderhandle.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <climits>
#include <limits>

namespace logtreecopy {

namespace {

using folderhandle::Folder;

#ifdef PATH_MAX
// A copy below this length can still be packed and removed by path.
constexpr int kLongestPath = PATH_MAX - 1;
#else
constexpr int kLongestPath = std::numeric_limits<int>::max();
#endif

// A path as the file system names it: on Windows names are UTF-16, and
// carried here as UTF-8.
QByteArray nativeBytes(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

template <typename Path>
Path joined(const Path &folder, const Path &name)
{
    if (folder.isEmpty())
        return name;
    return name.isEmpty() ? folder : folder + '/' + name;
}

template <typename Path>
Path folderPart(const Path &relativePath)
{
    const int slash = relativePath.lastIndexOf('/');
    return slash < 0 ? Path() : relativePath.left(slash);
}

template <typename Path>
Path lastPart(const Path &relativePath)
{
    return relativePath.mid(relativePath.lastIndexOf('/') + 1);
}

// The length of the valid UTF-8 character at the start of bytes, or 0.
int validCharacterLength(const char *bytes, int available)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const int length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || length > available)
        return 0;
    // Decoding replaces overlong forms, surrogates and stray bytes, so only
    // a valid character comes back unchanged.
    const QByteArray character(bytes, length);
    return QString::fromUtf8(character).toUtf8() == character ? length : 0;
}

// bytes with every byte outside a valid character (and every control
// character, when asked) written as prefix followed by two hex digits.
QString escaped(const QByteArray &bytes, const char *prefix, bool controls)
{
    QString text;
    for (int at = 0; at < bytes.size();) {
        const int length = validCharacterLength(bytes.constData() + at, bytes.size() - at);
        const auto byte = static_cast<unsigned char>(bytes.at(at));
        if (length > 0 && !(controls && (byte < 0x20 || byte == 0x7F))) {
            text += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        } else {
            text += QLatin1String(prefix) + QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
            ++at;
        }
    }
    return text;
}

bool isValidUtf8(const QByteArray &name) { return QString::fromUtf8(name).toUtf8() == name; }

// The names of one folder's entries in the copy: valid names stay, the
// others get replacement names that no other entry of the folder has.
QStringList copyNames(const QVector<folderhandle::Listed> &found)
{
    QSet<QString> taken;
    for (const folderhandle::Listed &entry : found) {
        if (isValidUtf8(entry.name))
            taken.insert(QString::fromUtf8(entry.name));
    }
    QStringList names;
    for (const folderhandle::Listed &entry : found) {
        if (isValidUtf8(entry.name)) {
            names << QString::fromUtf8(entry.name);
            continue;
        }
        // Three bytes for each stray one may outgrow what a name can hold.
        constexpr int kLongestReplacement = 240;
        QString replacement = replacementName(entry.name);
        while (replacement.toUtf8().size() > kLongestReplacement)
            replacement.chop(QChar(replacement.back()).isLowSurrogate() ? 2 : 1);
        QString name = replacement;
        for (int number = 2; taken.contains(name); ++number)
            name = replacement + QStringLiteral("~%1").arg(number);
        taken.insert(name);
        names << name;
    }
    return names;
}

// The copy of one listed tree, entry by entry. The source folder an entry
// lies in and its copy are opened once for all entries of that folder (the
// listing keeps them together), from the roots and never through a link.
class TreeCopy
{
public:
    TreeCopy(const QString &source, const Folder &sourceRoot, const Folder &targetRoot, int targetLength,
             Outcome &outcome)
        : m_source(source), m_sourceRoot(sourceRoot), m_targetRoot(targetRoot), m_targetLength(targetLength),
          m_outcome(outcome)
    {
    }

    // False when the copy was cancelled.
    bool copy(const Entry &entry, const std::atomic<bool> *stop)
    {
        for (const QByteArray &folder : qAsConst(m_leftOutFolders)) {
            if (entry.relativePath.startsWith(folder + '/'))
                return true; // said with its folder
        }
        if (!entry.unreadable.isEmpty())
            return leaveOut(entry, QStringLiteral("the folder cannot be read (%1)").arg(entry.unreadable));
        if (m_targetLength + 1 + entry.copyPath.toUtf8().size() > kLongestPath)
            return leaveOut(entry, QStringLiteral("its copy would lie deeper than the system's paths reach"));
        QString why;
        if (!openFolders(entry, &why))
            return leaveOut(entry, QStringLiteral("its folder cannot be reached (%1)").arg(why));
        const QByteArray copyName = lastPart(entry.copyPath).toUtf8();
        if (entry.folder)
            return !copyFolder(entry, copyName) || copied(entry);
        const folderhandle::FileCopyResult result =
            folderhandle::copyFile(m_from, lastPart(entry.relativePath), m_to, copyName, stop);
        switch (result.result) {
        case folderhandle::FileCopy::Copied: return copied(entry);
        case folderhandle::FileCopy::Cancelled: return false;
        case folderhandle::FileCopy::SourceFailed: return leaveOut(entry, result.why);
        case folderhandle::FileCopy::TargetFailed:
            m_outcome.complete = false;
            return leaveOut(entry, QStringLiteral("its copy could not be written in full (%1)").arg(result.why));
        }
        return true;
    }

private:
    bool openFolders(const Entry &entry, QString *why)
    {
        const QByteArray folder = folderPart(entry.relativePath);
        if (m_open && folder == m_openFolder)
            return true;
        m_openFolder = folder;
        m_from = m_sourceRoot.below(folder, why);
        m_to = m_from.isOpen() ? m_targetRoot.below(folderPart(entry.copyPath).toUtf8(), why) : Folder();
        m_open = m_to.isOpen();
        return m_open;
    }

    // False when the folder was left out.
    bool copyFolder(const Entry &entry, const QByteArray &copyName)
    {
        // The folder must still be one, and not a link put in its place.
        QString why;
        if (!m_from.below(lastPart(entry.relativePath), &why).isOpen()) {
            leaveOut(entry, why);
            return false;
        }
        if (!m_to.makeFolder(copyName, &why)) {
            m_outcome.complete = false;
            leaveOut(entry, QStringLiteral("its copy cannot be made (%1)").arg(why));
            return false;
        }
        return true;
    }

    // Notes a copy made under a name of its own.
    bool copied(const Entry &entry)
    {
        if (lastPart(entry.relativePath) != lastPart(entry.copyPath).toUtf8())
            m_outcome.renamed << shown(entry) + QStringLiteral(" as ") + lastPart(entry.copyPath);
        return true;
    }

    QString shown(const Entry &entry) const
    {
        return shownPath(joined(nativeBytes(m_source), entry.relativePath));
    }

    bool leaveOut(const Entry &entry, const QString &why)
    {
        m_outcome.leftOut << shown(entry) + QStringLiteral(": ") + why;
        if (entry.folder)
            m_leftOutFolders << entry.relativePath;
        return true;
    }

    const QString m_source;
    const Folder &m_sourceRoot;
    const Folder &m_targetRoot;
    const int m_targetLength;
    Outcome &m_outcome;
    QVector<QByteArray> m_leftOutFolders;
    bool m_open = false;
    QByteArray m_openFolder;
    Folder m_from;
    Folder m_to;
};

} // namespace

QString shownPath(const QByteArray &bytes) { return escaped(bytes, "\\x", true); }

QString replacementName(const QByteArray &name) { return escaped(name, "%", false); }

QVector<Entry> listVisible(const QString &source, const std::atomic<bool> *stop)
{
    QVector<Entry> entries;
    QString why;
    const Folder root = Folder::open(source, true, &why);
    if (!root.isOpen())
        return {Entry{QByteArray(), QString(), true, why}};
    // Folders still to list: their entry (-1 for the root), path and copy's path.
    struct Pending
    {
        int entry;
        QByteArray path;
        QString copyPath;
    };
    QVector<Pending> pending{{-1, QByteArray(), QString()}};
    for (int next = 0; next < pending.size() && !(stop && stop->load()); ++next) {
        const Pending folder = pending.at(next);
        QVector<folderhandle::Listed> found;
        const Folder opened = root.below(folder.path, &why);
        if (!opened.isOpen() || !opened.list(found, &why)) {
            if (folder.entry < 0)
                entries.append({QByteArray(), QString(), true, why});
            else
                entries[folder.entry].unreadable = why;
            continue;
        }
        const QStringList names = copyNames(found);
        for (int i = 0; i < found.size(); ++i) {
            entries.append({joined(folder.path, found.at(i).name), joined(folder.copyPath, names.at(i)), found.at(i).folder,
                            QString()});
            if (found.at(i).folder)
                pending.append({entries.size() - 1, entries.last().relativePath, entries.last().copyPath});
        }
    }
    return entries;
}

Outcome copyListed(const QString &source, const QVector<Entry> &entries, const QString &target,
                   const std::atomic<bool> *stop)
{
    Outcome outcome;
    clearNonFolder(target);
    if (!QDir().mkpath(target))
        return outcome;
    QString why;
    const Folder targetRoot = Folder::open(target, false, &why);
    if (!targetRoot.isOpen())
        return outcome;
    // A copy left by an interrupted run would otherwise be packed with this one.
    if (!targetRoot.empty(&why)) {
        outcome.leftOut << target + QStringLiteral(": the files an earlier run left in it cannot be removed (%1)").arg(why);
        return outcome;
    }
    outcome.made = true;
    const Folder sourceRoot = Folder::open(source, true, &why);
    if (!sourceRoot.isOpen()) {
        outcome.leftOut << source + QStringLiteral(": the folder cannot be read (%1)").arg(why);
        return outcome;
    }
    TreeCopy copy(source, sourceRoot, targetRoot, nativeBytes(target).size(), outcome);
    for (const Entry &entry : entries) {
        if ((stop && stop->load()) || !copy.copy(entry, stop)) {
            outcome.cancelled = true;
            break;
        }
    }
    return outcome;
}

void clearNonFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isJunction())
        QDir().rmdir(path); // the junction itself, not what it leads to
    else if (info.isSymLink() || (info.exists() && !info.isDir()))
        QFile::remove(path);
}

qint64 plainFileBytes(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

} // namespace logtreecopy
