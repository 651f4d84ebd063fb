#include "shaping/hardwareshaping.h"

#include "shaping/textcut.h"

namespace hardwareshaping {

namespace {

constexpr qint64 kBytesPerGibibyte = Q_INT64_C(1) << 30;

QString gibibytes(qint64 bytes) { return QString::number(bytes / kBytesPerGibibyte); }

// Drops the last character in place; an empty text stays empty.
void chopLast(QString &text) { text.chop(1); }

} // namespace

ShapedCheck processor(const QString &output)
{
    // The listing opens with two line ends and closes with four.
    const QString text = textcut::withoutCarriageReturns(textcut::dropLast(textcut::dropFirst(output, 4), 8));
    return {text, {{76, QStringLiteral("CHECKING CPU INFORMATION......\n") + text + records::separator()}}};
}

QString adapterText(const QString &adapterListOutput, const QString &adapterMemoryOutput)
{
    const QStringList lines = textcut::splitLines(adapterListOutput);
    QString text;
    for (int index : {2, 3, 4})
        text += textcut::at(lines, index).simplified() + QLatin1Char('\n');
    chopLast(text);
    return text + QStringLiteral("Total GPU Memory : ") + adapterMemoryOutput.simplified() + QStringLiteral("GB");
}

QString memoryUsageText(const QString &memoryUsageOutput)
{
    return memoryUsageOutput.simplified() + QStringLiteral("MB");
}

QString vendorToolDetail(const QString &vendorToolOutput)
{
    // Fields are used as split: the blank after each comma stays with the value.
    const QStringList fields = vendorToolOutput.simplified().split(QLatin1Char(','), Qt::KeepEmptyParts, Qt::CaseSensitive);
    return QStringLiteral("GPU Clock : ") + textcut::at(fields, 0)
         + QStringLiteral("\nFan Speed : ") + textcut::at(fields, 1)
         + QStringLiteral("\nBorad Power Draw : ") + textcut::at(fields, 2)
         + QStringLiteral("\nGPU Temperature : ") + textcut::at(fields, 3)
         + QStringLiteral("\nGPU Utilization : ") + textcut::at(fields, 4);
}

QString engineUtilizationDetail(const QString &engineUtilizationOutput)
{
    return QStringLiteral("Total GPU Engine Utilization : ") + engineUtilizationOutput.simplified() + QLatin1Char('%');
}

records::CheckRecord vendorToolMissingRecord()
{
    return {120, QStringLiteral("Can not find nvidia-smi in C:/Program File/NVIDIA Corporation/NVSMI/ to fetch more "
                                "details about GPU")};
}

ShapedCheck graphicsAdapter(const QString &adapterText, const QString &memoryUsageText, const QString &detail)
{
    const QString text = adapterText + QLatin1Char('\n') + memoryUsageText + QLatin1Char('\n') + detail;
    return {text, {{126, QStringLiteral("CHECKING GPU INFORMATION......\n") + text + records::separator()}}};
}

ShapedCheck physicalMemory(const QString &output)
{
    const QStringList lines = textcut::splitLines(output);
    const QString text = textcut::at(lines, 2) + QLatin1Char('\n') + textcut::at(lines, 3);
    return {text, {{143, QStringLiteral("MEMORY CHECKING.......\n") + text + records::separator()}}};
}

ShapedCheck pageFile(const QString &output)
{
    // wmic ends its lines in "\r\r\n": splitting at "\r\n" leaves a "\r" on
    // each, which is the character every line gives up.
    const QStringList lines = textcut::splitLines(output);
    QString text;
    for (int index : {2, 3, 4}) {
        QString line = textcut::at(lines, index);
        chopLast(line);
        text += line + QStringLiteral("MB\n");
    }
    chopLast(text);
    text.replace(QLatin1Char('='), QStringLiteral(": "));
    return {text, {{162, QStringLiteral("CHECKING VIRTURAL MEMMORY INFORMATION......\n") + text + records::separator()}}};
}

records::CheckRecord diskNoticeRecord()
{
    return {168, QStringLiteral("CHECKING DISK INFORMATION ** NOTICE, CAN'T FIND A WAY TO MATCH DISKS TO GET THEIR TYPE "
                                "AND PATH TOGETHER RIGHT NOW, BUT IT'S NOT UNACHIVABLE TO GET THIS INFO FROM THE MEMROY "
                                "SIZE BY HUMAN BRAIN **")};
}

ShapedCheck disks(const QString &physicalDisksOutput, const QVector<VolumeFigures> &volumes)
{
    QString physical;
    for (const QString &line : textcut::splitLines(physicalDisksOutput)) {
        if (!line.isEmpty())
            physical += line.simplified() + QLatin1Char('\n');
    }
    // Only the disk lines: the volume paths below are never altered.
    physical.replace(QLatin1Char('='), QStringLiteral(": "));

    QString logical;
    for (const VolumeFigures &volume : volumes) {
        logical += QStringLiteral("Path: ") + volume.rootPath
                 + QStringLiteral(" TotalGBytes: ") + gibibytes(volume.bytesTotal)
                 + QStringLiteral("GB UsedGBytes: ") + gibibytes(volume.bytesTotal - volume.bytesAvailable)
                 + QStringLiteral("GB AvailableGBytes: ") + gibibytes(volume.bytesAvailable) + QStringLiteral("GB\n");
    }

    QString text = physical + logical;
    chopLast(text);
    return {text,
            {{182, QStringLiteral("Physical disk drive Point of view:\n") + physical},
             {202, QStringLiteral("Logical disk drive point of view:\n") + logical + records::bareSeparator()}}};
}

ShapedCheck screens(const QVector<QSize> &screenSizes)
{
    QString text = QStringLiteral("Number of Screen: %1\n").arg(screenSizes.size());
    for (int i = 0; i < screenSizes.size(); ++i) {
        text += QStringLiteral("Screen %1:\nscreenWidth: %2 screenHeight: %3\n")
                    .arg(i + 1)
                    .arg(screenSizes.at(i).width())
                    .arg(screenSizes.at(i).height());
    }
    chopLast(text);
    return {text, {{300, QStringLiteral("CHECKING SCREEN SIZE INFORMATION......\n") + text + records::separator()}}};
}

} // namespace hardwareshaping
