#pragma once

#include <QPoint>

namespace bench {

// Where the main window's widgets stand, from its window's corner (the
// central widget starts there): what a driver clicks.
// "Check All and Zip At Once" (the button `everything`, 600, 310, 141 x 51).
const QPoint kEverythingCentre(600 + 141 / 2, 310 + 51 / 2);
// The pane (190, 30, 551 x 261).
const QPoint kPaneCentre(190 + 551 / 2, 30 + 261 / 2);

} // namespace bench
