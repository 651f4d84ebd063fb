#include "supportzip/cleanedentrysource.h"

#include "shareable/entrycleaner.h"
#include "supportzip/archivereader.h"

#include <cstring>
#include <memory>
#include <optional>

namespace shareable {

namespace {

struct EntryState
{
    EntryState(const archivereader::ArchiveReader &reader, int index, textencoding::Encoding encoding,
               TextScrubber &scrubber, const std::atomic<bool> &stop)
        : reader(reader), index(index), encoding(encoding), scrubber(scrubber), stop(stop)
    {
        zip_error_init(&error);
    }
    ~EntryState() { zip_error_fini(&error); }
    EntryState(const EntryState &) = delete;
    EntryState &operator=(const EntryState &) = delete;

    const archivereader::ArchiveReader &reader;
    const int index;
    const textencoding::Encoding encoding;
    TextScrubber &scrubber;
    const std::atomic<bool> &stop;
    zip_error_t error;

    // While open:
    ziphandles::Entry entry;
    std::optional<EntryCleaner> cleaner;
    QByteArray piece;
    QByteArray cleaned;
    int given = 0; // of cleaned
    bool ended = false;

    bool fail(int code)
    {
        zip_error_set(&error, code, 0);
        return false;
    }

    bool open()
    {
        QString problem;
        entry = reader.openEntry(index, &problem);
        if (!entry)
            return fail(ZIP_ER_READ);
        cleaner.emplace(scrubber, encoding);
        piece.resize(kPieceBytes);
        cleaned.clear();
        given = 0;
        ended = false;
        return true;
    }

    // Cleans pieces until there is something to hand out or the entry has ended.
    bool refill()
    {
        while (given == cleaned.size() && !ended) {
            if (stop.load())
                return fail(ZIP_ER_CANCELLED);
            cleaned.clear();
            given = 0;
            const zip_int64_t got = zip_fread(entry.get(), piece.data(), zip_uint64_t(piece.size()));
            if (got < 0) {
                zip_error_set(&error, zip_error_code_zip(zip_file_get_error(entry.get())),
                              zip_error_code_system(zip_file_get_error(entry.get())));
                return false;
            }
            if (got == 0) {
                cleaner->finish(&cleaned);
                ended = true;
            } else {
                cleaner->feed(piece.constData(), got, &cleaned);
            }
        }
        return true;
    }

    zip_int64_t read(void *data, zip_uint64_t length)
    {
        if (!refill())
            return -1;
        const int count = int(qMin<zip_uint64_t>(length, zip_uint64_t(cleaned.size() - given)));
        std::memcpy(data, cleaned.constData() + given, size_t(count));
        given += count;
        return count;
    }

    void close()
    {
        entry.reset();
        cleaner.reset();
        piece = QByteArray();
        cleaned = QByteArray();
    }
};

zip_int64_t callback(void *userdata, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *state = static_cast<EntryState *>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        return state->open() ? 0 : -1;
    case ZIP_SOURCE_READ:
        return state->read(data, length);
    case ZIP_SOURCE_CLOSE:
        state->close();
        return 0;
    case ZIP_SOURCE_STAT: {
        // The cleaned size is known only once it is read.
        zip_stat_t *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &state->error);
        if (!stat)
            return -1;
        zip_stat_init(stat);
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state->error, data, length);
    case ZIP_SOURCE_FREE:
        delete state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&state->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

ziphandles::Source cleanedEntrySource(const archivereader::ArchiveReader &reader, int index,
                                      textencoding::Encoding encoding, TextScrubber &scrubber,
                                      const std::atomic<bool> &stop, QString *problem)
{
    auto state = std::make_unique<EntryState>(reader, index, encoding, scrubber, stop);
    ziphandles::Error error;
    ziphandles::Source source(zip_source_function_create(callback, state.get(), error.get()));
    if (!source) {
        *problem = ziphandles::errorText(error.get());
        return nullptr;
    }
    state.release(); // the source frees it (ZIP_SOURCE_FREE)
    return source;
}

} // namespace shareable
