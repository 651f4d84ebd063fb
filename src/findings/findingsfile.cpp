#include "findings/findingsfile.h"

#include "installation/scratchfile.h"

#include <QFile>

namespace findingsfile {

QString path() { return QStringLiteral("logs/SupportTool/findings.txt"); }

bool write(const QString &text, QString *problem)
{
    // Written in place, without a flush to the disk: waiting for the disk
    // took tens of milliseconds on a busy machine, for a file the next run
    // writes again anyway.
    scratchfile::clearOdd(path());
    QFile file(path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes) == bytes.size() && file.flush())
            return true;
    }
    *problem = file.errorString();
    // No half file for the archive to carry.
    file.close();
    QFile::remove(path());
    return false;
}

} // namespace findingsfile
