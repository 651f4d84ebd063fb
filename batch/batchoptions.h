#pragma once
// The headless runner's command line:
//   SupportToolBatch [--install-dir DIR] [--json] [--accept-terms] [--shareable] ACTION...
//   SupportToolBatch --read PATH... [--json] [--summary]
//   SupportToolBatch --help | --version

#include "batchactions.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace batchoptions {

struct Options
{
    enum class Request { Run, Read, Help, Version, Error };
    Request request = Request::Run;
    QString error;          // what is wrong, for Request::Error
    QString installDir;     // empty: the runner's own folder
    QStringList readPaths;  // the archives and folders to read, for Request::Read
    bool json = false;
    bool summary = false;   // --read: the table of findings by source after them
    bool acceptTerms = false;
    bool shareable = false; // a shareable copy after each zip step (zip, all)
    QVector<const batchactions::Action *> actions; // in the order given, repeats kept
};

// Reads the arguments after the program name. --help and --version answer
// at once, whatever follows them.
Options parse(const QStringList &arguments);

// The full help text, exit statuses included.
QString helpText();
// The two usage lines and where to read more, shown after a usage error.
QString usageHint();

} // namespace batchoptions
