#include "supportzip/shareablecopy.h"

#include "installation/scratchfile.h"
#include "reports/reportsources.h"
#include "shareable/knownnames.h"
#include "shareable/pseudonyms.h"
#include "shareable/textencoding.h"
#include "shareable/utf16text.h"
#include "shareable/shareablemap.h"
#include "shareable/textscrubber.h"
#include "supportzip/archivereader.h"
#include "supportzip/cleanedentrysource.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <vector>

namespace shareablecopy {

namespace {

using archivereader::ArchiveReader;
using textencoding::Encoding;

Outcome failure(const QString &problem, const std::atomic<bool> &stop)
{
    Outcome outcome;
    outcome.status = stop.load() ? Outcome::Status::Cancelled : Outcome::Status::Failed;
    outcome.problem = problem;
    return outcome;
}

bool isFolder(const archivereader::EntryInfo &entry) { return entry.name.endsWith(QLatin1Char('/')); }

// Learns the names an entry shows as it is read: from its bytes, and from
// them read as UTF-16 in each byte order the entry may be in.
class EntryNames
{
public:
    explicit EntryNames(shareable::KnownNames *names) : m_bytes(names), m_names(names) {}

    void readAsUtf16(const QVector<utf16text::ByteOrder> &orders)
    {
        for (const utf16text::ByteOrder order : orders)
            m_utf16.push_back({utf16text::Decoder(order), shareable::NamesShownIn(m_names), QByteArray()});
    }
    void feed(const char *data, qsizetype size)
    {
        m_bytes.feed(data, size);
        for (AsUtf16 &each : m_utf16) {
            each.text.clear();
            each.decoder.feed(data, size, &each.text);
            each.names.feed(each.text.constData(), each.text.size());
        }
    }
    void finish()
    {
        m_bytes.finish();
        for (AsUtf16 &each : m_utf16) {
            each.text.clear();
            each.decoder.finish(&each.text);
            each.names.feed(each.text.constData(), each.text.size());
            each.names.finish();
        }
    }

private:
    struct AsUtf16
    {
        utf16text::Decoder decoder;
        shareable::NamesShownIn names;
        QByteArray text;
    };
    shareable::NamesShownIn m_bytes;
    shareable::KnownNames *m_names;
    std::vector<AsUtf16> m_utf16;
};

// The first pass, before anything is written: the encoding of every entry,
// and the names every text shows anywhere in it (a network report further
// down, a log's header, a UTF-16 text), each entry read whole, piece by
// piece. A binary entry is read no further than its start shows it.
bool survey(const ArchiveReader &reader, shareable::KnownNames *names, QVector<Encoding> *encodings, QString *problem,
            const std::atomic<bool> &stop)
{
    encodings->fill(Encoding::NotText, reader.entries().size());
    QByteArray piece(shareable::kPieceBytes, Qt::Uninitialized);
    for (int index = 0; index < reader.entries().size(); ++index) {
        const archivereader::EntryInfo &info = reader.entries().at(index);
        if (isFolder(info))
            continue;
        const ziphandles::Entry entry = reader.openEntry(index, problem);
        if (!entry)
            return false;
        textencoding::Survey encoding;
        EntryNames learning(names);
        // What is read before the encodings it may be in are known.
        QByteArray start;
        bool begun = false;
        const auto begin = [&] {
            learning.readAsUtf16(encoding.candidates());
            learning.feed(start.constData(), start.size());
            start = QByteArray();
            begun = true;
        };
        for (;;) {
            if (stop.load())
                return false;
            const zip_int64_t got = zip_fread(entry.get(), piece.data(), zip_uint64_t(piece.size()));
            if (got < 0) {
                *problem = QStringLiteral("\"%1\" is damaged: %2").arg(info.name, ziphandles::errorText(entry.get()));
                return false;
            }
            if (got == 0)
                break;
            encoding.feed(piece.constData(), got);
            if (encoding.settled())
                break;
            if (begun) {
                learning.feed(piece.constData(), got);
                continue;
            }
            start.append(piece.constData(), int(got));
            if (encoding.sampleDone())
                begin();
        }
        (*encodings)[index] = encoding.verdict();
        if (!encoding.settled()) {
            if (!begun)
                begin();
            learning.finish();
        }
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
QByteArray noteText(const QStringList &notText, const QStringList &undecided, shareable::TextScrubber &scrubber)
{
    QByteArray note = scrubber.clean(
        "This archive is a copy of zziplog.zip made to be shared. In every text file, and in the file names,\n"
        "the computer's name, the user's name, the machine's DNS names, the host names of the address list,\n"
        "IPv4 and IPv6 addresses and hardware (MAC) addresses were replaced by stand-ins such as host0, user0\n"
        "and domain0: the same stand-in for the same value everywhere. What each stand-in replaced is kept\n"
        "only on the computer that made the copy.\n\n");
    if (notText.isEmpty() && undecided.isEmpty())
        return note + "No file was left out.\n";
    const auto list = [&note](const QString &heading, const QStringList &names) {
        if (names.isEmpty())
            return;
        note += heading.arg(names.size()).toUtf8();
        for (const QString &name : names)
            note += name.toUtf8() + '\n';
    };
    list(QStringLiteral("Left out because they are not text (%1):\n"), notText);
    list(QStringLiteral("Left out because their encoding could not be told for certain (UTF-16 or 8-bit text), or "
                        "is one the cleaning does not read (UTF-32), so they could not be cleaned safely (%1):\n"),
         undecided);
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

Outcome write(const QString &archivePath, const QString &copyPath, const QString &mapPath,
              const shareable::KnownNames &names, const std::atomic<bool> &stop)
{
    QString problem;
    const std::optional<ArchiveReader> reader = ArchiveReader::open(archivePath, findings::kMaxArchiveEntries, &problem);
    if (!reader)
        return failure(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(archivePath), problem), stop);
    shareable::KnownNames known = names;
    QVector<Encoding> encodings;
    if (!survey(*reader, &known, &encodings, &problem, stop))
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
    QStringList notText;
    QStringList undecided;
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
        } else if (encodings.at(index) == Encoding::NotText) {
            notText << name;
        } else if (encodings.at(index) == Encoding::Uncertain) {
            undecided << name;
        } else {
            ziphandles::Source source =
                shareable::cleanedEntrySource(*reader, index, encodings.at(index), scrubber, stop, &problem);
            if (!source || !addEntry(copy.get(), unusedName(name, &taken), std::move(source), entry.modified, &problem))
                return writingFailed(problem);
            ++outcome.textEntries;
        }
    }
    // Read by libzip only when the archive is closed.
    outcome.leftOut = notText + undecided;
    const QByteArray note = noteText(notText, undecided, scrubber);
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
