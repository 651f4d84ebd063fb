#pragma once
// The steps start-up takes before the window exists, kept apart from main()
// so they can be exercised on their own.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace startup {

// The folder part of the program path: backslashes become slashes and the
// text after the last slash is dropped. A path without a slash is returned
// whole (changing into it then fails and the folder stays as it was).
QString installationFolderOf(const QString &programPath);

// The folder that holds the running program, as the system records it
// (/proc/self/exe on Linux, GetModuleFileNameW on Windows), whatever the
// first argument says: a program started by a bare name found on the
// search path, or by a relative path from another folder, is still where
// it is. Only when the system does not tell, the folder part of
// programPath (installationFolderOf).
QString programFolder(const QString &programPath);

// Makes "./logs/SupportTool" exist. Returns false, with a reason, when it
// cannot be created or something other than a folder stands there.
bool ensureReportFolder(QString *reason);

// The four logging settings, applied in this order after initialisation;
// no link to the latest file beside the reports; and on Windows the files
// the library opens in binary mode, so that a report holds exactly the
// bytes of its records, as elsewhere. To be called before the first record.
void tuneLogging();

// The run log's first two records: the launcher version and the start.
void writeFirstRecords(const QString &versionId);

// Says that the report folder cannot be created, for the reason given: an
// ERROR record and a line on standard error. Returns the message, for a
// message box. Every action writes its report there; without the folder the
// tool would run its checks and silently keep nothing, so it stops instead.
QString reportUnusableReportFolder(const QString &reason);

// On systems without PowerShell and cmd, appends the folder of our stand-ins
// to the executable search path, so a program of the same name placed
// earlier on the path still wins.
void appendStandInsToSearchPath(const QString &programFolder);

// The record for a settings file that is missing, that is no plain file and
// so is ignored, or that cannot be read faithfully and so is left alone.
// Returns the notice for a file that is there but not used, for the user to
// see (empty when the file is read, or missing as at a first start).
QString noteSettingsFile();

// An environment variable and the value start-up gives it.
struct EnvironmentSetting
{
    QByteArray name;
    QByteArray value;
};

// The toolkit's X11 and Wayland plug-ins load an OpenGL stack (Mesa, and
// with it LLVM: some 50 MB of the window program's memory) for every
// window, though the tool draws nothing with OpenGL. The variables that make
// them load none, each with "none", leaving out those the environment gives
// a value of the user's own: an explicit choice is kept. (Windows loads
// OpenGL only for OpenGL windows; eglfs draws everything with OpenGL, and is
// only ever chosen explicitly.)
QVector<EnvironmentSetting> openGLOffSettings(const QProcessEnvironment &environment);

// Sets those variables from construction, before the application object
// exists, until release(), to be called once the first window has been
// created (the plug-ins choose then, and keep their choice): the programs
// the tool starts, a desktop file browser among them, get the user's own
// environment. Meanwhile the Wayland plug-in's two warnings that it has no
// integration named "none" are not printed.
class WithoutOpenGL
{
public:
    WithoutOpenGL();
    ~WithoutOpenGL() { release(); }
    WithoutOpenGL(const WithoutOpenGL &) = delete;
    WithoutOpenGL &operator=(const WithoutOpenGL &) = delete;

    // Gives back the variables as they were and stops the filtering.
    void release();

private:
    struct Previous
    {
        QByteArray name;
        bool wasSet;
        QByteArray value;
    };
    QVector<Previous> m_previous;
    bool m_filtering = false;
};

} // namespace startup
