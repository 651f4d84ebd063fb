#include "slowpowershell.h"

#include "powershellanswers.h"

#include <QtMath>
#include <QtTest>

namespace testsupport {

void addDelayedPowerShell(const FixturePath &fixtures, double delaySeconds, const QByteArray &answer)
{
    Answer late;
    late.output = answer;
    late.delayMs = qRound(delaySeconds * 1000);
    QVERIFY(PowerShellAnswers(fixtures).addFallback(late));
}

void addHangingPowerShell(const FixturePath &fixtures)
{
    Answer never;
    never.ending = Ending::Hang;
    QVERIFY(PowerShellAnswers(fixtures).addFallback(never));
}

QStringList powerShellArguments(const FixturePath &fixtures)
{
    return PowerShellAnswers::lastArgumentsIn(PowerShellAnswers::folderOf(fixtures));
}

} // namespace testsupport
