#include "archivereveal.h"

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
    return QStringLiteral("/select,\"%1\"").arg(windowsPath(archivePath));
}

#ifdef Q_OS_WIN

bool browserAvailable() { return true; }

void startBrowser(QProcess &process, const QString &archivePath)
{
    process.setProgram(QStringLiteral("explorer.exe"));
    // explorer.exe parses its command line itself and wants the path right
    // after "/select,", in quotes; the usual argument quoting would wrap the
    // whole option instead.
    process.setNativeArguments(explorerArguments(archivePath));
    process.start(QIODevice::ReadWrite);
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

void startBrowser(QProcess &process, const QString &archivePath)
{
    // Desktop file browsers cannot be asked to select a file; the folder is shown.
    process.setProgram(desktopOpener());
    process.setArguments({QFileInfo(archivePath).absolutePath()});
    process.start(QIODevice::ReadWrite);
}

#endif

} // namespace archivereveal
