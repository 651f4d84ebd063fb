#include "installation/treeremoval.h"

#ifdef _WIN32

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace {

// An extended-length path, so that deep trees are not cut at MAX_PATH.
std::wstring longPath(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString prefixed = native.startsWith(QLatin1String("\\\\"))
                                 ? QStringLiteral("\\\\?\\UNC\\") + native.mid(2)
                                 : QStringLiteral("\\\\?\\") + native;
    return prefixed.toStdWString();
}

bool removeEntry(const std::wstring &path, DWORD attributes);

// Removes everything inside the folder at path.
bool removeContents(const std::wstring &path)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool removed = true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        removed = removeEntry(path + L"\\" + name, entry.dwFileAttributes) && removed;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return removed;
}

bool removeEntry(const std::wstring &path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    // A reparse point (symbolic link, junction, mount point) is removed
    // itself; descending into it would delete what it points to.
    if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        const bool contents = removeContents(path);
        return RemoveDirectoryW(path.c_str()) && contents;
    }
    return folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
}

} // namespace

namespace treeremoval {

bool removeTree(const QString &path)
{
    const std::wstring target = longPath(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return removeEntry(target, attributes);
}

} // namespace treeremoval

#else

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool removeEntryAt(int parent, const char *name);

// The names in the folder open at folder, read before anything is removed
// so that removing does not disturb the reading.
bool namesIn(int folder, std::vector<std::string> &names)
{
    const int reader = fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (reader < 0)
        return false;
    DIR *stream = fdopendir(reader);
    if (!stream) {
        close(reader);
        return false;
    }
    while (const dirent *entry = readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(stream);
    return true;
}

// Removes everything inside the folder open at folder (the descriptor
// stays open and is not closed here).
bool removeContents(int folder)
{
    std::vector<std::string> names;
    bool removed = namesIn(folder, names);
    for (const std::string &name : names)
        removed = removeEntryAt(folder, name.c_str()) && removed;
    return removed;
}

// Removes the entry name of the folder open at parent. The entry is opened
// as a folder only without following a link, so a link put there after the
// look (or at any time) is unlinked, never entered.
bool removeEntryAt(int parent, const char *name)
{
    struct stat status;
    if (fstatat(parent, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISDIR(status.st_mode)) {
        const int folder = openat(parent, name, kFolderFlags);
        if (folder >= 0) {
            const bool contents = removeContents(folder);
            close(folder);
            if (unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT)
                return contents;
            return false;
        }
        if (errno != ELOOP && errno != ENOTDIR)
            return false;
        // Replaced by a link or a file since the look: removed as it is now.
    }
    return unlinkat(parent, name, 0) == 0 || errno == ENOENT;
}

} // namespace

namespace treeremoval {

bool removeTree(const QString &path)
{
    return removeEntryAt(AT_FDCWD, QFile::encodeName(path).constData());
}

} // namespace treeremoval

#endif
