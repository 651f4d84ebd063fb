#pragma once
// An answers folder of the fixture PowerShell (tests/fixtures/powershell):
// for each command text (the arguments the checks pass, joined by single
// blanks), the files named by the lowercase hex SHA-256 of its UTF-8
// bytes, with ".out", ".err" and ".code"; and "received.txt", where the
// fixture writes every command text it gets, one UTF-8 line each. The same
// folder serves the fixture built for Linux and the one built for Windows.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

class FixturePath;

class PowerShellAnswers
{
public:
    // A temporary folder, removed with the object.
    PowerShellAnswers();
    // The given folder, made when missing and left in place.
    explicit PowerShellAnswers(const QString &folder);
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
    // The command texts the fixture got, in order.
    QStringList received() const;
    // The stem of a command text's answer files.
    static QString nameOf(const QString &commandText);

    // Puts the built fixture, named powershell, first on the search path
    // (into the fixture folder) and points it at this folder, for the life
    // of this object. On Windows it only points it: the fixture lies in the
    // Wine prefix's system32, where a test loads it with
    // WINEDLLOVERRIDES=powershell.exe=n (tests/CMakeLists.txt).
    void answerThrough(const FixturePath &fixtures);

private:
    QTemporaryDir m_temporary;
    QString m_path;
    bool m_pointedAt = false;
    QByteArray m_previousVariable;
    bool m_hadVariable = false;
};

} // namespace testsupport
