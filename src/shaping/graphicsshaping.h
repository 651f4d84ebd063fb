#pragma once
// Turning the graphics capability answers into check texts and records.
// Pure functions, held against fixed answers by the tests.

#include "d3d12/d3d12probe.h"
#include "records/records.h"

#include <QString>
#include <QVector>

namespace graphicsshaping {

using records::ShapedCheck;

// The two TDR values, in the order the command names them; a value the
// command did not print shows as an empty text after its label.
ShapedCheck tdrValues(const QString &output);

// The records of the Direct3D 12 check: the heading, then whether a 12_0
// device exists and, if so, whether it offers hardware ray tracing.
QVector<records::CheckRecord> d3d12Records(const d3d12probe::Facts &facts);

} // namespace graphicsshaping
