#include "installation/addresslist.h"

#include "installation/pingtargets.h"

#include <QRegularExpression>
#include <QUrl>

namespace addresslist {

namespace {

bool isAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

} // namespace

QString asciiForm(const QString &address)
{
    if (isAscii(address))
        return address;
    return QString::fromLatin1(QUrl::toAce(address));
}

bool isAddress(const QString &word)
{
    static const QRegularExpression hostName(
        QStringLiteral("^(?:[\\p{L}\\p{N}_](?:[\\p{L}\\p{M}\\p{N}_-]{0,61}[\\p{L}\\p{M}\\p{N}_])?\\.)*"
                       "[\\p{L}\\p{N}_](?:[\\p{L}\\p{M}\\p{N}_-]{0,61}[\\p{L}\\p{M}\\p{N}_])?\\.?$"),
        QRegularExpression::UseUnicodePropertiesOption);
    // Hexadecimal groups, an IPv4 tail, a zone; in brackets or not.
    static const QRegularExpression ipv6(
        QStringLiteral("^\\[?[0-9A-Fa-f]*:[0-9A-Fa-f:.]*(%[A-Za-z0-9_.-]+)?\\]?$"));
    return hostName.match(word).hasMatch() || ipv6.match(word).hasMatch();
}

QStringList partsOf(const QString &value)
{
    QStringList parts;
    for (const QString &part : value.split(QLatin1Char(','))) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            parts << trimmed;
    }
    return parts;
}

AddressList addressList(const QVector<settingsgroups::Entry> &entries)
{
    AddressList list;
    for (const settingsgroups::Entry &entry : entries) {
        if (!entry.assignment) {
            list.notAddresses << entry.key;
            continue;
        }
        for (const QString &part : partsOf(entry.value)) {
            const QStringList words = pingtargets::targetsOf(part);
            const QString address = words.isEmpty() ? part : words.first();
            if (address.size() > pingtargets::kMaxTargetLength) {
                ++list.tooLong;
                continue;
            }
            const QString ascii = words.isEmpty() || !isAddress(address) ? QString() : asciiForm(address);
            if (ascii.isEmpty())
                list.notAddresses << entry.key + QLatin1Char('=') + address;
            else if (++list.targets <= pingtargets::kMaxTargets)
                list.lines << (part.startsWith(address) ? ascii + part.mid(address.size()) : ascii);
        }
    }
    return list;
}

} // namespace addresslist
