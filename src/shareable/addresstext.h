#pragma once
// Network and hardware addresses as they stand in text: reading one that
// begins at a given place of a byte text, and writing one. Only the form is
// judged here; whether the place is a sound beginning (not inside a longer
// number, say) is the caller's concern.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

namespace addresstext {

using Ipv6Groups = std::array<quint16, 8>;

// The longest address text any reader below takes: an IPv6 address with an
// IPv4 tail is 45 characters, a run of 20 hardware-address pairs 59.
constexpr int kLongestAddress = 64;

inline bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A dotted-decimal IPv4 address at text[pos]: four numbers of one to three
// digits, each at most 255, joined by dots, and not followed by a digit or
// by a dot and a digit (then it is part of a longer dotted number, such as
// a version). Its value and the place after it.
bool readIpv4(const char *text, qsizetype size, qsizetype pos, quint32 *address, qsizetype *end);

// An IPv6 address in text form filling exactly text[0, length): groups of
// one to four hex digits joined by colons, at most one "::", optionally an
// IPv4 address as the last 32 bits.
bool parseIpv6(const char *text, qsizetype length, Ipv6Groups *groups);

// A run of 6 to 20 pairs of hex digits at text[pos], joined throughout by
// the same separator, "-" or ":" (a MAC address is six): the number of
// pairs and the place after the run, or 0 when there is none or the run
// goes on with more hex digits or separators.
int readHardwareRun(const char *text, qsizetype size, qsizetype pos, qsizetype *end);

// A MAC address in the dotted form of network equipment at text[pos]:
// three groups of four hex digits joined by dots ("001a.2b3c.4d5e"), not
// going on with a hex digit or a dot and a hex digit. The place after it.
bool readDottedHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end);

// Exactly twelve hex digits at text[pos], as a MAC address stands without
// separators ("001A2B3C4D5E"); the place after them.
bool readBareHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end);

// True when the whole text is an IPv4 or IPv6 address (this with or
// without a zone, "fe80::1%12").
bool isAddress(const QString &text);

QByteArray ipv4Text(quint32 address);
// The usual short form: lower case, leading zeros dropped, the longest run
// of two or more zero groups written "::".
QByteArray ipv6Text(const Ipv6Groups &groups);

} // namespace addresstext
