#include "supportzip/sourcewalk.h"

#include "reports/reportset.h"
#include "reports/reportsources.h"

#include <QDir>

#include <algorithm>

namespace findings {

namespace {

// The names in the folder in name order, or nothing when it cannot be
// listed.
std::optional<QStringList> listing(const QString &folder)
{
    if (!whyNotListed(folder).isEmpty())
        return std::nullopt;
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A report folder or an installation folder: read as one source, as
// --read reads them.
bool holdsReports(const QString &folder, const QStringList &names)
{
    return QFileInfo(folder + QStringLiteral("/logs/SupportTool")).isDir()
        || std::any_of(names.cbegin(), names.cend(), [](const QString &name) { return kindOfName(name).has_value(); });
}

bool isArchiveName(const QString &name) { return name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive); }

bool isLink(const QFileInfo &entry) { return entry.isSymLink() || entry.isJunction(); }

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')) ? folder + name
                                                                                 : folder + QLatin1Char('/') + name;
}

ReadSource found(const QString &path, const QString &problem = QString())
{
    return {QDir::toNativeSeparators(path), false, problem};
}

} // namespace

SourceWalk::SourceWalk(const QStringList &paths) : m_paths(paths) {}

std::optional<ReadSource> SourceWalk::next()
{
    for (;;) {
        if (m_levels.isEmpty()) {
            if (m_nextPath >= m_paths.size())
                return std::nullopt;
            const QString path = m_paths.at(m_nextPath++);
            std::optional<QStringList> names;
            if (QFileInfo(path).isDir())
                names = listing(path);
            if (!names || holdsReports(path, *names))
                return ReadSource{QDir::toNativeSeparators(path), true, QString()};
            m_levels.append({path, *names, 0, 0});
            m_foundBelow = false;
            continue;
        }
        Level &level = m_levels.last();
        if (level.at == level.names.size()) {
            const QString folder = level.folder;
            m_levels.removeLast();
            if (m_levels.isEmpty() && !m_foundBelow) // nothing below: refused as a folder without reports
                return ReadSource{QDir::toNativeSeparators(folder), true, QString()};
            continue;
        }
        const QString name = level.names.at(level.at++);
        if (std::optional<ReadSource> source = visit(name)) {
            m_foundBelow = true;
            return source;
        }
    }
}

std::optional<ReadSource> SourceWalk::visit(const QString &name)
{
    const Level &level = m_levels.last();
    const QString path = joined(level.folder, name);
    const QFileInfo entry(path);
    const bool folder = entry.isDir();
    // An archive is read as --read reads one given alone, a link to one too.
    if (isArchiveName(name) && (!folder || isLink(entry)))
        return found(path);
    if (!folder)
        return std::nullopt;
    const QString top = QDir::toNativeSeparators(m_levels.first().folder);
    // A link may lead back up: the walk would go round.
    if (isLink(entry))
        return found(path, QStringLiteral("%1 is a link to a folder, which is not searched below %2: give it as a "
                                          "path of its own")
                               .arg(QDir::toNativeSeparators(path), top));
    const std::optional<QStringList> names = listing(path);
    if (!names || holdsReports(path, *names))
        return found(path); // read as --read reads a folder, which says why it cannot be listed
    if (level.depth + 1 > kMaxSearchDepth) {
        const bool holdsMore = std::any_of(names->cbegin(), names->cend(), [&path](const QString &inside) {
            return isArchiveName(inside) || QFileInfo(joined(path, inside)).isDir();
        });
        if (!holdsMore)
            return std::nullopt;
        return found(path, QStringLiteral("%1 is not searched: it lies more than %2 folders below %3")
                               .arg(QDir::toNativeSeparators(path))
                               .arg(kMaxSearchDepth)
                               .arg(top));
    }
    m_levels.append({path, *names, 0, level.depth + 1});
    return std::nullopt;
}

} // namespace findings
