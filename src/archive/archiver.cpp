#include "archive/archiver.h"

#include "installation/scratchfile.h"
#include "process/childwait.h"
#include "process/consoletext.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <limits>

namespace archiver {

namespace {

// 7-Zip's exit codes above the warning level.
QString meaningOfExitCode(int code)
{
    switch (code) {
    case 2: return QStringLiteral("fatal error");
    case 7: return QStringLiteral("command line error");
    case 8: return QStringLiteral("not enough memory");
    case 255: return QStringLiteral("stopped by the user");
    default: return QString();
    }
}

// Removes a plain file, or a link, an older run left under name: never a
// folder, nor through a link.
void removeLeftover(const QString &name)
{
    scratchfile::clearOdd(name);
    if (scratchfile::isPlain(name))
        QFile::remove(name);
}

// The unfinished archive, and the temporary files 7-Zip writes beside an
// archive it updates, which a stopped 7-Zip leaves behind.
void removeUnfinished()
{
    for (const QString &name : {unfinishedArchiveName(), unfinishedArchiveName() + QStringLiteral(".tmp"),
                                archiveName() + QStringLiteral(".tmp")})
        removeLeftover(name);
}

} // namespace

bool Result::failed() const { return status != Status::NotRun && !written(); }

Result skipped(const QString &why)
{
    Result result;
    result.status = Result::Status::Skipped;
    result.errorText = why;
    return result;
}

QString locate()
{
    const QFileInfo bundled(bundledProgram());
    if (bundled.isFile() && bundled.isExecutable())
        return bundledProgram();
    for (const char *name : {"7z", "7zz", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

int timeLimitMs(qint64 bytesToPack)
{
    constexpr qint64 kBaseMs = 10 * 60 * 1000;
    constexpr qint64 kMsPerStep = 60 * 1000;
    constexpr qint64 kBytesPerStep = 50 * 1024 * 1024;
    const qint64 steps = (qMax<qint64>(0, bytesToPack) + kBytesPerStep - 1) / kBytesPerStep;
    return int(qMin<qint64>(kBaseMs + steps * kMsPerStep, std::numeric_limits<int>::max()));
}

Result run(int timeLimitMs)
{
    Result result;
    result.timeLimitMs = timeLimitMs;
    result.program = locate();
    if (result.program.isEmpty()) {
        result.status = Result::Status::NotFound;
        return result;
    }

    childwait::Command command;
    command.program = result.program;
    command.arguments = QStringList{QStringLiteral("a"), unfinishedArchiveName(), QLatin1Char('@') + listFileName()};
    // Its progress report is of no use to anyone; its error output says why a run failed.
    command.discardOutput = true;
    // 7-Zip's add command adds to an archive that exists: the new archive is
    // made from nothing, so no entry of an earlier run survives in it.
    removeUnfinished();
    // Nothing is ever typed into it: a question it might ask gets end of input, not a hang.
    command.closeInput = true;
    const childwait::Outcome outcome = childwait::run(command, timeLimitMs);

    if (outcome.failedToStart) {
        result.status = Result::Status::FailedToStart;
        result.errorText = outcome.startError;
        removeUnfinished();
        return result;
    }
    // 7-Zip writes its warnings in the console's code page, as the other console tools do.
    result.errorText = consoletext::fromChild(outcome.errors).trimmed();
    result.exitCode = outcome.exitCode;
    if (outcome.cancelled)
        result.status = Result::Status::Cancelled;
    else if (outcome.timedOut)
        result.status = Result::Status::TimedOut;
    else if (outcome.crashed)
        result.status = Result::Status::Crashed;
    else if (result.exitCode == 0)
        result.status = Result::Status::Succeeded;
    else if (result.exitCode == 1)
        result.status = Result::Status::WithWarnings;
    else
        result.status = Result::Status::ExitedWithError;
    // Whatever the exit code says, an archive that is not there was not written.
    if (result.written() && !scratchfile::isPlain(unfinishedArchiveName()))
        result.status = Result::Status::NoArchive;
    if (result.written()) {
        QString why;
        if (!scratchfile::moveOver(unfinishedArchiveName(), archiveName(), &why)) {
            result.status = Result::Status::NotReplaced;
            result.errorText = why;
        }
    }
    removeUnfinished();
    return result;
}

QString failureReason(const Result &result)
{
    switch (result.status) {
    case Result::Status::NotFound:
        return QStringLiteral("no 7-Zip archiver was found (neither %1 nor 7z, 7zz or 7za on the search path)")
            .arg(bundledProgram());
    case Result::Status::FailedToStart:
        return QStringLiteral("the archiver %1 could not be started (%2)").arg(result.program, result.errorText);
    case Result::Status::ExitedWithError: {
        const QString meaning = meaningOfExitCode(result.exitCode);
        return QStringLiteral("the archiver %1 ended with error code %2%3")
            .arg(result.program)
            .arg(result.exitCode)
            .arg(meaning.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(meaning));
    }
    case Result::Status::Crashed:
        return QStringLiteral("the archiver %1 stopped unexpectedly").arg(result.program);
    case Result::Status::NoArchive:
        return QStringLiteral("the archiver %1 ended without writing %2").arg(result.program, archiveName());
    case Result::Status::NotReplaced:
        return QStringLiteral("the new archive %1 could not take the place of %2 (%3)")
            .arg(unfinishedArchiveName(), archiveName(), result.errorText);
    case Result::Status::Skipped:
        return result.errorText;
    case Result::Status::TimedOut:
        return QStringLiteral("the archiver %1 had not finished after %2 minutes and was stopped")
            .arg(result.program)
            .arg(result.timeLimitMs / 60000.0);
    case Result::Status::Cancelled:
        return QStringLiteral("the window was closed while the logs were being zipped");
    case Result::Status::NotRun:
    case Result::Status::Succeeded:
    case Result::Status::WithWarnings:
        break;
    }
    return QString();
}

QString failureRecordText(const Result &result)
{
    QString text =
        QStringLiteral("Zip failed, zziplog.zip does not hold the logs of this run: ") + failureReason(result);
    const bool errorTextIsReason = result.status == Result::Status::FailedToStart
        || result.status == Result::Status::NotReplaced || result.status == Result::Status::Skipped;
    if (!errorTextIsReason && !result.errorText.isEmpty())
        text += QStringLiteral("\n7-Zip said:\n") + result.errorText;
    return text;
}

QString failurePaneText(const Result &result)
{
    return QStringLiteral("Zipping failed: %1. \"zziplog.zip\" in your Tessaly render installation folder does not "
                          "hold the logs of this run.")
        .arg(failureReason(result));
}

QStringList notPacked(const Result &result)
{
    if (result.status != Result::Status::WithWarnings)
        return {};
    // 7-Zip names each file it could not read on the line after its warning:
    // "WARNING: errno=13 : Permission denied" then the path.
    QStringList found;
    const QStringList lines = result.errorText.split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const QString path = lines.at(i + 1).trimmed();
        if (line.startsWith(QLatin1String("WARNING: ")) && !path.isEmpty() && !path.startsWith(QLatin1String("WARNING")))
            found << path + QStringLiteral(": ") + line.mid(9);
    }
    if (found.isEmpty())
        found << QStringLiteral("what 7-Zip warned about: ")
                     + (result.errorText.isEmpty() ? QStringLiteral("(it said nothing)") : result.errorText);
    return found;
}

QString warningRecordText(const Result &result)
{
    QString text = QStringLiteral("7-Zip finished with warnings (exit code 1): some files could not be read and may "
                                  "be missing from zziplog.zip");
    if (!result.errorText.isEmpty())
        text += QStringLiteral("\n7-Zip said:\n") + result.errorText;
    return text;
}

} // namespace archiver
