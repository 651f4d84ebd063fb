#include "testsupport.h"

#include "app/startup.h"
#include "loopbackonly.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <glog/logging.h>

namespace testsupport {

void initLogging()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static QTemporaryDir logDir;
    FLAGS_log_dir = logDir.path().toStdString();
    google::InitGoogleLogging("SupportToolTest");
    startup::tuneLogging();
}

void initWindowTests()
{
    initLogging();
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QApplication::setQuitOnLastWindowClosed(false);
    keepRequestsOnLoopback();
    appendProgramsToPath();
}

QString forgetReport()
{
    static QTemporaryDir unused;
    // A new prefix each time: records written there by two tests within one
    // second would otherwise collide on the file name, and after a file it
    // could not create the logging library drops the next 31 records, even
    // those meant for the next report.
    static int count = 0;
    const QString prefix = unused.path() + QStringLiteral("/unused%1_").arg(++count);
    google::SetLogDestination(google::GLOG_INFO, QFile::encodeName(prefix).constData());
    return prefix;
}

InstallFolder::InstallFolder() : m_previous(QDir::currentPath())
{
    QDir(m_dir.path()).mkpath(QStringLiteral("logs/SupportTool"));
    QDir::setCurrent(m_dir.path());
    forgetReport();
}

InstallFolder::~InstallFolder()
{
    forgetReport();
    QDir::setCurrent(m_previous);
}

QString InstallFolder::filePath(const QString &relative) const { return QDir(m_dir.path()).filePath(relative); }

void InstallFolder::writeFile(const QString &relative, const QByteArray &content) const
{
    const QString target = filePath(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(target));
    file.write(content);
}

FixturePath::FixturePath() : m_previousPath(qgetenv("PATH"))
{
    qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(m_dir.path()) + QDir::listSeparator()) + m_previousPath);
}

FixturePath::~FixturePath() { qputenv("PATH", m_previousPath); }

void FixturePath::addScript(const QString &name, const QByteArray &body) const
{
    const QString path = QDir(m_dir.path()).filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
}

QString FixturePath::addFixture(const QString &name, const FixtureSteps &steps) const
{
#ifdef Q_OS_WIN
    const QString path = QDir(m_dir.path()).filePath(name + QStringLiteral(".exe"));
#else
    const QString path = QDir(m_dir.path()).filePath(name);
#endif
    [&] { QVERIFY2(placeFixture(path, steps), qPrintable(path)); }();
    return path;
}

void FixturePath::addProgram(const QString &name, const QByteArray &stdoutBytes, const QByteArray &stderrBytes,
                             int exitCode) const
{
    addFixture(name, FixtureSteps().out(stdoutBytes).err(stderrBytes).exit(exitCode));
}

void FixturePath::addSilentShells() const
{
#ifndef Q_OS_WIN
    addPowerShell({});
    addProgram(QStringLiteral("cmd"), {});
#endif
}

namespace {
void appendToPath(const QString &folder)
{
    const QString path = qEnvironmentVariable("PATH");
    const QString native = QDir::toNativeSeparators(folder);
    if (!path.split(QDir::listSeparator()).contains(native))
        qputenv("PATH", QFile::encodeName(path + QDir::listSeparator() + native));
}
} // namespace

// Windows has the real shells: start-up appends no stand-ins there.
void appendStandInsToPath()
{
#ifndef Q_OS_WIN
    appendToPath(QStringLiteral(STANDIN_DIR));
#endif
}

void appendProgramsToPath() { appendToPath(QStringLiteral(PROGRAM_DIR)); }

QStringList reportFiles(const QString &namePrefix)
{
    QDir folder(QStringLiteral("logs/SupportTool"));
    QStringList names = folder.entryList({namePrefix + QLatin1Char('*')}, QDir::Files, QDir::Name);
    for (QString &name : names)
        name = folder.filePath(name);
    return names;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList headerLines(const QByteArray &content)
{
    return QString::fromUtf8(content).split(QLatin1Char('\n')).mid(0, 4);
}

QList<Record> parseRecords(const QByteArray &content)
{
    static const QRegularExpression prefix(
        QStringLiteral("^([IWEF])\\d{8} \\d\\d:\\d\\d:\\d\\d\\.\\d{6} +\\d+ ([^ :]+):(\\d+)\\] (.*)$"));
    QList<Record> result;
    QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (int i = 4; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = prefix.match(lines.at(i));
        if (match.hasMatch()) {
            result.append({match.captured(1).at(0), match.captured(2), match.captured(3).toInt(), match.captured(4)});
        } else if (!result.isEmpty()) {
            result.last().text += QLatin1Char('\n') + lines.at(i);
        }
    }
    return result;
}

QList<Record> recordsOf(const QString &reportPath) { return parseRecords(readFile(reportPath)); }

} // namespace testsupport
