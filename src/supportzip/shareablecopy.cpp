#include "supportzip/shareablecopy.h"

#include "installation/scratchfile.h"
#include "reports/reportsources.h"
#include "shareable/pseudonyms.h"
#include "shareable/shareablemap.h"
#include "shareable/textscrubber.h"
#include "supportzip/archivereader.h"
#include "supportzip/cleanedentrysource.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace shareablecopy {

namespace {

using archivereader::ArchiveReader;

Outcome failure(const QString &problem, const std::atomic<bool> &stop)
{
    Outcome outcome;
    outcome.status = stop.load() ? Outcome::Status::Cancelled : Outcome::Status::Failed;
    outcome.problem = problem;
    return outcome;
}

bool isFolder(const archivereader::EntryInfo &entry) { return entry.name.endsWith(QLatin1Char('/')); }

// Up to limit bytes from the start of an entry.
bool firstBytes(const ArchiveReader &reader, int index, qint64 limit, QByteArray *content, QString *problem)
{
    const ziphandles::Entry entry = reader.openEntry(index, problem);
    if (!entry)
        return false;
    content->resize(int(qMin(limit, reader.entries().at(index).size)));
    qint64 filled = 0;
    while (filled < content->size()) {
        const zip_int64_t got = zip_fread(entry.get(), content->data() + filled, zip_uint64_t(content->size() - filled));
        if (got < 0) {
            *problem = QStringLiteral("\"%1\" is damaged: %2")
                           .arg(reader.entries().at(index).name, ziphandles::errorText(entry.get()));
            return false;
        }
        if (got == 0)
            break;
        filled += got;
    }
    content->truncate(int(filled));
    return true;
}

// Which entries are text, and the names their beginnings show (the whole
// of the tool's own reports, whose network report shows the machine's
// names anywhere in it; of every other text the head, where the logging
// library's header stands).
bool survey(const ArchiveReader &reader, shareable::KnownNames *names, QVector<bool> *text, QString *problem,
            const std::atomic<bool> &stop)
{
    text->fill(false, reader.entries().size());
    for (int index = 0; index < reader.entries().size() && !stop.load(); ++index) {
        const archivereader::EntryInfo &entry = reader.entries().at(index);
        if (isFolder(entry))
            continue;
        const bool report = !findings::reportNameOf(entry.name).isEmpty();
        QByteArray content;
        if (!firstBytes(reader, index, report ? findings::kMaxReportBytes : kTextSample, &content, problem))
            return false;
        (*text)[index] = looksLikeText(content.left(kTextSample));
        if ((*text)[index])
            shareable::addNamesShownIn(content, names);
    }
    return !stop.load();
}

// name, or name with "~2", "~3"... before its extension when an entry of
// that name was added already (two real names can clean to one).
QString unusedName(const QString &name, QSet<QString> *taken)
{
    QString unused = name;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const int cut = dot > name.lastIndexOf(QLatin1Char('/')) + 1 ? dot : name.size();
    for (int number = 2; taken->contains(unused); ++number)
        unused = name.left(cut) + QLatin1Char('~') + QString::number(number) + name.mid(cut);
    taken->insert(unused);
    return unused;
}

// The note's own words are cleaned too: a user may be called by one of them.
QByteArray noteText(const QStringList &leftOut, shareable::TextScrubber &scrubber)
{
    QByteArray note = scrubber.clean(
        "This archive is a copy of zziplog.zip made to be shared. In every text file, and in the file names,\n"
        "the computer's name, the user's name, the machine's DNS names, the host names of the address list,\n"
        "IPv4 and IPv6 addresses and hardware (MAC) addresses were replaced by stand-ins such as host0, user0\n"
        "and domain0: the same stand-in for the same value everywhere. What each stand-in replaced is kept\n"
        "only on the computer that made the copy.\n\n");
    if (leftOut.isEmpty())
        return note + "No file was left out.\n";
    note += QStringLiteral("Left out because they are not text (%1):\n").arg(leftOut.size()).toUtf8();
    for (const QString &name : leftOut)
        note += name.toUtf8() + '\n';
    return note;
}

bool addEntry(zip_t *copy, const QString &name, ziphandles::Source source, qint64 modified, QString *problem)
{
    const zip_int64_t index = zip_file_add(copy, name.toUtf8().constData(), source.get(), ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        *problem = ziphandles::errorText(copy);
        return false;
    }
    source.release(); // the archive owns it now
    zip_set_file_compression(copy, zip_uint64_t(index), ZIP_CM_DEFLATE, kCompressionLevel);
    if (modified > 0)
        zip_file_set_mtime(copy, zip_uint64_t(index), time_t(modified), 0);
    return true;
}

} // namespace

bool looksLikeText(const QByteArray &sample) { return !sample.contains('\0'); }

Outcome write(const QString &archivePath, const QString &copyPath, const QString &mapPath,
              const shareable::KnownNames &names, const std::atomic<bool> &stop)
{
    QString problem;
    const std::optional<ArchiveReader> reader = ArchiveReader::open(archivePath, findings::kMaxArchiveEntries, &problem);
    if (!reader)
        return failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(archivePath), problem), stop);
    shareable::KnownNames known = names;
    QVector<bool> text;
    if (!survey(*reader, &known, &text, &problem, stop))
        return failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(archivePath), problem), stop);

    shareable::Pseudonyms pseudonyms(known);
    shareable::TextScrubber scrubber(pseudonyms);
    // What stands under the name is replaced, never written through or waited on.
    scratchfile::clearOdd(copyPath);
    ziphandles::Archive copy = ziphandles::openForWriting(copyPath, &problem);
    const auto writingFailed = [&](const QString &why) {
        return failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(copyPath), why), stop);
    };
    if (!copy)
        return writingFailed(problem);

    Outcome outcome;
    QSet<QString> taken;
    for (int index = 0; index < reader->entries().size(); ++index) {
        const archivereader::EntryInfo &entry = reader->entries().at(index);
        const QString name = QString::fromUtf8(scrubber.clean(entry.name.toUtf8()));
        if (isFolder(entry)) {
            if (!taken.contains(name)) {
                taken.insert(name);
                if (zip_dir_add(copy.get(), name.toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0)
                    return writingFailed(ziphandles::errorText(copy.get()));
            }
        } else if (!text.at(index)) {
            outcome.leftOut << name;
        } else {
            ziphandles::Source source = shareable::cleanedEntrySource(*reader, index, scrubber, stop, &problem);
            if (!source || !addEntry(copy.get(), unusedName(name, &taken), std::move(source), entry.modified, &problem))
                return writingFailed(problem);
            ++outcome.textEntries;
        }
    }
    // Read by libzip only when the archive is closed.
    const QByteArray note = noteText(outcome.leftOut, scrubber);
    ziphandles::Error error;
    ziphandles::Source noteSource(zip_source_buffer_create(note.constData(), zip_uint64_t(note.size()), 0, error.get()));
    if (!noteSource)
        return writingFailed(ziphandles::errorText(error.get()));
    if (!addEntry(copy.get(), unusedName(noteName(), &taken), std::move(noteSource), 0, &problem))
        return writingFailed(problem);

    if (zip_close(copy.get()) != 0)
        return writingFailed(ziphandles::errorText(copy.get()));
    copy.release(); // closed, and with it freed

    if (!shareablemap::write(mapPath, shareablemap::text(pseudonyms.replacements()), &problem)) {
        // The copy and its map go together: the user answers support's
        // questions about a stand-in from the map.
        QFile::remove(copyPath);
        return failure(QStringLiteral("the map of its stand-ins cannot be written to %1: %2")
                           .arg(QDir::toNativeSeparators(mapPath), problem),
                       stop);
    }
    outcome.status = Outcome::Status::Written;
    return outcome;
}

} // namespace shareablecopy
