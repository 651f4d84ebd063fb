#include "inspection/displaysystemrelatedinfo.h"

#include "inspection/windowscommands.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "shaping/hardwareshaping.h"

#include <QApplication>
#include <QDebug>
#include <QDesktopWidget>
#include <QFile>
#include <QStorageInfo>

void displaysystemrelatedinfo::getCpuInfo(QString &output)
{
    const QString answer = runCommand(windowscommands::processor(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const records::ShapedCheck shaped = hardwareshaping::processor(answer);
    output = shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::getGpuInfo(QString &output)
{
    const QString adapterList = runCommand(windowscommands::videoControllers(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const QString adapterMemory = runCommand(windowscommands::adapterMemory(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const QString memoryUsage = runCommand(windowscommands::gpuMemoryUsage(), windowscommands::powerShell());
    if (cancellation::requested())
        return;

    QString detail;
    if (QFile::exists(windowscommands::vendorToolPath())) {
        const QString answer = runCommand({}, windowscommands::vendorToolCommandLine());
        if (cancellation::requested())
            return;
        qDebug() << answer.simplified();
        detail = hardwareshaping::vendorToolDetail(answer);
    } else {
        records::writeChecks({hardwareshaping::vendorToolMissingRecord()});
        const QString answer = runCommand(windowscommands::gpuEngineUtilization(), windowscommands::powerShell());
        if (cancellation::requested())
            return;
        detail = hardwareshaping::engineUtilizationDetail(answer);
    }

    const records::ShapedCheck shaped = hardwareshaping::graphicsAdapter(
        hardwareshaping::adapterText(adapterList, adapterMemory), hardwareshaping::memoryUsageText(memoryUsage), detail);
    output = shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::getMemoryInfo(QString &output)
{
    const QString answer = runCommand(windowscommands::physicalMemory(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const records::ShapedCheck shaped = hardwareshaping::physicalMemory(answer);
    output = shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::getPageFileInfo(QString &output)
{
    const QString answer = runCommand(windowscommands::pageFile(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const records::ShapedCheck shaped = hardwareshaping::pageFile(answer);
    output += shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::getDiskInfo(QString &output)
{
    records::writeChecks({hardwareshaping::diskNoticeRecord()});
    const QString answer = runCommand(windowscommands::physicalDisks(), windowscommands::powerShell());
    if (cancellation::requested())
        return;

    QVector<hardwareshaping::VolumeFigures> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : mounted)
        volumes.append({volume.rootPath(), volume.bytesTotal(), volume.bytesAvailable()});

    const records::ShapedCheck shaped = hardwareshaping::disks(answer, volumes);
    output += shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::getScreenInfo(QString &output)
{
    QVector<QSize> sizes;
    // Without a widget application there is no desktop to ask: no screens.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // Deprecated in Qt 5.15 but still answering; its screen numbering is
        // the one the reports have always shown.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        const QDesktopWidget *desktop = QApplication::desktop();
        const int count = desktop->numScreens();
        for (int index = 0; index < count; ++index)
            sizes.append(desktop->screenGeometry(index).size());
        QT_WARNING_POP
    }
    const records::ShapedCheck shaped = hardwareshaping::screens(sizes);
    output = shaped.text;
    records::writeChecks(shaped.records);
}
