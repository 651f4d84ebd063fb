#include "shareable/knownnames.h"

#include "installation/addresslist.h"
#include "installation/pingtargets.h"
#include "shareable/addresstext.h"

#include <QByteArrayMatcher>
#include <QDir>
#include <QHostInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <cstring>

namespace shareable {

namespace {

// A line that may hold a field is shorter than this; a list of values
// below a field, with its continuation lines, too.
constexpr qsizetype kLongestLine = 4096;
constexpr qsizetype kLongestList = 64 * 1024;

// The words that begin the fields addNamesShownIn reads: a line holding
// none of them holds no field.
const QByteArrayMatcher &fieldWord(int which)
{
    static const QByteArrayMatcher words[] = {QByteArrayMatcher(QByteArrayLiteral("Host Name")),
                                              QByteArrayMatcher(QByteArrayLiteral("Suffix")),
                                              QByteArrayMatcher(QByteArrayLiteral("Running on machine:"))};
    return words[which];
}
constexpr int kFieldWords = 3;

// Whether the line at text[from] continues a list: indented to the value
// column, as addNamesShownIn reads it.
bool continuesList(const QByteArray &text, qsizetype from)
{
    qsizetype blanks = 0;
    while (from + blanks < text.size() && (text.at(from + blanks) == ' ' || text.at(from + blanks) == '\t'))
        ++blanks;
    return blanks >= 20 && from + blanks < text.size() && text.at(from + blanks) != '\r' && text.at(from + blanks) != '\n';
}

} // namespace

void KnownNames::add(const KnownNames &other)
{
    computerNames += other.computerNames;
    userNames += other.userNames;
    dnsSuffixes += other.dnsSuffixes;
    hostNames += other.hostNames;
}

KnownNames systemNames()
{
    KnownNames names;
    names.computerNames << QSysInfo::machineHostName();
#ifdef Q_OS_WIN
    names.computerNames << qEnvironmentVariable("COMPUTERNAME");
    names.userNames << qEnvironmentVariable("USERNAME");
#else
    names.userNames << qEnvironmentVariable("USER") << qEnvironmentVariable("LOGNAME");
#endif
    names.userNames << QDir(QDir::homePath()).dirName();
    names.dnsSuffixes << QHostInfo::localDomainName();
    return names;
}

QStringList addressListHosts(const QStringList &values)
{
    QStringList hosts;
    for (const QString &value : values) {
        for (const QString &target : pingtargets::targetsOf(value)) {
            if (addresstext::isAddress(target))
                continue;
            hosts << target;
            // The tools were given, and their answers show, the name in
            // its ASCII form.
            const QString ascii = addresslist::asciiForm(target);
            if (!ascii.isEmpty() && ascii != target)
                hosts << ascii;
        }
    }
    return hosts;
}

void addNamesShownIn(const QByteArray &text, KnownNames *names)
{
    // A field's value stands after the dot leader; further values of a list
    // stand alone on the lines below it, indented to the value column.
    static const QRegularExpression field(
        QStringLiteral("^[ \\t]*(Host Name|Primary Dns Suffix|DNS Suffix Search List|Connection-specific DNS Suffix)"
                       "[ .]*: *(\\S+)[ \\t]*\\r?$((?:\\n[ \\t]{20,}\\S+[ \\t]*\\r?$)*)"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression header(QStringLiteral("^Running on machine: (\\S+)"),
                                           QRegularExpression::MultilineOption);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));

    // All of the text: Qt 5's fromUtf8(const QByteArray &) stops at the
    // first NUL byte, and the fields after one would go unread.
    const QString content = QString::fromUtf8(text.constData(), text.size());
    for (auto match = field.globalMatch(content); match.hasNext();) {
        const QRegularExpressionMatch each = match.next();
        const QStringList values =
            QStringList{each.captured(2)} + each.captured(3).split(blanks, Qt::SkipEmptyParts);
        if (each.captured(1) == QLatin1String("Host Name"))
            names->computerNames += values;
        else
            names->dnsSuffixes += values;
    }
    for (auto match = header.globalMatch(content); match.hasNext();)
        names->computerNames << match.next().captured(1);
}

void NamesShownIn::feed(const char *data, qsizetype size)
{
    if (m_inLongLine) {
        const char *lineEnd = static_cast<const char *>(std::memchr(data, '\n', size_t(size)));
        if (!lineEnd)
            return;
        m_inLongLine = false;
        size -= lineEnd + 1 - data;
        data = lineEnd + 1;
    }
    m_pending.append(data, int(size));
    const qsizetype lastLineEnd = m_pending.lastIndexOf('\n');
    if (lastLineEnd >= 0)
        learn(lastLineEnd + 1, false);
    // What stays is one unfinished line, or a list that may go on.
    if (m_pending.size() > kLongestList || (m_pending.size() > kLongestLine && !m_pending.contains('\n'))) {
        m_inLongLine = !m_pending.endsWith('\n');
        m_pending.clear();
    }
}

void NamesShownIn::finish()
{
    learn(m_pending.size(), true);
    m_pending.clear();
    m_inLongLine = false;
}

void NamesShownIn::learn(qsizetype end, bool last)
{
    qsizetype from = 0;  // the lines before it are read
    qsizetype keep = end; // what goes on to the next piece
    qsizetype hits[kFieldWords];
    for (int word = 0; word < kFieldWords; ++word)
        hits[word] = fieldWord(word).indexIn(m_pending, 0);
    for (;;) {
        qsizetype hit = -1;
        for (int word = 0; word < kFieldWords; ++word) {
            if (hits[word] >= 0 && hits[word] < from)
                hits[word] = fieldWord(word).indexIn(m_pending, int(from));
            if (hits[word] >= 0 && hits[word] < end && (hit < 0 || hits[word] < hit))
                hit = hits[word];
        }
        if (hit < 0)
            break;
        const qsizetype lineStart = m_pending.lastIndexOf('\n', int(hit)) + 1;
        qsizetype blockEnd = m_pending.indexOf('\n', int(hit));
        blockEnd = blockEnd < 0 || blockEnd >= end ? end : blockEnd + 1;
        while (blockEnd < end && continuesList(m_pending, blockEnd)) {
            const qsizetype next = m_pending.indexOf('\n', int(blockEnd));
            blockEnd = next < 0 || next >= end ? end : next + 1;
        }
        if (!last && blockEnd == end && end - lineStart <= kLongestList / 2) {
            // Its list may go on in the next piece: read it then.
            keep = lineStart;
            break;
        }
        addNamesShownIn(m_pending.mid(int(lineStart), int(blockEnd - lineStart)), m_names);
        from = blockEnd;
    }
    m_pending.remove(0, int(keep));
}

} // namespace shareable
