// Packing the host application's logs and the tool's reports into one
// archive: the log folders are copied aside, the copies named in a list
// file, the archiver run on that list, and the copies removed again.

#include "inspection/displaysystemrelatedinfo.h"

#include "archive/archiver.h"
#include "archive/logfolders.h"
#include "archive/logtreecopy.h"
#include "archive/packing.h"
#include "inspection/windowscommands.h"
#include "installation/scratchfile.h"
#include "installation/treeremoval.h"
#include "process/workaside.h"
#include "records/records.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextStream>

namespace {

// A path 7-Zip's list file cannot carry: the line break would cut it in two
// lines that name something else.
bool breaksListLine(const QString &path)
{
    return path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
}

// The log folders of one packing: what was copied, listed for 7-Zip or left out.
struct Listing
{
    QTextStream &list;
    packing::Outcome &packed;
    bool sourcesFound = false;
    bool cancelled = false;
    int listed = 0;

    // Names the copy in the list when it was made and can be named there;
    // otherwise counts what is not packed.
    void add(const QString &source, const QString &copy, const logtreecopy::Outcome &copied)
    {
        sourcesFound = sourcesFound || QFileInfo(source).isDir();
        cancelled = cancelled || copied.cancelled;
        packed.leftOut += copied.leftOut;
        if (!copied.made) {
            // A log folder whose copy could not be made at all is not in the archive.
            if (QFileInfo(source).isDir() && copied.leftOut.isEmpty() && !copied.cancelled)
                packed.leftOut << source + QStringLiteral(": its copy ") + copy + QStringLiteral(" cannot be created");
            return;
        }
        if (breaksListLine(copy)) {
            const QString why = logtreecopy::shownPath(copy.toUtf8())
                + QStringLiteral(": its path holds a line break, which 7-Zip's list file cannot carry");
            records::warning(records::kInspection, 612, QStringLiteral("Not packed: ") + why);
            packed.leftOut << why;
            return;
        }
        list << copy << Qt::endl;
        ++listed;
    }
};

} // namespace

void displaysystemrelatedinfo::collectAndZipLogs(QString &appDataFolder)
{
    packing::Outcome ignored;
    collectAndZipLogs(appDataFolder, ignored);
}

void displaysystemrelatedinfo::collectAndZipLogs(QString &appDataFolder, packing::Outcome &packed)
{
    packed = packing::Outcome();
    // Neither the list is written into, nor the archive made from, what a
    // link under their names points to; nor does a pipe there stop the run.
    scratchfile::clearOdd(archiver::listFileName());
    scratchfile::clearOdd(archiver::archiveName());
    // The list is made afresh: not a line of a list an older version (or
    // anybody) left may reach 7-Zip, nor is a file linked under its name
    // written into.
    QFile::remove(archiver::listFileName());
    QFile listFile(archiver::listFileName());
    const bool listOpened = listFile.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    QTextStream list(&listFile);
    // 7-Zip reads list files as UTF-8 unless told otherwise, whatever the
    // system's code page: so the paths reach it intact, letters like "Ü" included.
    list.setCodec(QTextCodec::codecForName("UTF-8"));
    records::info(records::kInspection, 576, QStringLiteral("Create logsLocation.txt to record all the log paths"));

    Listing listing{list, packed};
    const QString installationCopy = logfolders::installationCopy();
    listing.add(logfolders::installationLogs(), installationCopy,
                copyLogFolder(logfolders::installationLogs(), installationCopy));

    appDataFolder = logfolders::appDataFolder();
    const QString perUserCopy = logfolders::perUserCopy(appDataFolder);
    listing.add(logfolders::perUserLogs(appDataFolder), perUserCopy,
                copyLogFolder(logfolders::perUserLogs(appDataFolder), perUserCopy));
    listFile.close();

    archiver::Result &archive = packed.archive;
    if (listing.cancelled) {
        archive.status = archiver::Result::Status::Cancelled;
    } else if (listing.listed > 0 && (!listOpened || listFile.error() != QFileDevice::NoError)) {
        archive = archiver::skipped(QStringLiteral("the list file %1 cannot be written (%2)")
                                        .arg(archiver::listFileName(), listFile.errorString()));
    } else if (listing.listed == 0) {
        archive = archiver::skipped(packing::nothingToPackReason(
            listing.sourcesFound, logfolders::installationLogs(), logfolders::perUserLogs(appDataFolder)));
    } else {
        if (QFile::exists(logfolders::leftoverArchive()))
            removeLastZip();
        records::info(records::kInspection, 611, QStringLiteral("Logs found, start zipping........."));
        // Long enough for the slowest machine to pack what was copied, so
        // only a hung archiver meets the limit.
        const qint64 bytes =
            logtreecopy::plainFileBytes(installationCopy) + logtreecopy::plainFileBytes(perUserCopy);
        archive = archiver::run(archiver::timeLimitMs(bytes));
    }

    if (archive.failed()) {
        records::warning(records::kInspection, 620, archiver::failureRecordText(archive));
    } else {
        records::info(records::kInspection, 620,
                      QStringLiteral("Zip finished, saved into zziplog.zip in your installation folder"));
        if (archive.status == archiver::Result::Status::WithWarnings) {
            records::warning(records::kInspection, 621, archiver::warningRecordText(archive));
            for (const QString &entry : archiver::notPacked(archive)) {
                records::warning(records::kInspection, 622, QStringLiteral("Not packed: ") + entry);
                packed.leftOut << entry;
            }
        }
        if (!packed.leftOut.isEmpty())
            records::warning(records::kInspection, 623, packing::leftOutRecordText(packed));
    }

    // The copies and the list exist only while a packing is under way,
    // whatever became of it.
    removeCopiedFolder(installationCopy);
    removeCopiedFolder(perUserCopy);
    QFile::remove(archiver::listFileName());
}

logtreecopy::Outcome displaysystemrelatedinfo::copyLogFolder(const QString &source, const QString &destination)
{
    if (!QFileInfo(source).isDir()) {
        records::info(records::kInspection, 524, QStringLiteral("There is no logs in ") + source);
        return {};
    }
    records::info(records::kInspection, 528,
                  QStringLiteral("Copying logs from ") + source + QStringLiteral(" to ") + destination);
    // Gigabytes of logs take a while: the copy runs beside the window, which
    // stays live, and stops as soon as the run is cancelled.
    logtreecopy::Outcome outcome;
    if (workaside::run([&](const std::atomic<bool> &stop) {
            outcome = logtreecopy::copyListed(source, logtreecopy::listVisible(source, &stop), destination, &stop);
        })) {
        outcome.cancelled = true;
    }
    for (const QString &renamed : qAsConst(outcome.renamed)) {
        records::info(records::kInspection, 552,
                      QStringLiteral("Copied under a name of its own, its name is not valid UTF-8: ") + renamed);
    }
    for (const QString &leftOut : qAsConst(outcome.leftOut))
        records::warning(records::kInspection, 551, QStringLiteral("Not copied: ") + leftOut);
    if (outcome.cancelled) {
        records::warning(records::kInspection, 550, QStringLiteral("Copy stopped, the run was cancelled"));
    } else if (!outcome.made) {
        // Nothing was copied: the archive must not name a copy that is not there.
        records::warning(records::kInspection, 550,
                         QStringLiteral("Copy failed, the folder ") + destination
                             + (outcome.leftOut.isEmpty() ? QStringLiteral(" cannot be created")
                                                          : QStringLiteral(" cannot be used")));
    } else if (!outcome.leftOut.isEmpty()) {
        records::warning(records::kInspection, 550,
                         QStringLiteral("Copy incomplete, %1 of the files and folders in %2 are not in the copy%3")
                             .arg(outcome.leftOut.size())
                             .arg(source, outcome.complete ? QString() : QStringLiteral(", some could not be written")));
    } else {
        records::info(records::kInspection, 550, QStringLiteral("Copy Successfully"));
    }
    return outcome;
}

void displaysystemrelatedinfo::removeCopiedFolder(const QString &folder)
{
    // A link in the copy's place is removed by itself: deleting "its
    // contents" would delete whatever it points to.
    logtreecopy::clearNonFolder(folder);
    if (!QFileInfo(folder).isDir()) {
        records::info(records::kInspection, 560, QStringLiteral("There is no copied folder : ") + folder);
        return;
    }
    records::info(records::kInspection, 563, QStringLiteral("Removing logs in ") + folder);
    treeremoval::removeTree(folder);
    records::info(records::kInspection, 565, QStringLiteral("Remove Successfully"));
}

void displaysystemrelatedinfo::removeLastZip()
{
    if (QFile::exists(logfolders::leftoverArchive())) {
        runCommand(windowscommands::removeFile(logfolders::leftoverArchive()), windowscommands::powerShell());
        records::info(records::kInspection, 510, QStringLiteral("Remove Zip file from last time"));
    }
    // A link in its place goes as the link; the folder's contents go without
    // following a link inside it: whatever they point to is somebody else's.
    treeremoval::removeTree(logfolders::leftoverFolder());
}
