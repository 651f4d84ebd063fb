#pragma once
// Owning handles and error texts for libzip, the zip library the tool reads
// (and may write) archives with. A handle that goes out of scope releases
// what it holds without writing anything: an archive is discarded, never
// closed with changes; code that writes calls zip_close itself and, when
// that succeeds, releases the handle.

#include <QString>

#include <zip.h>

#include <memory>

namespace ziphandles {

struct ArchiveDiscarder
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser
{
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};
struct SourceFreer
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};

using Archive = std::unique_ptr<zip_t, ArchiveDiscarder>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;
using Source = std::unique_ptr<zip_source_t, SourceFreer>;

// A zip_error_t that is set up and torn down with its scope.
class Error
{
public:
    Error() { zip_error_init(&m_error); }
    ~Error() { zip_error_fini(&m_error); }
    Error(const Error &) = delete;
    Error &operator=(const Error &) = delete;
    zip_error_t *get() { return &m_error; }

private:
    zip_error_t m_error;
};

// libzip's message for an error, such as "Not a zip archive".
QString errorText(zip_error_t *error);
QString errorText(int code);
QString errorText(zip_t *archive);
QString errorText(zip_file_t *entry);

// A source reading the file at path (any letters in its name, on Windows
// too), or nothing with the reason in *problem.
Source fileSource(const QString &path, QString *problem);

// Opens the archive at path for reading only, with libzip's consistency
// checks; nothing, with the reason in *problem, when it cannot. When
// sameNames is given, an archive whose only fault is two entries of one
// name (which libzip calls "File already exists") is opened all the same
// and *sameNames set, so that the caller can name them.
Archive openForReading(const QString &path, QString *problem, bool *sameNames = nullptr);

// Opens an archive to be written at path, empty whatever stood there.
// zip_close writes it to a temporary file beside path and renames that over
// path once everything is written; a close that fails removes the temporary
// file, and a discarded archive (the handle's end) writes nothing: either
// way path stays as it was.
Archive openForWriting(const QString &path, QString *problem);

} // namespace ziphandles
