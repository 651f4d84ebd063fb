#include "tdrfacts.h"

#include "console.h"
#include "inspection/windowscommands.h"

#include <QRegularExpression>

namespace powershell {

namespace {

// The defaults amdgpu documents for an empty or 0 lockup_timeout on bare
// metal: 10 s for graphics (and every other non-compute) job, 60 s for compute.
constexpr qint64 kAmdgpuGraphicsDefaultMs = 10000;
constexpr qint64 kAmdgpuComputeDefaultMs = 60000;

QString seconds(qint64 milliseconds) { return standin::roundedNumber(static_cast<double>(milliseconds) / 1000.0, 3); }

// A negative amdgpu time-out, and a 0 i915 one, switch hang detection off.
QString noTimeOut() { return QStringLiteral("infinite"); }

QString amdgpuSeconds(const QString &field, qint64 defaultMs)
{
    bool ok = false;
    const qint64 ms = field.trimmed().toLongLong(&ok);
    if (!ok || ms == 0)
        return seconds(defaultMs);
    return ms < 0 ? noTimeOut() : seconds(ms);
}

std::optional<TdrValues> i915TdrValues(const standin::SystemRoot &system, const QString &pciAddress)
{
    static const QRegularExpression cardName(QStringLiteral("^card\\d+$"));
    const QString drm = QStringLiteral("/sys/bus/pci/devices/%1/drm").arg(pciAddress);
    for (const QString &card : system.entries(drm, QStringLiteral("card*"))) {
        if (!cardName.match(card).hasMatch())
            continue;
        const QString engine = QStringLiteral("%1/%2/engine/rcs0/").arg(drm, card);
        bool heartbeatOk = false;
        bool preemptOk = false;
        const qint64 heartbeat = system.trimmed(engine + QStringLiteral("heartbeat_interval_ms")).toLongLong(&heartbeatOk);
        const qint64 preempt = system.trimmed(engine + QStringLiteral("preempt_timeout_ms")).toLongLong(&preemptOk);
        if (!heartbeatOk || !preemptOk)
            continue;
        return TdrValues{heartbeat > 0 ? seconds(heartbeat) : noTimeOut(), preempt > 0 ? seconds(preempt) : noTimeOut()};
    }
    return std::nullopt;
}

} // namespace

TdrValues amdgpuTdrValues(const QString &lockupTimeout)
{
    // "[graphics,compute,sdma,video]"; one value alone sets every
    // non-compute job and leaves compute at its default.
    const QStringList fields = lockupTimeout.trimmed().split(QLatin1Char(','));
    return TdrValues{amdgpuSeconds(fields.value(0), kAmdgpuGraphicsDefaultMs),
                     amdgpuSeconds(fields.value(1), kAmdgpuComputeDefaultMs)};
}

std::optional<TdrValues> readTdrValues(const standin::SystemRoot &system, const QVector<DisplayAdapter> &adapters)
{
    for (const DisplayAdapter &adapter : adapters) {
        if (adapter.driver == QLatin1String("amdgpu"))
            return amdgpuTdrValues(system.text(QStringLiteral("/sys/module/amdgpu/parameters/lockup_timeout")));
        if (adapter.driver == QLatin1String("i915")) {
            if (const auto values = i915TdrValues(system, adapter.pciAddress))
                return values;
        }
    }
    return std::nullopt;
}

QStringList tdrLines(const TdrValues &values) { return {values.delay, values.ddiDelay}; }

QString missingTdrError()
{
    const QString script = windowscommands::asScript(windowscommands::tdrValues());
    return QStringLiteral("Get-ItemPropertyValue : Property TdrDelay does not exist at path "
                          "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\GraphicsDrivers\\ .\r\n"
                          "At line:1 char:1\r\n"
                          "+ %1\r\n"
                          "+ %2\r\n"
                          "    + CategoryInfo          : InvalidArgument: (TdrDelay:String) [Get-ItemPropertyValue], "
                          "PSArgumentException\r\n"
                          "    + FullyQualifiedErrorId : System.Management.Automation.PSArgumentException,"
                          "Microsoft.PowerShell.Commands.GetItemPropertyValueCommand\r\n\r\n")
        .arg(script, QString(script.size(), QLatin1Char('~')));
}

} // namespace powershell
