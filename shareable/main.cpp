// SupportToolShareable: writes the shareable copy of the archive in the
// current folder (the installation folder, which the window and the runner
// start it in): zziplog_shareable.zip of zziplog.zip, and its map. The
// window runs it as a child rather than linking the zip library itself.
// It takes the installation folder's run lock, or is handed it by the run
// that starts it; another run holding it ends it with 10. On success it
// prints the pane's line (UTF-8) and exits with 0; otherwise it prints why
// on standard error and exits with another code (shareableprogram.h).

#include "archive/archiver.h"
#include "installation/scratchfile.h"
#include "installation/addresslist.h"
#include "installation/runlock.h"
#include "installation/settingsfile.h"
#include "shareable/knownnames.h"
#include "shareable/shareableprogram.h"
#include "stopconditions.h"
#include "supportzip/shareablecopy.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

// The names this machine gives, and the host names the address tests use.
shareable::KnownNames namesToReplace()
{
    shareable::KnownNames names = shareable::systemNames();
    QStringList listed;
    for (const QString &value : settingsfile::read().values(QStringLiteral("ipconfig")))
        listed << addresslist::partsOf(value);
    names.hostNames = shareable::addressListHosts(listed);
    return names;
}

void say(std::FILE *stream, const QString &line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char *argv[])
{
    // For the thread that watches the input, which Qt expects an application for.
    const QCoreApplication application(argc, argv);
    if (argc > 1) {
        say(stderr, QStringLiteral("Usage: SupportToolShareable (no arguments): writes zziplog_shareable.zip, a copy of "
                                   "zziplog.zip in the current folder without personal data, and its map "
                                   "zziplog_shareable_map.txt. It stops when its standard input ends."));
        return shareableprogram::kUsage;
    }
    // One writer at a time: a copy started by hand while a run writes its
    // own would remove that run's temporary file. The run that starts this
    // program hands it its lock.
    QString lockProblem;
    switch (runlock::takeHandedOver(QDir::currentPath(), &lockProblem)) {
    case runlock::Outcome::Held:
        break;
    case runlock::Outcome::Busy:
        say(stderr, runlock::busyMessage(QDir::currentPath()));
        return shareableprogram::kAnotherRun;
    case runlock::Outcome::Unavailable:
        say(stderr, QStringLiteral("SupportToolShareable: the installation folder cannot be locked against a second "
                                   "run (%1); going on without the lock.")
                        .arg(lockProblem));
        break;
    }
    const std::atomic<bool> &stop = stopconditions::watch();
    const QDir here = QDir::current();
    const QString copyPath = here.absoluteFilePath(shareablecopy::copyName());
    const QString mapPath = here.absoluteFilePath(shareablecopy::mapName());
    // What a copy killed while it wrote left behind.
    scratchfile::removeLeftoverTemporaries(copyPath);
    scratchfile::removeLeftoverTemporaries(mapPath);

    const shareablecopy::Outcome outcome = shareablecopy::write(here.absoluteFilePath(archiver::archiveName()),
                                                                copyPath, mapPath, namesToReplace(), stop);
    switch (outcome.status) {
    case shareablecopy::Outcome::Status::Written:
        say(stdout, shareablecopy::paneText(outcome, copyPath, mapPath));
        return shareableprogram::kWritten;
    case shareablecopy::Outcome::Status::Cancelled:
        say(stderr, QStringLiteral("stopped before the copy was written"));
        return shareableprogram::kStopped;
    case shareablecopy::Outcome::Status::Failed:
        break;
    }
    say(stderr, outcome.problem);
    return shareableprogram::kFailed;
}
