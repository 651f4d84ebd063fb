#pragma once
// The graphics driver's hang-recovery time-outs, the nearest Linux facts to
// the TdrDelay and TdrDdiDelay values of the Windows registry.

#include "graphicsfacts.h"

#include <QStringList>

#include <optional>

namespace powershell {

struct TdrValues
{
    QString delay;    // seconds the driver lets a graphics job run before recovering
    QString ddiDelay; // seconds for the driver's second, longer time-out
};

// From the first display adapter whose driver has such time-outs: amdgpu's
// lockup_timeout parameter (graphics, compute jobs) or i915's render engine
// heartbeat interval and pre-emption time-out. Nothing for other drivers.
std::optional<TdrValues> readTdrValues(const standin::SystemRoot &system, const QVector<DisplayAdapter> &adapters);

// amdgpu's "lockup_timeout" parameter text ("" or "10000" or
// "10000,60000,10000,10000", milliseconds) as the two values in seconds.
TdrValues amdgpuTdrValues(const QString &lockupTimeout);

// The two values, one a line, as Get-ItemPropertyValue prints them.
QStringList tdrLines(const TdrValues &values);

// PowerShell's error when the registry holds neither value.
QString missingTdrError();

} // namespace powershell
