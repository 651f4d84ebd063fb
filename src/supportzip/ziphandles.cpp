#include "supportzip/ziphandles.h"

#include <QFile>

namespace ziphandles {

QString errorText(zip_error_t *error) { return QString::fromUtf8(zip_error_strerror(error)); }

QString errorText(int code)
{
    Error error;
    zip_error_set(error.get(), code, 0);
    return errorText(error.get());
}

QString errorText(zip_t *archive) { return errorText(zip_get_error(archive)); }

QString errorText(zip_file_t *entry) { return errorText(zip_file_get_error(entry)); }

Source fileSource(const QString &path, QString *problem)
{
    Error error;
#ifdef _WIN32
    // The narrow names libzip takes are in the 8-bit code page there.
    Source source(zip_source_win32w_create(reinterpret_cast<const wchar_t *>(path.utf16()), 0, -1, error.get()));
#else
    Source source(zip_source_file_create(QFile::encodeName(path).constData(), 0, -1, error.get()));
#endif
    if (!source)
        *problem = errorText(error.get());
    return source;
}

namespace {

Archive openWith(const QString &path, int flags, QString *problem, int *code = nullptr)
{
    Source source = fileSource(path, problem);
    if (!source)
        return nullptr;
    Error error;
    Archive archive(zip_open_from_source(source.get(), flags, error.get()));
    if (!archive) {
        *problem = errorText(error.get());
        if (code)
            *code = zip_error_code_zip(error.get());
        return nullptr;
    }
    source.release(); // the archive owns it now
    return archive;
}

} // namespace

Archive openForReading(const QString &path, QString *problem, bool *sameNames)
{
    int code = ZIP_ER_OK;
    Archive archive = openWith(path, ZIP_RDONLY | ZIP_CHECKCONS, problem, &code);
    // libzip checks the central directory before it hashes the names, so
    // an archive refused for a name met twice passed every other check.
    if (!archive && code == ZIP_ER_EXISTS && sameNames) {
        archive = openWith(path, ZIP_RDONLY, problem);
        *sameNames = archive != nullptr;
    }
    return archive;
}

Archive openForWriting(const QString &path, QString *problem)
{
    return openWith(path, ZIP_CREATE | ZIP_TRUNCATE, problem);
}

} // namespace ziphandles
