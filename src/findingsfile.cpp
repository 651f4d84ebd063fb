#include "findingsfile.h"

#include "scratchfile.h"

#include <QSaveFile>

namespace findingsfile {

QString path() { return QStringLiteral("logs/SupportTool/findings.txt"); }

bool write(const QString &text, QString *problem)
{
    scratchfile::clearOdd(path());
    QSaveFile file(path());
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
    }
    *problem = file.errorString();
    return false;
}

} // namespace findingsfile
