// Starts one program with an exact command line, as CreateProcessW gets it
// from the tool's process layer (QProcess on Windows: no application name,
// the whole line as given), waits for it at most a bound and ends with its
// exit code. Its standard handles are handed on, so whatever the program
// writes reaches this program's own output and error.
//
//   startline.exe LINE-FILE TIMEOUT-MS
//
// LINE-FILE holds the command line in UTF-8, nothing else (no line end). The
// program runs in the current folder. On time-out it is stopped and the exit
// code is 124.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring fromUtf8(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring result(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), &result[0], size);
    return result;
}

HANDLE inheritable(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: startline LINE-FILE TIMEOUT-MS\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string utf8((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::wstring commandLine = fromUtf8(utf8);
    const DWORD timeoutMs = DWORD(std::strtoul(argv[2], nullptr, 10));
    if (!file || commandLine.empty() || timeoutMs == 0) {
        std::fprintf(stderr, "startline: no command line in %s or no time limit\n", argv[1]);
        return 2;
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "startline: CreateProcessW failed with error %lu\n", GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    DWORD exitCode = 124;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, 124);
    CloseHandle(process.hProcess);
    return int(exitCode);
}
