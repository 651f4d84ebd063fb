#include "installation/settingsfile.h"

#include <QFile>
#include <QFileInfo>

namespace settingsfile {

QStringList Contents::values(const QString &group) const
{
    QStringList values;
    for (const settingsgroups::Entry &entry : entries(group))
        values << entry.value;
    return values;
}

QString Contents::value(const QString &group, const QString &key) const
{
    const std::optional<settingsgroups::Entry> entry = settingsgroups::lastEntry(text, group, key);
    return entry ? entry->value : QString();
}

Contents read(const QString &path)
{
    Contents contents;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return contents;
    contents.state = Contents::State::Unreadable;
    if (info.isDir()) {
        contents.problem = QStringLiteral("it is a folder");
        return contents;
    }
    if (!info.isFile()) {
        // Opening a pipe would wait for a writer that never comes.
        contents.problem = info.exists() ? QStringLiteral("it is not a plain file (a pipe or a device)")
                                         : QStringLiteral("it is a link to nothing");
        return contents;
    }
    if (info.size() > kMaxBytes) {
        contents.problem = QStringLiteral("it is larger than %1 MB").arg(kMaxBytes / (1024 * 1024));
        return contents;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.problem = QStringLiteral("it cannot be opened (%1)").arg(file.errorString());
        return contents;
    }
    contents.bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError || contents.bytes.size() > kMaxBytes) {
        contents.problem = QStringLiteral("it cannot be read in full");
        return contents;
    }
    contents.decoded = settingstext::decode(contents.bytes);
    if (!contents.decoded.ok) {
        contents.problem = contents.decoded.problem;
        return contents;
    }
    contents.text = settingsgroups::parse(contents.decoded.text);
    contents.state = Contents::State::Read;
    return contents;
}

QString unreadableNotice(const Contents &contents)
{
    return QStringLiteral("%1 cannot be read: %2. It is left as it is: none of its settings are used, and the terms "
                          "of use are asked at every start")
        .arg(name(), contents.problem);
}

} // namespace settingsfile
