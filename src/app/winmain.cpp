// Entry point of the Windows program. A GUI-subsystem program starts at
// WinMain, which has no argument vector; this splits the process's wide
// command line the way the system does and calls the program's main
// function, supportToolMain (main.cpp), with the arguments in UTF-8, the
// encoding it reads its program path in, so an installation folder with any
// letters in its name becomes the working folder. (The toolkit's own
// options are plain ASCII; the tool reads no other argument.)
// Visual C++ enters a GUI program here; so does MinGW's C runtime, through
// the main of its own library, because the program defines no main.
// Built for Windows only and free of Qt, so it can be checked on its own.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

int supportToolMain(int argc, char *argv[]);

namespace {

struct LocalMemoryFree
{
    void operator()(LPWSTR *memory) const { LocalFree(memory); }
};

std::string toUtf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size) - 1); // without the terminator the call wrote
    return result;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalMemoryFree> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide)
        return -1;

    // The texts live until the program returns: the application object keeps argv.
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(toUtf8(wide.get()[i]));
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string &argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    return supportToolMain(count, argv.data());
}
