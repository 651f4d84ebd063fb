#pragma once
// The swap space of this machine, as "wmic pagefile get ... /value" prints
// the page file.

#include "systemroot.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace powershell {

struct SwapSpace
{
    qint64 sizeKiB = 0;
    qint64 usedKiB = 0;
};

// The sum of every active swap area of /proc/swaps; nothing without swap.
std::optional<SwapSpace> readSwapSpace(const standin::SystemRoot &system);

// The wmic output in MB: wmic ends every line with "\r\r\n".
QByteArray pageFileValues(const SwapSpace &swap);

// What wmic prints on standard error when no page file exists.
QString noPageFileError();

} // namespace powershell
