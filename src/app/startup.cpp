#include "app/startup.h"

#include "installation/settingsfile.h"
#include "records/records.h"

#include <QDir>
#include <QFile>
#include <QLatin1String>
#include <QtGlobal>

#include <boost/filesystem.hpp>
#include <boost/system/error_code.hpp>
#include <glog/logging.h>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <stdlib.h>
#include <windows.h>
#include <vector>
#elif defined(Q_OS_LINUX)
#include <climits>
#include <unistd.h>
#endif

namespace startup {

namespace {

const char kXcbChoice[] = "QT_XCB_GL_INTEGRATION";
// The Wayland plug-in knows no integration by the name "none"; without one
// it draws through shared memory, as it does for raster windows anyway.
const char kWaylandChoice[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";

QtMessageHandler passOn = nullptr;

bool isWaylandNoneWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    return type == QtWarningMsg && qstrcmp(context.category, "qt.qpa.wayland") == 0
        && (message == QLatin1String("Failed to load client buffer integration: \"none\"")
            || message.startsWith(QLatin1String("Available client buffer integrations:")));
}

void withoutWaylandNoneWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!isWaylandNoneWarning(type, context, message))
        passOn(type, context, message);
}

} // namespace

QString installationFolderOf(const QString &programPath)
{
    QString path = programPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.left(slash);
}

QString programFolder(const QString &programPath)
{
#ifdef Q_OS_WIN
    // Paths may be longer than MAX_PATH; the call cuts the path to fit and
    // says so by filling the buffer.
    std::vector<wchar_t> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0)
            break;
        if (length < buffer.size())
            return installationFolderOf(QString::fromWCharArray(buffer.data(), int(length)));
        buffer.resize(buffer.size() * 2);
    }
#elif defined(Q_OS_LINUX)
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length > 0 && length < ssize_t(sizeof path))
        return installationFolderOf(QFile::decodeName(QByteArray(path, int(length))));
#endif
    return installationFolderOf(programPath);
}

bool ensureReportFolder(QString *reason)
{
    const boost::filesystem::path folder("./logs/SupportTool");
    boost::system::error_code error;
    // Something already there is left as it is; but a file by that name is
    // no report folder, and running on would keep none of the reports.
    if (boost::filesystem::exists(folder, error)) {
        if (boost::filesystem::is_directory(folder, error))
            return true;
        if (reason)
            *reason = QStringLiteral("not a folder");
        return false;
    }
    boost::filesystem::create_directories(folder, error);
    if (error || !boost::filesystem::is_directory(folder)) {
        if (reason)
            *reason = QString::fromStdString(error ? error.message() : std::string("not a folder"));
        return false;
    }
    return true;
}

void tuneLogging()
{
    FLAGS_logbufsecs = 0;
    FLAGS_max_log_size = 10;
    FLAGS_stop_logging_if_full_disk = true;
    FLAGS_minloglevel = 0;
    // The library would also put a "latest file" link of each level beside
    // its files: beside the reports, where the archive would carry it as a
    // second copy of one report, and in the temporary folder.
    for (int severity = 0; severity < google::NUM_SEVERITIES; ++severity)
        google::SetLogSymlink(severity, "");
#ifdef Q_OS_WIN
    // The library opens its files through the C runtime without asking for
    // binary mode, and the runtime's default text mode would write every
    // "\n" of a record as "\r\n", and the "\r\n" of a command's own
    // lines as "\r\r\n": a report must hold its records' bytes. The library
    // opens its first file with its first record, after this. Nothing else
    // of the tool opens files through the C runtime (Qt, libzip and Boost go
    // to the system directly), and the standard streams are open already,
    // so they keep their mode.
    _fmode = _O_BINARY;
#endif
}

void writeFirstRecords(const QString &versionId)
{
    records::info(records::kMain, 60, QStringLiteral("versionId:") + versionId);
    records::warning(records::kMain, 61, QStringLiteral("SupportTool beg"));
}

QString reportUnusableReportFolder(const QString &reason)
{
    const QString message =
        QStringLiteral("The report folder \"%1\" cannot be created (%2). Please install Tessaly Render in a "
                       "folder you can write to, or start the tool with the rights to write there.")
            .arg(QDir::current().absoluteFilePath(QStringLiteral("logs/SupportTool")), reason);
    records::write(records::Level::Error, records::kMain, 56, message);
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return message;
}

void appendStandInsToSearchPath(const QString &programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder)
#else
    const QString standIns = QDir(programFolder).absoluteFilePath(QStringLiteral("standins"));
    QByteArray path = qgetenv("PATH");
    if (!path.isEmpty())
        path += ':';
    path += QFile::encodeName(standIns);
    qputenv("PATH", path);
#endif
}

QString noteSettingsFile()
{
    const settingsfile::Contents contents = settingsfile::read();
    QString notice;
    if (!contents.exists()) {
        records::info(records::kMain, 68, settingsfile::missingNotice());
    } else if (settingsfile::isOddEntry()) {
        notice = settingsfile::oddEntryNotice();
        records::warning(records::kMain, 69, notice);
    } else if (contents.state == settingsfile::Contents::State::Unreadable) {
        notice = settingsfile::unreadableNotice(contents);
        records::warning(records::kMain, 70, notice);
    }
    return notice;
}

QVector<EnvironmentSetting> openGLOffSettings(const QProcessEnvironment &environment)
{
    QVector<EnvironmentSetting> settings;
    // The toolkit takes an empty value for no value.
    for (const char *name : {kXcbChoice, kWaylandChoice}) {
        if (environment.value(QLatin1String(name)).isEmpty())
            settings.push_back({name, "none"});
    }
    return settings;
}

WithoutOpenGL::WithoutOpenGL()
{
    for (const EnvironmentSetting &setting : openGLOffSettings(QProcessEnvironment::systemEnvironment())) {
        const char *name = setting.name.constData();
        m_previous.push_back({setting.name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv(name, setting.value);
        if (setting.name == kWaylandChoice) {
            passOn = qInstallMessageHandler(withoutWaylandNoneWarnings);
            m_filtering = true;
        }
    }
}

void WithoutOpenGL::release()
{
    if (m_filtering)
        qInstallMessageHandler(passOn);
    m_filtering = false;
    for (const Previous &previous : m_previous) {
        if (previous.wasSet)
            qputenv(previous.name.constData(), previous.value);
        else
            qunsetenv(previous.name.constData());
    }
    m_previous.clear();
}

} // namespace startup
