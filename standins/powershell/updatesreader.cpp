#include "updates.h"

#include "console.h"
#include "facttree.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace powershell {

namespace {

// "name=version" of each package stanza in a dpkg status or archive package
// list; with onlyInstalled, only those whose status says installed.
QHash<QString, QString> packageVersions(const QString &path, bool onlyInstalled)
{
    QHash<QString, QString> versions;
    const QStringList stanzas = standin::readText(path).split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (const QString &stanza : stanzas) {
        QString name;
        QString version;
        QString status;
        for (const QString &line : stanza.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("Package: ")))
                name = line.mid(9).trimmed();
            else if (line.startsWith(QLatin1String("Version: ")))
                version = line.mid(9).trimmed();
            else if (line.startsWith(QLatin1String("Status: ")))
                status = line.mid(8).trimmed();
        }
        if (name.isEmpty() || version.isEmpty())
            continue;
        if (onlyInstalled && !status.endsWith(QLatin1String(" installed")))
            continue;
        versions.insert(name, version);
    }
    return versions;
}

QString update(const QString &name, const QString &version) { return name + QLatin1Char('=') + version; }

// Installed packages whose version is the one the security archive carries.
QStringList securityUpdates(const QString &root, const QHash<QString, QString> &installed, bool *listFound)
{
    QSet<QString> archive;
    const QDir lists(underRoot(root, QStringLiteral("var/lib/apt/lists")));
    for (const QString &file : lists.entryList({QStringLiteral("*security*_Packages")}, QDir::Files)) {
        *listFound = true;
        const QHash<QString, QString> versions = packageVersions(lists.filePath(file), false);
        for (auto it = versions.cbegin(); it != versions.cend(); ++it)
            archive.insert(update(it.key(), it.value()));
    }
    QStringList updates;
    for (auto it = installed.cbegin(); it != installed.cend(); ++it)
        if (archive.contains(update(it.key(), it.value())))
            updates << update(it.key(), it.value());
    return updates;
}

// Upgrades recorded by apt whose new version is still the installed one.
QStringList historyUpdates(const QString &root, const QHash<QString, QString> &installed)
{
    static const QRegularExpression upgrade(QStringLiteral("([^\\s,:]+)(?::[^\\s,]+)? \\(([^,()]+), ([^()]+)\\)"));
    QStringList updates;
    for (const QString &log : {QStringLiteral("var/log/apt/history.log.1"), QStringLiteral("var/log/apt/history.log")}) {
        for (const QString &line : standin::readText(underRoot(root, log)).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("Upgrade: ")))
                continue;
            for (auto it = upgrade.globalMatch(line); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                const QString name = match.captured(1);
                const QString version = match.captured(3).trimmed();
                if (installed.value(name) == version && !updates.contains(update(name, version)))
                    updates << update(name, version);
            }
        }
    }
    return updates;
}

bool byPackageName(const QString &a, const QString &b)
{
    return a.section(QLatin1Char('='), 0, 0) < b.section(QLatin1Char('='), 0, 0);
}

} // namespace

QStringList readInstalledUpdates(const QString &root)
{
    const QHash<QString, QString> installed = packageVersions(underRoot(root, QStringLiteral("var/lib/dpkg/status")), true);

    QStringList kernels;
    for (auto it = installed.cbegin(); it != installed.cend(); ++it)
        if (it.key().startsWith(QLatin1String("linux-image-")))
            kernels << update(it.key(), it.value());
    std::sort(kernels.begin(), kernels.end(), byPackageName);

    bool securityListFound = false;
    QStringList updates = securityUpdates(root, installed, &securityListFound);
    if (!securityListFound)
        updates = historyUpdates(root, installed);
    std::sort(updates.begin(), updates.end(), byPackageName);

    QStringList all = kernels;
    for (const QString &entry : updates)
        if (!all.contains(entry))
            all << entry;
    return all;
}

} // namespace powershell
