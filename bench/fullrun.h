#pragma once
// A full run of the tool's actions in a scratch installation, through the
// runner: one address to ping (127.0.0.1) and every server on a closed
// local port, so that the run leaves every report and takes seconds; the
// user's data folder, whose logs a zip step packs, lies in a scratch folder
// beside the installation.

#include "benchmarks.h"

#include <QString>

namespace bench {

// Runs "SupportToolBatch --install-dir INSTALLATION --accept-terms ACTION";
// false, with the runner's standard error printed, when it fails.
bool fullRun(const Settings &settings, const QString &installation, const QString &action);

} // namespace bench
