#include "pagefilefacts.h"

#include "console.h"

namespace powershell {

namespace {

QString megabytes(qint64 kiB) { return standin::roundedNumber(static_cast<double>(kiB) / 1024.0, 0); }

} // namespace

std::optional<SwapSpace> readSwapSpace(const standin::SystemRoot &system)
{
    // "Filename  Type  Size  Used  Priority", sizes in KiB, one area a line.
    const QStringList lines = system.text(QStringLiteral("/proc/swaps")).split(QLatin1Char('\n'));
    SwapSpace swap;
    int areas = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).simplified().split(QLatin1Char(' '));
        if (fields.size() < 4)
            continue;
        bool sizeOk = false;
        bool usedOk = false;
        const qint64 size = fields.at(2).toLongLong(&sizeOk);
        const qint64 used = fields.at(3).toLongLong(&usedOk);
        if (!sizeOk || !usedOk)
            continue;
        swap.sizeKiB += size;
        swap.usedKiB += used;
        ++areas;
    }
    if (areas == 0)
        return std::nullopt;
    return swap;
}

QByteArray pageFileValues(const SwapSpace &swap)
{
    // Linux keeps no system-wide peak of swap use; what is in use now is the
    // one figure the peak is known to reach, so it stands for the peak.
    const QStringList lines{QString(),
                            QString(),
                            QStringLiteral("AllocatedBaseSize=") + megabytes(swap.sizeKiB),
                            QStringLiteral("CurrentUsage=") + megabytes(swap.usedKiB),
                            QStringLiteral("PeakUsage=") + megabytes(swap.usedKiB),
                            QString(),
                            QString()};
    QStringList wmicLines;
    for (const QString &line : lines)
        wmicLines << line + QLatin1Char('\r');
    return standin::crlfLines(wmicLines);
}

QString noPageFileError() { return QStringLiteral("No Instance(s) Available.\r\n"); }

} // namespace powershell
