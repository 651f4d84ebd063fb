#pragma once
// The addresses the settings file's [ipconfig] group lists, made into the
// lines of the address list the ping and route loops read. Every address
// the group lists is either kept or counted or named with the reason it is
// not tested.

#include "installation/settingsgroups.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace addresslist {

// An IPv4 or IPv6 address, or a host name: dot-separated labels of letters
// (any script), digits, "-" and "_", no label starting or ending with "-".
bool isAddress(const QString &word);

// The address in letters every code page holds: a host name with letters
// beyond ASCII in its IDNA form ("xn--" labels), which names the same host;
// any other address as it is. Empty when the name has no such form. The
// console loop reads the list in the console's code page, not in the one
// the list was written in, so a name beyond ASCII would reach the tools
// garbled, or as question marks where the written code page lacks its
// letters.
QString asciiForm(const QString &address);

// The addresses a value holds: one per comma-separated part, blanks around
// each dropped, empty parts skipped. Within a part, as the console loop
// reads it, the first word is the address and the rest a comment.
QStringList partsOf(const QString &value);

struct AddressList
{
    QStringList lines;        // in file order, each to be ended by a line feed; addresses in asciiForm
    int targets = 0;          // addresses listed, kept or not
    int tooLong = 0;          // left out: longer than any host name
    QStringList notAddresses; // left out: "key=word" of each part that is no address
};

// At most pingtargets::kMaxTargets addresses, the first ones in file order.
AddressList addressList(const QVector<settingsgroups::Entry> &entries);

} // namespace addresslist
