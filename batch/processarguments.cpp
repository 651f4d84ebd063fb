#include "processarguments.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <memory>
#endif

namespace processarguments {

#ifdef Q_OS_WIN

namespace {
struct LocalMemoryFree
{
    void operator()(LPWSTR *memory) const { LocalFree(memory); }
};
} // namespace

QStringList of(int, char *[])
{
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalMemoryFree> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    QStringList arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments << QString::fromWCharArray(wide.get()[i]);
    return arguments;
}

#else

QStringList of(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

#endif

} // namespace processarguments
