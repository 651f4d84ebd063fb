#pragma once
// The benchmarks: each measures one of the tool's ways of doing a job side
// by side with the plainest way of doing the same job on this machine,
// prints its verdicts, and returns false only when it could not measure.

#include "verdict.h"

#include <QString>

namespace bench {

struct Settings
{
    bool quick = false;      // fewer rounds: a smoke run, not figures to quote
    QString selfProgram;     // this program, started again as the HTTP server
    QString smallChild;      // the small program of the command benchmark
    QString batchProgram;    // SupportToolBatch
    QString toolProgram;     // SupportTool, the window program
    QString standInFolder;   // the built stand-ins and probe
    QString minimalWindow;   // the smallest Qt widgets window, the window benchmark's yardstick
    QString workFolder;      // scratch space, removed afterwards
};

bool commandRoundTrip(Report &report, const Settings &settings);
bool timedDownload(Report &report, const Settings &settings);
bool logArchive(Report &report, const Settings &settings);
bool batchActions(Report &report, const Settings &settings);
bool findingsCost(Report &report, const Settings &settings);
bool manyArchives(Report &report, const Settings &settings);
bool windowCost(Report &report, const Settings &settings);

} // namespace bench
