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
    QString workFolder;      // scratch space, removed afterwards
};

bool commandRoundTrip(Report &report, const Settings &settings);
bool timedDownload(Report &report, const Settings &settings);
bool logArchive(Report &report, const Settings &settings);
bool batchActions(Report &report, const Settings &settings);
bool findingsCost(Report &report, const Settings &settings);

// The server mode of this program: answers every request on 127.0.0.1 with
// bodyBytes of text, prints its port, and ends when its standard input does.
int serveHttp(qint64 bodyBytes);

} // namespace bench
