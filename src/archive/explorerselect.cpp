#include "archive/explorerselect.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>
#endif

namespace explorerselect {

std::wstring arguments(const std::wstring &windowsPath)
{
    return L"/select,\"" + windowsPath + L"\"";
}

#ifdef _WIN32

namespace {

std::wstring windowsFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    UINT length = GetSystemWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetSystemWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size())
        return std::wstring();
    return std::wstring(buffer.data(), length);
}

} // namespace

bool start(const std::wstring &windowsPath)
{
    const std::wstring folder = windowsFolder();
    if (folder.empty())
        return false;
    const std::wstring program = folder + L"\\explorer.exe";
    // CreateProcessW may write into the command line: it gets a writable one.
    std::wstring commandLine = L"\"" + program + L"\" " + arguments(windowsPath);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

#endif

} // namespace explorerselect
