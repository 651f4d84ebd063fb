#pragma once
// SupportToolBatch --read PATH...: the findings of every archive and report
// folder the paths stand for (see supportzip/sourcewalk.h), each read as
// --read reads one, on as many threads as the machine has cores, printed in
// the order of the paths as soon as a source and every one before it are
// read, so that what is held is bounded by the sources being read, not by
// their number.
//
// One archive or report folder given alone is printed as it always was (the
// findings file's layout, or JSON lines without "source"), and a refusal
// only said on standard error. Otherwise each source is one block headed
// "==> PATH <==" (blocks apart by an empty line; a refused one says
// "Refused: WHY."), or with --json each line gains "source" first and a
// refused source is {"source":PATH,"error":WHY}. --summary adds the table
// of findingssummary.h after them.

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace readrun {

struct Request
{
    QStringList paths;
    bool json = false;
    bool summary = false;
};

// Reads and prints; every refusal is also handed to complain (for standard
// error). True when every source was read.
bool run(std::FILE *out, const Request &request, const std::function<void(const QString &)> &complain);

} // namespace readrun
