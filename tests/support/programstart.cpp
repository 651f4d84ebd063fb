#include "programstart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace testsupport {

QString installProgram(const QString &folder, const QString &name)
{
    QDir().mkpath(folder);
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    if (!QFile::copy(QStringLiteral(SUPPORTTOOL_BINARY), target))
        return QString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return target;
}

ProgramRun startProgram(const QString &argv0, const QString &program, const QStringList &arguments,
                        const QString &workingFolder)
{
    QTemporaryDir logDir;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SUPPORTTOOL_CLOSE_AFTER_MS"), QStringLiteral("200"));
    environment.insert(QStringLiteral("GLOG_log_dir"), logDir.path());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
#ifdef Q_OS_WIN
    // Windows starts the program named apart from the command line, whose
    // first word is then whatever the caller chooses.
    const std::wstring application = QDir::toNativeSeparators(program).toStdWString();
    QStringList words{argv0};
    words += arguments;
    for (QString &word : words)
        word = QLatin1Char('"') + word + QLatin1Char('"');
    std::wstring commandLine = words.join(QLatin1Char(' ')).toStdWString();
    process.setProgram(program);
    process.setCreateProcessArgumentsModifier([&](QProcess::CreateProcessArguments *created) {
        created->applicationName = application.c_str();
        created->arguments = &commandLine[0];
    });
    process.start();
#else
    // Through bash, so that the first argument can be anything.
    process.start(QStringLiteral("bash"),
                  QStringList{QStringLiteral("-c"), QStringLiteral("exec -a \"$0\" \"$@\""), argv0, program} + arguments);
#endif
    ProgramRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.errors = process.readAllStandardError();
    run.runLogLinks = QDir(logDir.path()).entryList(QDir::System | QDir::Files | QDir::Hidden);
    for (QString &entry : run.runLogLinks)
        entry = QFileInfo(QDir(logDir.path()).filePath(entry)).isSymLink() ? entry : QString();
    run.runLogLinks.removeAll(QString());
    const QStringList logs = QDir(logDir.path()).entryList({QStringLiteral("*.log.INFO.*")}, QDir::Files, QDir::Name);
    if (!logs.isEmpty())
        run.defaultLog = recordsOf(QDir(logDir.path()).filePath(logs.first()));
    return run;
}

void writeAgreement(const QString &folder, const QString &value)
{
    QSettings settings(QDir(folder).filePath(QStringLiteral("SupportToolConfig.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("AgreeLicense/agreed"), value);
}

} // namespace testsupport
