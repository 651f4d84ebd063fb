#include "shareable/shareableprogram.h"

#include "archive/archiver.h"
#include "installation/runlock.h"
#include "installation/scratchfile.h"
#include "process/cancellation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <limits>

namespace shareableprogram {

namespace {

using Status = shareablecopy::Outcome::Status;

// Its answer is one line; a reason a few.
constexpr int kOutputLimitBytes = 64 * 1024;
// Text logs shrink up to some twenty times in a zip archive.
constexpr qint64 kUnpackedPerArchiveByte = 20;

Result failure(const QString &problem) { return {Status::Failed, shareablecopy::failureText(problem)}; }

// The last line the program wrote to a channel, without its line end.
QString lastLine(const QByteArray &bytes)
{
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!line->trimmed().isEmpty())
            return line->trimmed();
    }
    return QString();
}

} // namespace

QString locate()
{
#ifdef Q_OS_WIN
    const QString file = name() + QStringLiteral(".exe");
#else
    const QString file = name();
#endif
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(file));
    if (beside.isFile() && beside.isExecutable())
        return beside.filePath();
    return QStandardPaths::findExecutable(name());
}

int timeLimitMs(qint64 archiveBytes)
{
    return archiver::timeLimitMs(qMin(archiveBytes, std::numeric_limits<qint64>::max() / kUnpackedPerArchiveByte)
                                 * kUnpackedPerArchiveByte);
}

Result resultOf(const childwait::Outcome &outcome, int timeLimitMs)
{
    if (outcome.cancelled)
        return {Status::Cancelled, QString()};
    if (outcome.failedToStart)
        return failure(QStringLiteral("%1 could not be started: %2").arg(name(), outcome.startError));
    if (outcome.timedOut)
        return failure(QStringLiteral("%1 had not finished after %2 minutes and was stopped")
                           .arg(name())
                           .arg(timeLimitMs / 60000.0));
    if (outcome.outputOverflowed || outcome.errorsOverflowed)
        return failure(QStringLiteral("%1 wrote too much and was stopped").arg(name()));
    if (outcome.crashed)
        return failure(QStringLiteral("%1 crashed").arg(name()));
    if (outcome.exitCode != kWritten) {
        const QString reason = lastLine(outcome.errors);
        return failure(reason.isEmpty() ? QStringLiteral("%1 ended with exit code %2").arg(name()).arg(outcome.exitCode)
                                        : reason);
    }
    const QString line = lastLine(outcome.output);
    if (line.isEmpty())
        return failure(QStringLiteral("%1 did not say where it wrote the copy").arg(name()));
    return {Status::Written, line};
}

Result run()
{
    const QString program = locate();
    if (program.isEmpty())
        return failure(QStringLiteral("%1 was found neither beside %2 nor on the search path")
                           .arg(name(), QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
    childwait::Command command;
    command.program = program;
    // Its standard input stays open and empty: when the tool goes away
    // without stopping it, its end tells the program to stop.
    command.outputLimitBytes = kOutputLimitBytes;
    // It writes in the installation folder as part of this run, under the
    // run's lock, which it is handed.
    command.inheritedHandle = runlock::heldHandle();
    command.inheritedHandleVariable = runlock::handOverVariable();
    const int limitMs = timeLimitMs(QFileInfo(archiver::archiveName()).size());
    const childwait::Outcome outcome = childwait::run(command, limitMs);
    const bool stopped = outcome.cancelled || outcome.timedOut || outcome.outputOverflowed || outcome.errorsOverflowed;
    if (stopped || outcome.crashed) {
        // Killed (or crashed) while it wrote: libzip's temporary file beside
        // the copy, or the map's, stays behind, since a kill leaves the
        // program no time to remove it.
        scratchfile::removeLeftoverTemporaries(QDir::current().absoluteFilePath(shareablecopy::copyName()));
        scratchfile::removeLeftoverTemporaries(QDir::current().absoluteFilePath(shareablecopy::mapName()));
    }
    // The application quitting under the wait counts as a cancellation too.
    if (cancellation::requested())
        return {Status::Cancelled, QString()};
    return resultOf(outcome, limitMs);
}

} // namespace shareableprogram
