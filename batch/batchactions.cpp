#include "batchactions.h"

#include "window/mainwindow.h"

namespace batchactions {

const QVector<Action> &all()
{
    static const QVector<Action> actions = {
        {QStringLiteral("hardware"), QStringLiteral("Hardware Analysis"), &MainWindow::CheckHardware},
        {QStringLiteral("software"), QStringLiteral("Software Confliction Analysis"),
         &MainWindow::CheckSoftwareConfliction},
        {QStringLiteral("network"), QStringLiteral("Network Status Diagnose"), &MainWindow::GetNetInfo},
        {QStringLiteral("zip"), QStringLiteral("Collect logs and Zip"), &MainWindow::zipLogs},
        {QStringLiteral("auto"), QStringLiteral("Automatic PC Conditions Check"), &MainWindow::GetSystemInfo},
        {QStringLiteral("all"), QStringLiteral("Check All and Zip At Once"), &MainWindow::gatherAndZipAtOnce},
        {QStringLiteral("findings"), QStringLiteral("the findings of the newest reports; runs no check"), nullptr},
    };
    return actions;
}

const Action *find(const QString &name)
{
    for (const Action &action : all()) {
        if (action.name == name)
            return &action;
    }
    return nullptr;
}

QString namesInWords()
{
    QStringList names;
    for (const Action &action : all())
        names << action.name;
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace batchactions
