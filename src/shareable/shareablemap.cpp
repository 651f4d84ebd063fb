#include "shareable/shareablemap.h"

#include "installation/scratchfile.h"

#include <QSaveFile>

namespace shareablemap {

QString text(const QVector<shareable::Replacement> &replacements)
{
    QString content = QStringLiteral(
        "Tessaly Render Support Tool: the personal values replaced in zziplog_shareable.zip.\n"
        "Keep this file on this computer: it turns the stand-ins of the shareable copy back into the real values.\n"
        "\n"
        "stand-in\tkind\treal value\n");
    for (const shareable::Replacement &each : replacements)
        content += each.standIn + QLatin1Char('\t') + each.kind + QLatin1Char('\t') + each.real + QLatin1Char('\n');
    if (replacements.isEmpty())
        content += QStringLiteral("(nothing was replaced)\n");
    return content;
}

bool write(const QString &path, const QString &text, QString *problem)
{
    // The save file writes through to a link's target.
    scratchfile::clearOdd(path);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
    }
    *problem = file.errorString();
    return false;
}

} // namespace shareablemap
