#include "facttree.h"

#include "console.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace powershell {

QString underRoot(const QString &root, const QString &relative) { return QDir(root).filePath(relative); }

QStringList nonEmptyLines(const QString &path) { return standin::readText(path).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

QStringList whitespaceFields(const QString &line)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return line.split(blanks, Qt::SkipEmptyParts);
}

QString assignedValue(const QString &path, const QString &key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString &line : nonEmptyLines(path)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.startsWith(prefix))
            continue;
        QString value = trimmed.mid(prefix.size()).trimmed();
        if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

bool unitEnabled(const QString &root, const QString &unit)
{
    const QDir system(underRoot(root, QStringLiteral("etc/systemd/system")));
    const QStringList wants = system.entryList({QStringLiteral("*.wants")}, QDir::Dirs);
    for (const QString &folder : wants) {
        // The link counts even where its target is not readable here.
        const QFileInfo link(system.filePath(folder + QLatin1Char('/') + unit));
        if (link.isSymLink() || link.exists())
            return true;
    }
    return false;
}

QList<DefaultRoute> ipv4DefaultRoutes(const QString &root)
{
    constexpr int kGatewayFlag = 0x2;
    QList<DefaultRoute> routes;
    // name, destination, gateway, flags, refs, use, metric, mask, ... after a heading line
    for (const QString &line : nonEmptyLines(underRoot(root, QStringLiteral("proc/net/route"))).mid(1)) {
        const QStringList fields = whitespaceFields(line);
        if (fields.size() < 8 || fields.at(1).toUInt(nullptr, 16) != 0 || fields.at(7).toUInt(nullptr, 16) != 0)
            continue;
        routes.append({fields.at(0), fields.at(2).toUInt(nullptr, 16), (fields.at(3).toInt(nullptr, 16) & kGatewayFlag) != 0});
    }
    return routes;
}

} // namespace powershell
