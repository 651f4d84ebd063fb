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

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}
} // namespace

PowerShellAnswers::PowerShellAnswers() : m_path(m_temporary.path()) {}

PowerShellAnswers::PowerShellAnswers(const QString &folder) : m_path(QDir(folder).absolutePath())
{
    m_temporary.remove();
    QDir().mkpath(m_path);
}

PowerShellAnswers::PowerShellAnswers(const FixturePath &fixtures) : m_path(folderOf(fixtures))
{
    m_temporary.remove();
    QDir(m_path).removeRecursively();
    QDir().mkpath(m_path);
    answerThrough(fixtures);
    // The fixtures outlive this object: so does the variable.
    m_pointedAt = false;
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

QString PowerShellAnswers::folderOf(const FixturePath &fixtures)
{
    return QDir(fixtures.path()).filePath(QStringLiteral("powershell-answers"));
}

bool PowerShellAnswers::write(const QString &name, const Answer &answer) const
{
    const QString stem = QDir(m_path).filePath(name);
    for (const char *suffix : {".err", ".code", ".wait", ".flood", ".hang", ".crash"})
        QFile::remove(stem + QLatin1String(suffix));
    const auto optional = [&stem](bool wanted, const char *suffix, const QByteArray &bytes) {
        return !wanted || writeTo(stem + QLatin1String(suffix), bytes);
    };
    return writeTo(stem + QStringLiteral(".out"), answer.output)
        && optional(!answer.errors.isEmpty(), ".err", answer.errors)
        && optional(answer.exitCode != 0, ".code", QByteArray::number(answer.exitCode))
        && optional(answer.delayMs > 0, ".wait", QByteArray::number(answer.delayMs))
        && optional(answer.floodBytes > 0, ".flood", QByteArray::number(answer.floodBytes))
        && optional(answer.ending == Ending::Hang, ".hang", {})
        && optional(answer.ending == Ending::Crash, ".crash", {});
}

bool PowerShellAnswers::add(const QString &commandText, const Answer &answer) const
{
    return write(nameOf(commandText), answer);
}

bool PowerShellAnswers::addFallback(const Answer &answer) const { return write(QStringLiteral("any"), answer); }

bool PowerShellAnswers::add(const QString &commandText, const QByteArray &output, const QByteArray &errors,
                            int exitCode) const
{
    Answer answer;
    answer.output = output;
    answer.errors = errors;
    answer.exitCode = exitCode;
    return add(commandText, answer);
}

bool PowerShellAnswers::add(const QStringList &arguments, const QByteArray &output, const QByteArray &errors,
                            int exitCode) const
{
    return add(windowscommands::asScript(arguments), output, errors, exitCode);
}

QStringList PowerShellAnswers::received() const
{
    return linesOf(QDir(m_path).filePath(QStringLiteral("received.txt")));
}

QStringList PowerShellAnswers::lastArgumentsIn(const QString &folder)
{
    return linesOf(QDir(folder).filePath(QStringLiteral("arguments.txt")));
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

// Defined here rather than with the rest of FixturePath: it is the fixture
// PowerShell's, on every platform.
void FixturePath::addPowerShell(const QList<QPair<QString, QByteArray>> &answers) const
{
    const PowerShellAnswers powerShell(*this);
    for (const auto &answer : answers)
        QVERIFY(powerShell.add(answer.first, answer.second));
    QVERIFY(powerShell.addFallback({}));
}

} // namespace testsupport
