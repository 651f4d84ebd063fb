#pragma once
// The consistent map from real values to readable stand-ins that the
// shareable copy is made with: the same value gets the same stand-in in
// every text and entry name, and the map remembers what it replaced, for the
// map file that stays on the user's computer.
//
// Stand-ins: computer names and the address list's host names "host0",
// "host1"...; user names "user0"...; DNS suffixes "domain0"... (a listed
// "nas.studio.lan" becomes "host1.domain1", and its first label "nas"
// alone "host1"); IPv4 addresses 10.0.0.1 and on,
// one real octet to one stand-in octet below the same parent, so that
// addresses of one /8, /16 or /24 network stay in one stand-in network;
// IPv6 addresses fd00:0:0:N::M, one N per real /64 network (link-local
// fe80::/64 keeps its prefix); hardware addresses 02-00-00-00-00-01 and on,
// in the form (separator, groups) and letter case they stood in.

#include "shareable/addresstext.h"
#include "shareable/knownnames.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

namespace shareable {

struct Replacement
{
    QString kind;    // "computer name", "IPv4 address"...
    QString real;
    QString standIn;
};

class Pseudonyms
{
public:
    explicit Pseudonyms(const KnownNames &names);

    // Each byte form a known name may stand in (UTF-8, its lower and upper
    // case, the system's 8-bit code pages), ASCII letters in lower case: the
    // text matches them without regard to ASCII case.
    struct NameForm
    {
        QByteArray bytes;
        int name = 0;
    };
    const QVector<NameForm> &nameForms() const { return m_forms; }

    QByteArray nameStandIn(int name);
    // A null array for the addresses that stay: IPv4 loopback (127/8), the
    // unspecified 0.0.0.0 and netmasks (255.x.x.x with contiguous ones);
    // IPv6 :: and ::1.
    QByteArray ipv4StandIn(quint32 address);
    QByteArray ipv6StandIn(const addresstext::Ipv6Groups &groups);
    // For a hardware address text[0, length) in any of the forms the
    // addresstext readers take: the stand-in in the same form and case.
    // One address has one stand-in in every form.
    QByteArray hardwareStandIn(const char *text, qsizetype length);

    // What was replaced so far, in the order first met.
    const QVector<Replacement> &replacements() const { return m_replacements; }

private:
    struct Name
    {
        QString kind;
        QString real;
        QByteArray standIn;
        bool met = false;
    };
    int indexOf(const QString &real) const; // of the name, in any case; -1 when it is none
    void addName(const QString &value, const QString &kind, const QByteArray &standIn);
    void addNames(const QStringList &values, const QString &kind, const char *prefix, int *counter);
    QByteArray nextStandIn(const char *prefix, int *counter) const;
    void addForms(const QString &value, int name);
    quint32 ipv4Octet(int level, quint32 realPrefix);

    QVector<Name> m_names;
    QVector<NameForm> m_forms;
    QStringList m_realNames; // lower case, so that no stand-in equals one
    QHash<QString, QByteArray> m_suffixStandIns;

    QHash<quint64, quint32> m_ipv4Octets;    // (level, real prefix) → stand-in octet
    QHash<quint64, int> m_ipv4Children;      // (level, real parent prefix) → children so far
    QHash<quint32, QByteArray> m_ipv4;
    QHash<QByteArray, QByteArray> m_ipv6;    // real groups → stand-in text
    QHash<QByteArray, quint32> m_ipv6Networks;
    QHash<quint32, quint32> m_ipv6Hosts;     // stand-in network → hosts so far
    QHash<QByteArray, QByteArray> m_hardware; // upper-case digits → stand-in digits
    int m_hardwareCount = 0;
    QVector<Replacement> m_replacements;
};

} // namespace shareable
