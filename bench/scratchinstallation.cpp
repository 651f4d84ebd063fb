#include "scratchinstallation.h"

#include "networksettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bench {

namespace {

const QByteArray kRevealEnd = "revealed";

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

bool ScratchInstallation::prepare(const QString &root, const QString &toolProgram, const QString &standInFolder,
                                  const QStringList &hosts, QString *error)
{
    m_folder = root + QStringLiteral("/Tessaly Render");
    m_bin = root + QStringLiteral("/bin");
    const QString standIns = m_folder + QStringLiteral("/standins");
    for (const QString &folder : {standIns, m_bin, root + QStringLiteral("/runtime"), root + QStringLiteral("/tmp"),
                                  root + QStringLiteral("/data")})
        QDir().mkpath(folder);
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The writer of the shareable copy lies beside the program, as installed.
    const QString shareable = QStringLiteral("/SupportToolShareable");
    bool copied = QFile::copy(toolProgram, program())
        && QFile::copy(QFileInfo(toolProgram).path() + shareable, m_folder + shareable);
    for (const QString &standIn : {QStringLiteral("powershell"), QStringLiteral("cmd"), QStringLiteral("d3d12probe")})
        copied = copied && QFile::copy(standInFolder + QLatin1Char('/') + standIn, standIns + QLatin1Char('/') + standIn);

    m_revealed = root + QStringLiteral("/revealed");
    // Shell built-ins only, so that it starts no program of its own.
    const bool written =
        writeFile(m_folder + QStringLiteral("/SupportToolConfig.ini"),
                  "[AgreeLicense]\nagreed=1\n" + testsupport::addressGroup({QStringLiteral("127.0.0.1")}) +
                      testsupport::serverHostsGroup(hosts, 30)) &&
        writeFile(opener(),
                  "#!/bin/sh\n{ export -p; echo " + kRevealEnd + "; } > '" + QFile::encodeName(m_revealed) + "'\n") &&
        QFile::setPermissions(opener(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!copied || !written) {
        *error = QStringLiteral("the scratch installation in %1 could not be made").arg(root);
        return false;
    }

    m_environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_XCB_GL_INTEGRATION",
                             "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "SUPPORTTOOL_CLOSE_AFTER_MS"})
        m_environment.remove(QLatin1String(name));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    m_environment.insert(QStringLiteral("TMPDIR"), root + QStringLiteral("/tmp"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    m_environment.insert(QStringLiteral("PATH"), m_bin + QLatin1Char(':') + m_environment.value(QStringLiteral("PATH")));
    return true;
}

QProcessEnvironment ScratchInstallation::environment(const QString &display) const
{
    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("DISPLAY"), display);
    return environment;
}

QByteArray ScratchInstallation::revealEnvironment() const
{
    QFile file(m_revealed);
    const QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return written.endsWith(kRevealEnd + '\n') ? written : QByteArray();
}

bool ScratchInstallation::runStarted() const
{
    return !QDir(m_folder + QStringLiteral("/logs/SupportTool"))
                .entryList({QStringLiteral("SupportLog_HardWare_*")}, QDir::Files)
                .isEmpty();
}

bool ScratchInstallation::shareableCopyMade() const
{
    return QFileInfo::exists(m_folder + QStringLiteral("/zziplog_shareable_map.txt"));
}

void ScratchInstallation::clearRun() const
{
    QDir(m_folder + QStringLiteral("/logs")).removeRecursively();
    for (const char *name : {"/zziplog.zip", "/zziplog_shareable.zip", "/zziplog_shareable_map.txt"})
        QFile::remove(m_folder + QLatin1String(name));
    QFile::remove(m_revealed);
}

} // namespace bench
