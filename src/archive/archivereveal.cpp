#include "archive/archivereveal.h"

#include "archive/explorerselect.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtGlobal>

namespace archivereveal {

QString windowsPath(const QString &archivePath)
{
    QString path = archivePath;
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString explorerCommandText(const QString &archivePath)
{
    return QStringLiteral("explorer.exe /select, %1").arg(windowsPath(archivePath));
}

QString explorerArguments(const QString &archivePath)
{
    return QString::fromStdWString(explorerselect::arguments(windowsPath(archivePath).toStdWString()));
}

#ifdef Q_OS_WIN

bool browserAvailable() { return true; }

void startBrowser(QObject &, const QString &archivePath)
{
    explorerselect::start(windowsPath(archivePath).toStdWString());
}

#else

namespace {
QString desktopOpener() { return QStandardPaths::findExecutable(QStringLiteral("xdg-open")); }
} // namespace

bool browserAvailable()
{
    const bool desktopSession =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return desktopSession && !desktopOpener().isEmpty();
}

void startBrowser(QObject &owner, const QString &archivePath)
{
    // Desktop file browsers cannot be asked to select a file; the folder is shown.
    auto *process = new QProcess(&owner);
    process->setProgram(desktopOpener());
    process->setArguments({QFileInfo(archivePath).absolutePath()});
    process->start(QIODevice::ReadWrite);
}

#endif

} // namespace archivereveal
