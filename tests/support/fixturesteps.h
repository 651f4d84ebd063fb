#pragma once
// What a fixture program does when a test's code starts it: the steps the
// fixture program (tests/fixtures/program) carries out in order, written
// into the steps file beside its copy. The same steps behave the same on
// Linux and under Wine. Built by chained calls:
//   FixtureSteps().err("ERROR: disk full\n").exit(2)

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace testsupport {

class FixtureSteps
{
public:
    enum class Channel { Output, Errors };

    FixtureSteps &out(const QByteArray &bytes);
    FixtureSteps &err(const QByteArray &bytes);
    // The arguments, as the program received them, to standard output or
    // appended to a file, in the line loggedArguments reads back.
    FixtureSteps &printArguments();
    FixtureSteps &logArguments(const QString &logPath);
    FixtureSteps &touch(const QString &path);
    // Appends bytes to a file (made if missing).
    FixtureSteps &write(const QString &path, const QByteArray &bytes);
    // Replaces the file that argument N (from 1, as a shell's $N) names.
    FixtureSteps &writeToArgument(int n, const QByteArray &bytes);
    FixtureSteps &copyToArgument(int n, const QString &source);
    FixtureSteps &append(const QString &source, const QString &target);
    // Reads a line of standard input, or up to its end.
    FixtureSteps &readInput();
    FixtureSteps &wait(int milliseconds);
    // Waits 30 s: only a kill ends the program first.
    FixtureSteps &hang();
    // Leaves a process that holds standard output and error for that long.
    FixtureSteps &background(int milliseconds);
    // count bytes of line repeated, the last one cut.
    FixtureSteps &flood(Channel channel, qint64 count, const QByteArray &line);
    // SIGSEGV on Linux, an access violation on Windows.
    FixtureSteps &crash();
    FixtureSteps &exit(int code);
    // The steps of more, after these.
    FixtureSteps &then(const FixtureSteps &more);

    // The steps file's text.
    QByteArray text() const { return m_text; }

private:
    FixtureSteps &step(const QByteArray &keyword, const QList<QByteArray> &fields = {});
    QByteArray m_text;
};

// Copies the fixture program to programPath (a copy, not a link: the
// program finds its steps beside its own file) and writes the steps file
// beside it (programPath without a final ".exe", then ".steps"). Returns
// false if either could not be written.
bool placeFixture(const QString &programPath, const FixtureSteps &steps);

// The runs a log written by logArguments holds, each run's arguments in order.
QList<QStringList> loggedArguments(const QString &logPath);
// One argument line, as printArguments writes it, read back.
QStringList argumentsOfLine(const QByteArray &line);

} // namespace testsupport

// For a test's data rows.
Q_DECLARE_METATYPE(testsupport::FixtureSteps)
