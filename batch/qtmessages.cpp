#include "qtmessages.h"

#include "exitcodes.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace qtmessages {

namespace {

#ifdef Q_OS_WIN
// Refuses every dialog window this thread would create, the message box
// among them (class "#32770"), which then returns at once. The runner shows
// no window of its own: its window is Qt's offscreen one.
LRESULT CALLBACK withoutDialogs(int code, WPARAM window, LPARAM details)
{
    if (code == HCBT_CREATEWND) {
        wchar_t windowClass[8] = {};
        if (GetClassNameW(reinterpret_cast<HWND>(window), windowClass, 8) > 0
            && std::wcscmp(windowClass, L"#32770") == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, window, details);
}
#endif

QtMessageHandler passOn = nullptr;
bool started = false;

void writeLine(const QString &text)
{
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
#ifdef Q_OS_WIN
        writeLine(qFormatLogMessage(type, context, message));
#else
        passOn(type, context, message);
#endif
        return;
    }
    writeLine(qFormatLogMessage(type, context, message));
    writeLine(started ? QStringLiteral("SupportToolBatch: Qt stopped the run with the fatal error above; the action "
                                       "under way and later ones were not finished.")
                      : QStringLiteral("SupportToolBatch: Qt could not start (see above), so nothing was run. The "
                                       "runner needs Qt's offscreen platform: on Windows the plugin "
                                       "platforms\\qoffscreen.dll beside SupportToolBatch.exe and the DLLs it "
                                       "needs beside the program."));
    // Not abort(), and not exit(), which would run the destructors of a
    // half-made application object: what was printed is flushed, then out.
    std::fflush(nullptr);
    std::_Exit(batchexit::kQtStopped);
}

} // namespace

void toStandardError()
{
    passOn = qInstallMessageHandler(handle);
#ifdef Q_OS_WIN
    // Kept until the process ends.
    SetWindowsHookExW(WH_CBT, withoutDialogs, nullptr, GetCurrentThreadId());
#endif
}

void applicationStarted() { started = true; }

} // namespace qtmessages
