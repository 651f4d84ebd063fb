#include "shareable/pseudonyms.h"

#include <QSet>
#include <QTextCodec>

#include <algorithm>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace shareable {

namespace {

// No DNS name is longer; the cleaning looks no further ahead than this.
constexpr int kLongestName = 253;

QByteArray asciiLower(QByteArray bytes)
{
    for (char &c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + ('a' - 'A'));
    }
    return bytes;
}

// Names as they are compared: trimmed, without a DNS name's closing dot,
// and only those that can be names at all, each once.
QStringList usable(const QStringList &values)
{
    QStringList names;
    QSet<QString> seen;
    for (QString value : values) {
        value = value.trimmed();
        while (value.endsWith(QLatin1Char('.')))
            value.chop(1);
        const bool control = std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < 0x20; });
        if (value.isEmpty() || value.toUtf8().size() > kLongestName || control || addresstext::isAddress(value))
            continue;
        if (!seen.contains(value.toLower())) {
            seen.insert(value.toLower());
            names << value;
        }
    }
    return names;
}

// The 8-bit code pages text on this system may be written in besides UTF-8:
// the system's own and, on Windows, the console's, in which the console
// tools write what the reports copy byte for byte.
QList<QTextCodec *> eightBitCodecs()
{
    QList<QTextCodec *> codecs{QTextCodec::codecForLocale()};
#ifdef _WIN32
    codecs << QTextCodec::codecForName("CP" + QByteArray::number(uint(GetOEMCP())));
#endif
    codecs.removeAll(nullptr);
    return codecs;
}

int levelOctet(int level, int child)
{
    if (level == 0) {
        // 10 and up first, never 127 (loopback)
        if (child < 117)
            return 10 + child;
        if (child < 245)
            return 128 + (child - 117);
        return child < 254 ? 1 + (child - 245) : 0;
    }
    return level == 3 ? (child + 1) & 0xff : child & 0xff;
}

QByteArray groupsText(const QByteArray &digits, char separator, int group)
{
    QByteArray text;
    for (int i = 0; i < digits.size(); i += group) {
        if (i > 0)
            text += separator;
        text += digits.mid(i, group);
    }
    return text;
}

} // namespace

Pseudonyms::Pseudonyms(const KnownNames &names)
{
    // A computer's full name is its own name in the machine's DNS suffix.
    QStringList computers;
    QStringList suffixes = names.dnsSuffixes;
    for (const QString &name : usable(names.computerNames)) {
        computers << name.section(QLatin1Char('.'), 0, 0);
        suffixes << name.section(QLatin1Char('.'), 1);
    }
    // A listed host's own name, its first label, is a name like the
    // computer's: "nas" alone is replaced as "nas.studio.lan" is.
    const QStringList hosts = usable(names.hostNames);
    QStringList hostLabels;
    for (const QString &host : hosts) {
        hostLabels << host.section(QLatin1Char('.'), 0, 0);
        suffixes << host.section(QLatin1Char('.'), 1);
    }
    hostLabels = usable(hostLabels);
    suffixes = usable(suffixes);
    computers = usable(computers);
    const QStringList users = usable(names.userNames);
    for (const QString &name : suffixes + computers + users + hostLabels + hosts)
        m_realNames << name.toLower();

    int domains = 0;
    int hostCount = 0;
    int userCount = 0;
    addNames(suffixes, QStringLiteral("DNS suffix"), "domain", &domains);
    for (const Name &suffix : qAsConst(m_names))
        m_suffixStandIns.insert(suffix.real.toLower(), suffix.standIn);
    addNames(computers, QStringLiteral("computer name"), "host", &hostCount);
    addNames(users, QStringLiteral("user name"), "user", &userCount);
    addNames(hostLabels, QStringLiteral("host name"), "host", &hostCount);
    // A listed full name is its first label's stand-in in its domain's
    // ("host1.domain1"), listed in the map as it was written.
    for (const QString &host : hosts) {
        const int label = indexOf(host.section(QLatin1Char('.'), 0, 0));
        const QByteArray suffix = m_suffixStandIns.value(host.section(QLatin1Char('.'), 1).toLower());
        if (label >= 0 && !suffix.isNull() && indexOf(host) < 0)
            addName(host, QStringLiteral("host name"), m_names.at(label).standIn + '.' + suffix);
    }
    // Longest first: the longest name standing at a place is the one replaced.
    std::stable_sort(m_forms.begin(), m_forms.end(),
                     [](const NameForm &a, const NameForm &b) { return a.bytes.size() > b.bytes.size(); });
}

int Pseudonyms::indexOf(const QString &real) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i).real.compare(real, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Pseudonyms::addName(const QString &value, const QString &kind, const QByteArray &standIn)
{
    m_names.append({kind, value, standIn});
    addForms(value, m_names.size() - 1);
}

void Pseudonyms::addNames(const QStringList &values, const QString &kind, const char *prefix, int *counter)
{
    for (const QString &value : values) {
        if (indexOf(value) < 0)
            addName(value, kind, nextStandIn(prefix, counter));
    }
}

QByteArray Pseudonyms::nextStandIn(const char *prefix, int *counter) const
{
    for (;;) {
        const QByteArray standIn = prefix + QByteArray::number((*counter)++);
        if (!m_realNames.contains(QString::fromLatin1(standIn)))
            return standIn;
    }
}

void Pseudonyms::addForms(const QString &value, int name)
{
    QList<QByteArray> forms;
    for (const QString &variant : {value, value.toLower(), value.toUpper()}) {
        forms << variant.toUtf8();
        for (QTextCodec *codec : eightBitCodecs()) {
            if (codec->canEncode(variant))
                forms << codec->fromUnicode(variant);
        }
    }
    QSet<QByteArray> added;
    for (const QByteArray &form : qAsConst(forms)) {
        const QByteArray lower = asciiLower(form);
        // (An upper-case form may outgrow the name; the cleaning looks no further.)
        if (!lower.isEmpty() && lower.size() <= kLongestName && !added.contains(lower)) {
            added.insert(lower);
            m_forms.append({lower, name});
        }
    }
}

QByteArray Pseudonyms::nameStandIn(int name)
{
    Name &entry = m_names[name];
    if (!entry.met) {
        entry.met = true;
        m_replacements.append({entry.kind, entry.real, QString::fromLatin1(entry.standIn)});
    }
    return entry.standIn;
}

quint32 Pseudonyms::ipv4Octet(int level, quint32 realPrefix)
{
    const quint64 key = quint64(level) << 32 | realPrefix;
    const auto found = m_ipv4Octets.constFind(key);
    if (found != m_ipv4Octets.constEnd())
        return *found;
    const quint32 octet = quint32(levelOctet(level, m_ipv4Children[quint64(level) << 32 | (realPrefix >> 8)]++));
    m_ipv4Octets.insert(key, octet);
    return octet;
}

QByteArray Pseudonyms::ipv4StandIn(quint32 address)
{
    const quint32 inverse = ~address;
    if (address >> 24 == 127 || address == 0 || (address >> 24 == 255 && (inverse & (inverse + 1)) == 0))
        return QByteArray();
    const auto found = m_ipv4.constFind(address);
    if (found != m_ipv4.constEnd())
        return *found;
    quint32 standIn = 0;
    for (int level = 0; level < 4; ++level)
        standIn = standIn << 8 | ipv4Octet(level, address >> (24 - 8 * level));
    const QByteArray text = addresstext::ipv4Text(standIn);
    m_ipv4.insert(address, text);
    m_replacements.append({QStringLiteral("IPv4 address"), QString::fromLatin1(addresstext::ipv4Text(address)),
                           QString::fromLatin1(text)});
    return text;
}

QByteArray Pseudonyms::ipv6StandIn(const addresstext::Ipv6Groups &groups)
{
    const auto zeroUpTo = [&groups](int count) {
        return std::all_of(groups.cbegin(), groups.cbegin() + count, [](quint16 group) { return group == 0; });
    };
    if (zeroUpTo(7) && groups[7] <= 1)
        return QByteArray(); // :: and ::1
    const QByteArray key(reinterpret_cast<const char *>(groups.data()), int(sizeof groups));
    const auto found = m_ipv6.constFind(key);
    if (found != m_ipv6.constEnd())
        return *found;

    QByteArray text;
    if (zeroUpTo(5) && groups[5] == 0xffff) {
        // An IPv4 address in IPv6 form stands for the IPv4 address.
        const QByteArray ipv4 = ipv4StandIn(quint32(groups[6]) << 16 | groups[7]);
        if (ipv4.isNull())
            return QByteArray();
        text = "::ffff:" + ipv4;
    } else {
        const bool linkLocal = groups[0] == 0xfe80 && groups[1] == 0 && groups[2] == 0 && groups[3] == 0;
        quint32 network = 0; // the link-local network keeps its prefix
        if (!linkLocal) {
            const QByteArray prefix = key.left(8);
            network = m_ipv6Networks.value(prefix, 0);
            if (network == 0) {
                network = quint32(m_ipv6Networks.size() + 1);
                m_ipv6Networks.insert(prefix, network);
            }
        }
        const quint32 host = ++m_ipv6Hosts[network];
        const addresstext::Ipv6Groups standIn{quint16(linkLocal ? 0xfe80 : 0xfd00), 0, quint16(network >> 16),
                                              quint16(network & 0xffff), 0, 0, quint16(host >> 16),
                                              quint16(host & 0xffff)};
        text = addresstext::ipv6Text(standIn);
    }
    m_ipv6.insert(key, text);
    m_replacements.append({QStringLiteral("IPv6 address"), QString::fromLatin1(addresstext::ipv6Text(groups)),
                           QString::fromLatin1(text)});
    return text;
}

QByteArray Pseudonyms::hardwareStandIn(const char *text, qsizetype length)
{
    // Its digits in upper case, and its form: the separator and how many
    // digits stand between two (none: all of them).
    QByteArray digits;
    char separator = 0;
    int group = 0;
    bool lowerCase = false;
    for (qsizetype i = 0; i < length; ++i) {
        const char c = text[i];
        if (!addresstext::isHexDigit(c)) {
            if (separator == 0) {
                separator = c;
                group = digits.size();
            }
            continue;
        }
        lowerCase = lowerCase || (c >= 'a' && c <= 'f');
        digits += (c >= 'a' && c <= 'f') ? char(c - ('a' - 'A')) : c;
    }
    QByteArray standIn = m_hardware.value(digits);
    if (standIn.isNull()) {
        // Locally administered (02), numbered in the last digits.
        standIn = "02" + QByteArray::number(++m_hardwareCount, 16).toUpper().rightJustified(digits.size() - 2, '0');
        m_hardware.insert(digits, standIn);
        m_replacements.append({QStringLiteral("hardware address"), QString::fromLatin1(groupsText(digits, '-', 2)),
                               QString::fromLatin1(groupsText(standIn, '-', 2))});
    }
    const QByteArray written = separator == 0 ? standIn : groupsText(standIn, separator, group);
    return lowerCase ? written.toLower() : written;
}

} // namespace shareable
