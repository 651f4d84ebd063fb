#include "zipmaker.h"

#include "supportzip/ziphandles.h"

#include <QFile>

namespace testsupport {

bool makeZip(const QString &path, const ZipEntries &entries, bool stored)
{
    int error = 0;
    ziphandles::Archive archive(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        return false;
    for (const auto &entry : entries) {
        // The archive copies nothing until it is closed: the bytes must
        // outlive this loop, which the caller's vector guarantees.
        zip_source_t *source = zip_source_buffer(archive.get(), entry.second.constData(), zip_uint64_t(entry.second.size()), 0);
        if (!source)
            return false;
        const zip_int64_t index = zip_file_add(archive.get(), entry.first.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        if (stored)
            zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive.get()) != 0)
        return false;
    archive.release(); // closed, and with it freed
    return true;
}

} // namespace testsupport
