#include "process/consoletext.h"

#ifdef Q_OS_WIN
#include <string>

#include <windows.h>
#else
#include <QTextCodec>
#endif

namespace consoletext {

namespace {

// All of the bytes: Qt 5's fromLocal8Bit(const QByteArray &) stops at the
// first NUL byte, which would drop whatever a program wrote after one.
QString local8Bit(const QByteArray &bytes) { return QString::fromLocal8Bit(bytes.constData(), bytes.size()); }

} // namespace

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
        return local8Bit(bytes);
    const int size = MultiByteToWideChar(codePage, 0, bytes.constData(), bytes.size(), nullptr, 0);
    if (size <= 0)
        return local8Bit(bytes);
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
        return local8Bit(bytes);
    if (codePage == 65001)
        return QString::fromUtf8(bytes.constData(), bytes.size());
    const QByteArray name = (codePage >= 1250 && codePage <= 1258 ? "windows-" : "CP") + QByteArray::number(codePage);
    const QTextCodec *codec = QTextCodec::codecForName(name);
    return codec ? codec->toUnicode(bytes) : local8Bit(bytes);
}

#endif

} // namespace consoletext
