#include "powershellanswers.h"

#include "inspection/windowscommands.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace testsupport {

namespace {
const char kVariable[] = "SUPPORTTOOL_POWERSHELL_ANSWERS";

bool writeTo(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
} // namespace

PowerShellAnswers::PowerShellAnswers() : m_path(m_temporary.path()) {}

PowerShellAnswers::PowerShellAnswers(const QString &folder) : m_path(QDir(folder).absolutePath())
{
    m_temporary.remove();
    QDir().mkpath(m_path);
}

PowerShellAnswers::~PowerShellAnswers()
{
    if (m_pointedAt)
        m_hadVariable ? qputenv(kVariable, m_previousVariable) : qunsetenv(kVariable);
}

QString PowerShellAnswers::nameOf(const QString &commandText)
{
    return QString::fromLatin1(QCryptographicHash::hash(commandText.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool PowerShellAnswers::add(const QString &commandText, const QByteArray &output, const QByteArray &errors,
                            int exitCode) const
{
    const QString stem = QDir(m_path).filePath(nameOf(commandText));
    return writeTo(stem + QStringLiteral(".out"), output)
        && (errors.isEmpty() || writeTo(stem + QStringLiteral(".err"), errors))
        && (exitCode == 0 || writeTo(stem + QStringLiteral(".code"), QByteArray::number(exitCode)));
}

bool PowerShellAnswers::add(const QStringList &arguments, const QByteArray &output, const QByteArray &errors,
                            int exitCode) const
{
    return add(windowscommands::asScript(arguments), output, errors, exitCode);
}

QStringList PowerShellAnswers::received() const
{
    QFile file(QDir(m_path).filePath(QStringLiteral("received.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void PowerShellAnswers::answerThrough(const FixturePath &fixtures)
{
#ifdef Q_OS_WIN
    // CreateProcessW finds powershell.exe in system32 before the search
    // path: there the test's Wine prefix holds the fixture
    // (scripts/windows/run-tests), for the tests that ask Wine to load it.
    Q_UNUSED(fixtures)
#else
    const QString link = QDir(fixtures.path()).filePath(QStringLiteral("powershell"));
    QFile::remove(link);
    QVERIFY2(QFile::link(QStringLiteral(FIXTURE_POWERSHELL), link), FIXTURE_POWERSHELL);
#endif
    if (!m_pointedAt) {
        m_pointedAt = true;
        m_hadVariable = qEnvironmentVariableIsSet(kVariable);
        m_previousVariable = qgetenv(kVariable);
    }
    qputenv(kVariable, QFile::encodeName(m_path));
}

} // namespace testsupport
