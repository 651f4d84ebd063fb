#include "process/consoletext.h"

#ifdef Q_OS_WIN
#include <string>

#include <windows.h>
#else
#include <QTextCodec>
#endif

namespace consoletext {

#ifdef Q_OS_WIN

unsigned childCodePage()
{
    const UINT console = GetConsoleOutputCP();
    return console != 0 ? console : GetOEMCP();
}

QString decode(const QByteArray &bytes, unsigned codePage)
{
    if (bytes.isEmpty())
        return QString();
    if (codePage == 0)
        return QString::fromLocal8Bit(bytes);
    const int size = MultiByteToWideChar(codePage, 0, bytes.constData(), bytes.size(), nullptr, 0);
    if (size <= 0)
        return QString::fromLocal8Bit(bytes);
    std::wstring wide(std::size_t(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.constData(), bytes.size(), &wide[0], size);
    return QString::fromStdWString(wide);
}

#else

unsigned childCodePage() { return 0; }

// The same code pages by their names, so the decoding can be tested here.
QString decode(const QByteArray &bytes, unsigned codePage)
{
    if (codePage == 0)
        return QString::fromLocal8Bit(bytes);
    if (codePage == 65001)
        return QString::fromUtf8(bytes);
    const QByteArray name = (codePage >= 1250 && codePage <= 1258 ? "windows-" : "CP") + QByteArray::number(codePage);
    const QTextCodec *codec = QTextCodec::codecForName(name);
    return codec ? codec->toUnicode(bytes) : QString::fromLocal8Bit(bytes);
}

#endif

} // namespace consoletext
