#pragma once
// Shared scaffolding of the tests: a throw-away installation folder, fixture
// programs first on the search path, and reading back the report files.

#include "fixturesteps.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Initialises the logging library once per test process, with its default
// destination in a temporary folder.
void initLogging();

// For tests that drive the window: logging as above, no quitting when a
// window closes (every later wait would return at once), requests kept on
// this machine (loopbackonly.h), the checks' debug traces (the whole
// update list) kept from burying a failure, and the build's programs last
// on the search path (appendProgramsToPath).
void initWindowTests();

// Points the report destination at a prefix nobody writes to, so that the
// next switch an action makes opens a new file even if it names the prefix
// the previous test used. Returns the prefix (a new one at each call).
QString forgetReport();

// A temporary installation folder, current for the guard's life, with the
// report folder "logs/SupportTool" already made.
class InstallFolder
{
public:
    InstallFolder();
    ~InstallFolder();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const;
    void writeFile(const QString &relative, const QByteArray &content) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A folder of fixture programs placed first on PATH for the guard's life.
class FixturePath
{
public:
    FixturePath();
    ~FixturePath();
    QString path() const { return m_dir.path(); }
    // A program that runs the given POSIX shell body (Linux alone).
    void addScript(const QString &name, const QByteArray &body) const;
    // The fixture program under the name (name.exe on Windows), doing what
    // steps say; returns its path.
    QString addFixture(const QString &name, const FixtureSteps &steps) const;
    // A program that prints stdoutBytes and stderrBytes exactly and exits
    // with code (the fixture program, on every platform).
    void addProgram(const QString &name, const QByteArray &stdoutBytes, const QByteArray &stderrBytes = {},
                    int exitCode = 0) const;
    // A "powershell" and a "cmd" that answer nothing, for tests whose
    // subject is not what the checks find. On Windows it adds nothing:
    // CreateProcessW finds the system's own shells in system32 before the
    // search path (under Wine a powershell stub that answers nothing, and
    // Wine's cmd), and such tests must pass whatever they answer.
    void addSilentShells() const;
    // The fixture PowerShell (powershellanswers.h, which defines this),
    // answering each script (arguments joined by blanks) with the bytes
    // given, and any other script with nothing.
    void addPowerShell(const QList<QPair<QString, QByteArray>> &answers) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousPath;
};

// Puts the built stand-ins last on PATH, as start-up does (on Windows,
// which has the real shells, nothing).
void appendStandInsToPath();
// Puts the build's programs last on PATH: the window looks for the writer
// of the shareable copy beside itself, and then there (a test program is
// not beside it).
void appendProgramsToPath();

// One record of a report file.
struct Record
{
    QChar level;     // 'I', 'W', 'E'
    QString file;    // source file name, such as "displaysystemrelatedinfo.cpp"
    int line = 0;    // source line
    QString text;    // message, continuation lines joined with "\n"
};

// The report files under logs/SupportTool of the current folder whose name
// starts with prefix, oldest first.
QStringList reportFiles(const QString &namePrefix);
QByteArray readFile(const QString &path);
// The four header lines of a report file.
QStringList headerLines(const QByteArray &content);
// The records after the header.
QList<Record> parseRecords(const QByteArray &content);
// The records of one report file whose source file is file.
QList<Record> recordsOf(const QString &reportPath);

} // namespace testsupport
