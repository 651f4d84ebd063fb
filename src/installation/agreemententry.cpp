#include "installation/agreemententry.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace agreemententry {

namespace {

QString nativeLineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

// A line end at the end of every line, the file's own kind.
QString afterLine(const QString &text, int lineEnd, const QString &eol)
{
    return lineEnd >= text.size() ? eol : QString();
}

} // namespace

bool isConsent(const QString &value)
{
    const QString answer = value.trimmed();
    for (const char *yes : {"1", "true", "yes"}) {
        if (answer.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QByteArray withValue(const settingsfile::Contents &contents, const QString &value)
{
    const QString &text = contents.decoded.text;
    const settingsgroups::Text &parsed = contents.text;
    const QString eol = parsed.lineEnd.isEmpty() ? nativeLineEnd() : parsed.lineEnd;
    QString changed;
    if (const std::optional<settingsgroups::Entry> entry = settingsgroups::lastEntry(parsed, group(), key())) {
        // Only the value: the key, the blanks around "=" and a comment
        // after the value stay as written.
        changed = text.left(entry->valueStart) + value + text.mid(entry->valueStart + entry->valueLength);
    } else {
        const settingsgroups::Group *header = nullptr;
        for (const settingsgroups::Group &candidate : parsed.groups) {
            if (settingsgroups::sameName(candidate.name, group()))
                header = &candidate;
        }
        const QString line = key() + QLatin1Char('=') + value;
        if (header) {
            const int lineEnd = header->lineStart + header->lineLength;
            const int next = lineEnd + (lineEnd < text.size() ? (text.midRef(lineEnd, 2) == QLatin1String("\r\n") ? 2 : 1) : 0);
            changed = text.left(next) + afterLine(text, lineEnd, eol) + line + eol + text.mid(next);
        } else {
            const bool open = !text.isEmpty() && !text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r'));
            changed = text + (open ? eol : QString()) + QLatin1Char('[') + group() + QLatin1Char(']') + eol + line + eol;
        }
    }
    return settingstext::encode(changed, contents.decoded);
}

bool record(const QString &path, const settingsfile::Contents &contents, const QString &value, QString *problem)
{
    using State = settingsfile::Contents::State;
    if (contents.state == State::Unreadable) {
        *problem = contents.problem;
        return false;
    }
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction()) {
        *problem = QStringLiteral("it is a link, and the tool does not write through links");
        return false;
    }
    // Replacing a file the user made read-only would go around its mode.
    if (info.exists() && !info.isWritable()) {
        *problem = QStringLiteral("it is read-only");
        return false;
    }
    // Another program (an editor) may have saved it since it was read: its
    // lines must not be lost to an older reading.
    const settingsfile::Contents now = settingsfile::read(path);
    if (now.state != contents.state || now.bytes != contents.bytes) {
        *problem = QStringLiteral("it changed while the tool was reading it");
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(withValue(contents, value)) < 0 || !file.commit()) {
        *problem = QStringLiteral("it cannot be written (%1)").arg(file.errorString());
        return false;
    }
    return true;
}

} // namespace agreemententry
