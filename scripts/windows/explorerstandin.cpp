// Stands in for explorer.exe in the check's Wine prefix: appends the command
// line it was started with, in UTF-8 and ended by a line feed, to
// explorer-command-line.txt beside itself, so the check can read what the
// tool asked the file browser to do, and how often it was started.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<wchar_t> path(MAX_PATH * 4);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0 || length >= path.size())
        return 1;
    std::wstring record(path.data(), length);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"explorer-command-line.txt";

    const wchar_t *line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return 1;
    std::string utf8(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], size, nullptr, nullptr);
    utf8[std::size_t(size) - 1] = '\n'; // in place of the terminator

    const HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const bool ok = WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr) && written == utf8.size();
    CloseHandle(file);
    return ok ? 0 : 1;
}
