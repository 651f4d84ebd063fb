#include "qtmessages.h"

#include "exitcodes.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace qtmessages {

namespace {

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

void toStandardError() { passOn = qInstallMessageHandler(handle); }

void applicationStarted() { started = true; }

} // namespace qtmessages
