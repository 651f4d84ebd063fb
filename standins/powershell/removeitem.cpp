#include "commands.h"
#include "console.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace powershell {

namespace {

// PowerShell's complaint about a path that is not there, as it prints it
// for a script given on its command line.
QString pathNotFound(const QString &script, const QString &fullPath)
{
    return QStringLiteral("Remove-Item : Cannot find path '%1' because it does not exist.\r\n"
                          "At line:1 char:1\r\n"
                          "+ %2\r\n"
                          "+ %3\r\n"
                          "    + CategoryInfo          : ObjectNotFound: (%1:String) [Remove-Item], ItemNotFoundException\r\n"
                          "    + FullyQualifiedErrorId : PathNotFound,Microsoft.PowerShell.Commands.RemoveItemCommand\r\n"
                          "\r\n")
        .arg(fullPath, script, QString(script.size(), QLatin1Char('~')));
}

} // namespace

// Deletes one named file, relative to the current folder, and prints nothing.
int removeItem(const QStringList &arguments)
{
    const QString script = arguments.join(QLatin1Char(' '));
    const QString name = arguments.value(1);
    // Wildcards and folders are PowerShell features the tool never asks for.
    if (name.isEmpty() || name.contains(QRegularExpression(QStringLiteral("[*?\\[\\]]"))))
        return standin::notAnswered(script);
    const QFileInfo item(QDir::current(), name);
    if (item.isDir())
        return standin::notAnswered(script);
    if (!item.exists() && !item.isSymLink()) {
        standin::writeError(pathNotFound(script, QDir::toNativeSeparators(item.absoluteFilePath())));
        return 1;
    }
    if (!QFile::remove(item.absoluteFilePath())) {
        standin::writeError(QStringLiteral("Remove-Item : Cannot remove item %1: Access to the path '%1' is denied.\r\n")
                                .arg(QDir::toNativeSeparators(item.absoluteFilePath())));
        return 1;
    }
    return 0;
}

} // namespace powershell
