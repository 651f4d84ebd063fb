#pragma once
// An answers folder of the fixture PowerShell (tests/fixtures/powershell):
// for each command text (the arguments the checks pass, joined by single
// blanks), the files named by the lowercase hex SHA-256 of its UTF-8
// bytes, with ".out", ".err" and ".code"; "received.txt", where the
// fixture writes every command text it gets, one UTF-8 line each, and
// "arguments.txt", the arguments of its latest start. A fallback answer
// ("any.out", ...) serves every command text without one of its own; an
// answer may also make the fixture wait, flood, hang or crash
// (tests/fixtures/powershell/answers.h). The same folder serves the
// fixture built for Linux and the one built for Windows.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

class FixturePath;

// How the fixture ends after writing an answer.
enum class Ending { Exit, Hang, Crash };

struct Answer
{
    QByteArray output;
    QByteArray errors;
    int exitCode = 0;
    int delayMs = 0;       // waits this long before answering
    qint64 floodBytes = 0; // writes output and errors over and over, up to this many bytes each
    Ending ending = Ending::Exit; // Hang: waits 20 s after answering, so only a kill ends it early
};

class PowerShellAnswers
{
public:
    // A temporary folder, removed with the object.
    PowerShellAnswers();
    // The given folder, made when missing and left in place.
    explicit PowerShellAnswers(const QString &folder);
    // The fixture PowerShell of the fixtures: a folder inside theirs
    // (folderOf), emptied of earlier answers, that the fixture answers from
    // (answerThrough) for as long as the fixtures last, after this object
    // is gone too. The variable naming it is left set.
    explicit PowerShellAnswers(const FixturePath &fixtures);
    ~PowerShellAnswers();
    PowerShellAnswers(const PowerShellAnswers &) = delete;
    PowerShellAnswers &operator=(const PowerShellAnswers &) = delete;

    QString path() const { return m_path; }
    // The answer to one command text, or to the arguments of a command as
    // the runner hands them over (windowscommands::asScript joins them).
    // False when a file cannot be written.
    bool add(const QString &commandText, const QByteArray &output, const QByteArray &errors = {},
             int exitCode = 0) const;
    bool add(const QStringList &arguments, const QByteArray &output, const QByteArray &errors = {},
             int exitCode = 0) const;
    bool add(const QString &commandText, const Answer &answer) const;
    // The answer to every command text that has none of its own (without
    // it, such a text gets PowerShell's "is not recognized" error).
    bool addFallback(const Answer &answer) const;
    // The command texts the fixture got, in order.
    QStringList received() const;
    // The stem of a command text's answer files.
    static QString nameOf(const QString &commandText);

    // The answers folder of a FixturePath's fixture PowerShell.
    static QString folderOf(const FixturePath &fixtures);
    // The arguments of the latest start of the fixture answering from a folder.
    static QStringList lastArgumentsIn(const QString &folder);

    // Puts the built fixture, named powershell, first on the search path
    // (into the fixture folder) and points it at this folder, for the life
    // of this object. On Windows it only points it: the fixture lies in the
    // Wine prefix's system32, where a test loads it with
    // WINEDLLOVERRIDES=powershell.exe=n (tests/CMakeLists.txt).
    void answerThrough(const FixturePath &fixtures);

private:
    bool write(const QString &stem, const Answer &answer) const;

    QTemporaryDir m_temporary;
    QString m_path;
    bool m_pointedAt = false;
    QByteArray m_previousVariable;
    bool m_hadVariable = false;
};

} // namespace testsupport
