#include "installation/scratchfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#endif

namespace scratchfile {

bool isOdd(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

void clearOdd(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction() || isOdd(path))
        QFile::remove(path);
}

bool isPlain(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

bool moveOver(const QString &from, const QString &to, QString *why)
{
#ifdef Q_OS_WIN
    if (::MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                      reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *why = qt_error_string(int(::GetLastError()));
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *why = qt_error_string(errno);
#endif
    return false;
}

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6,8}")));
    const QFileInfoList candidates =
        target.dir().entryInfoList({target.fileName() + QStringLiteral(".*")},
                                   QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        if (leftover.match(candidate.fileName()).hasMatch() && isPlain(candidate.filePath()))
            QFile::remove(candidate.filePath());
    }
}

} // namespace scratchfile
