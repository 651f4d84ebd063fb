#include "sandbox.h"

#include "archive/logfolders.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QDir>
#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <glog/logging.h>

namespace testsupport {

namespace {

// XDG_RUNTIME_DIR too: a desktop session always has one, and without it
// the toolkit makes a stand-in below TMPDIR, which is no write of the tool's.
const char *const kRedirected[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                                   "TMPDIR"};

// After a report file it could not create (a case with a read-only report
// folder, say), the library drops records, whatever the destination becomes,
// until one of its retries every 32 records succeeds. Writing to the fresh,
// writable destination until its file exists ends that now, so the next
// case keeps its records.
void recoverFromRefusedReport(const QString &prefix)
{
    const QFileInfo where(prefix);
    const QDir folder(where.path());
    for (int attempt = 0; attempt < 40 && folder.entryList({where.fileName() + QLatin1Char('*')}).isEmpty(); ++attempt)
        LOG(INFO) << "between two sandboxed cases";
}

bool isBelow(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

Sandbox::Sandbox(const QString &installName) : m_previousFolder(QDir::currentPath())
{
    // The first call makes the unused report folder, in the temporary folder
    // of the moment: that must not be this sandbox's, which goes with it.
    forgetReport();
    const QString base = m_root.path();
    for (const char *name : kRedirected) {
        if (qEnvironmentVariableIsSet(name))
            m_savedEnvironment.append({name, qgetenv(name)});
        else
            m_unsetEnvironment.append(name);
    }
    const QString home = base + QStringLiteral("/home");
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (base + QStringLiteral("/run")).toLocal8Bit());
    qputenv("TMPDIR", (base + QStringLiteral("/tmp")).toLocal8Bit());

    QDir dir(base);
    for (const QString &folder : {QStringLiteral("home/.local/share"), QStringLiteral("home/.config"),
                                  QStringLiteral("home/.cache"), QStringLiteral("run"), QStringLiteral("tmp")})
        dir.mkpath(folder);
    QFile::setPermissions(base + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_install = base + QLatin1Char('/') + installName;
    dir.mkpath(m_install + QStringLiteral("/logs/SupportTool"));
    dir.mkpath(userFolder());
    writeFile(QStringLiteral("bystander/notes.txt"), "somebody else's notes\n");
    writeFile(QStringLiteral("bystander/deep/keep.log"), "keep me\n");
    writeFile(QStringLiteral("home/document.txt"), "a user's document\n");

    QDir::setCurrent(m_install);
    snapshot();
}

Sandbox::~Sandbox()
{
    recoverFromRefusedReport(forgetReport());
    QDir::setCurrent(m_previousFolder);
    // Links and read-only folders a case left must not stop the clean-up.
    QDirIterator it(m_root.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!QFileInfo(path).isSymLink())
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOwner | QFile::WriteOwner
                                            | QFile::ExeOwner);
    }
    for (const auto &saved : m_savedEnvironment)
        qputenv(saved.first.constData(), saved.second);
    for (const QByteArray &name : m_unsetEnvironment)
        qunsetenv(name.constData());
}

QString Sandbox::userFolder() const
{
    return QFileInfo(logfolders::perUserLogs(logfolders::appDataFolder())).path();
}

QString Sandbox::bystander() const { return m_root.path() + QStringLiteral("/bystander"); }

void Sandbox::writeFile(const QString &pathBelowRoot, const QByteArray &content) const
{
    const QString path = m_root.path() + QLatin1Char('/') + pathBelowRoot;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void Sandbox::snapshot() { m_picture = picture(); }

bool Sandbox::mayChange(const QString &path) const { return isBelow(path, m_install) || isBelow(path, userFolder()); }

QHash<QString, Sandbox::Entry> Sandbox::picture() const
{
    QHash<QString, Entry> entries;
    QDirIterator it(m_root.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (mayChange(path))
            continue;
        const QFileInfo info(path);
        Entry entry;
        if (info.isSymLink()) {
            entry.kind = QStringLiteral("link");
            entry.linkTarget = info.symLinkTarget();
        } else if (info.isDir()) {
            entry.kind = QStringLiteral("dir");
        } else {
            entry.kind = QStringLiteral("file");
            entry.size = info.size();
            entry.modified = info.lastModified().toMSecsSinceEpoch();
        }
        entries.insert(path, entry);
    }
    return entries;
}

QStringList Sandbox::strayChanges() const
{
    const QHash<QString, Entry> now = picture();
    QStringList changes;
    for (auto it = m_picture.cbegin(); it != m_picture.cend(); ++it) {
        if (!now.contains(it.key()))
            changes << QStringLiteral("deleted ") + it.key();
        else if (!(now.value(it.key()) == it.value()))
            changes << QStringLiteral("changed ") + it.key();
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (!m_picture.contains(it.key()))
            changes << QStringLiteral("created ") + it.key();
    }
    changes.sort();
    return changes;
}

BoundedRun runBounded(MainWindow &window, void (MainWindow::*slot)(), int boundMs)
{
    BoundedRun run;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &window, [&] {
        run.cutShort = true;
        window.close();
    });
    QElapsedTimer clock;
    clock.start();
    watchdog.start(boundMs);
    (window.*slot)();
    watchdog.stop();
    run.elapsedMs = clock.elapsed();
    return run;
}

} // namespace testsupport
