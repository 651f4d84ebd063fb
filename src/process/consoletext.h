#pragma once
// What a console program writes to a pipe, as text. On Windows, PowerShell
// and the console tools it runs (systeminfo, netsh, ipconfig, wmic, cmd,
// 7-Zip) write to a pipe in the console's code page, the OEM code page (850
// or 437 on Western systems), not the ANSI code page that fromLocal8Bit
// reads: decoded as ANSI, a process named Bürosoftware.exe or a firewall
// rule named Règle would come out garbled. Elsewhere the programs write in
// the locale's own encoding.

#include <QByteArray>
#include <QString>

namespace consoletext {

// The code page a console child of the tool writes in: on Windows the
// output code page of the tool's console, which its children share, or the
// OEM code page when the tool has no console (the window program; its
// children get a console of their own in that code page). Elsewhere 0.
unsigned childCodePage();

// The bytes decoded from the code page given (a Windows code page number,
// 65001 being UTF-8; 0 the locale's 8-bit encoding, as fromLocal8Bit).
QString decode(const QByteArray &bytes, unsigned codePage);

// The bytes as a console child of the tool wrote them.
inline QString fromChild(const QByteArray &bytes) { return decode(bytes, childCodePage()); }

} // namespace consoletext
