#include "fixturesteps.h"

#include "testsupport.h"

#include <QFile>

namespace testsupport {

namespace {

// A field of the steps file: every byte but printable ASCII, and the
// blank and backslash, written "\xHH".
QByteArray field(const QByteArray &bytes)
{
    QByteArray result;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f && c != '\\')
            result += c;
        else
            result += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return result;
}

QByteArray number(qint64 value) { return QByteArray::number(value); }

} // namespace

FixtureSteps &FixtureSteps::step(const QByteArray &keyword, const QList<QByteArray> &fields)
{
    m_text += keyword;
    for (const QByteArray &value : fields)
        m_text += ' ' + field(value);
    m_text += '\n';
    return *this;
}

FixtureSteps &FixtureSteps::out(const QByteArray &bytes) { return step("out", {bytes}); }
FixtureSteps &FixtureSteps::err(const QByteArray &bytes) { return step("err", {bytes}); }
FixtureSteps &FixtureSteps::printArguments() { return step("print-arguments"); }
FixtureSteps &FixtureSteps::logArguments(const QString &logPath) { return step("log-arguments", {logPath.toUtf8()}); }
FixtureSteps &FixtureSteps::touch(const QString &path) { return step("touch", {path.toUtf8()}); }
FixtureSteps &FixtureSteps::write(const QString &path, const QByteArray &bytes)
{
    return step("write", {path.toUtf8(), bytes});
}
FixtureSteps &FixtureSteps::writeToArgument(int n, const QByteArray &bytes)
{
    return step("write-argument", {number(n), bytes});
}
FixtureSteps &FixtureSteps::copyToArgument(int n, const QString &source)
{
    return step("copy-argument", {number(n), source.toUtf8()});
}
FixtureSteps &FixtureSteps::append(const QString &source, const QString &target)
{
    return step("append", {source.toUtf8(), target.toUtf8()});
}
FixtureSteps &FixtureSteps::readInput() { return step("read-input"); }
FixtureSteps &FixtureSteps::wait(int milliseconds) { return step("wait", {number(milliseconds)}); }
FixtureSteps &FixtureSteps::hang() { return step("hang"); }
FixtureSteps &FixtureSteps::background(int milliseconds) { return step("background", {number(milliseconds)}); }
FixtureSteps &FixtureSteps::flood(Channel channel, qint64 count, const QByteArray &line)
{
    return step("flood", {channel == Channel::Output ? "out" : "err", number(count), line});
}
FixtureSteps &FixtureSteps::crash() { return step("crash"); }
FixtureSteps &FixtureSteps::exit(int code) { return step("exit", {number(code)}); }
FixtureSteps &FixtureSteps::then(const FixtureSteps &more)
{
    m_text += more.m_text;
    return *this;
}

bool placeFixture(const QString &programPath, const FixtureSteps &steps)
{
    QString stepsPath = programPath;
    if (stepsPath.endsWith(QLatin1String(".exe")))
        stepsPath.chop(4);
    stepsPath += QLatin1String(".steps");
    QFile::remove(programPath);
    if (!QFile::copy(QStringLiteral(FIXTURE_PROGRAM), programPath))
        return false;
    QFile file(stepsPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(steps.text()) == steps.text().size();
}

QStringList argumentsOfLine(const QByteArray &line)
{
    QStringList arguments;
    QByteArray current;
    bool inside = false;
    for (int i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (!inside) {
            inside = c == '[';
            current.clear();
        } else if (c == ']') {
            arguments.append(QString::fromUtf8(current));
            inside = false;
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line.at(++i);
            current += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            current += c;
        }
    }
    return arguments;
}

QList<QStringList> loggedArguments(const QString &logPath)
{
    QList<QStringList> runs;
    QList<QByteArray> lines = readFile(logPath).split('\n');
    lines.removeLast(); // after the last line's end; a run without arguments leaves an empty line
    for (const QByteArray &line : lines)
        runs.append(argumentsOfLine(line));
    return runs;
}

} // namespace testsupport
