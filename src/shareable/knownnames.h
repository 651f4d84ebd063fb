#pragma once
// The names a shareable copy must not show: those of this computer, its
// user and its network, and the host names the settings file lists for the
// address tests. Addresses need no list: they are recognised by their form.

#include <QByteArray>
#include <QStringList>

namespace shareable {

struct KnownNames
{
    QStringList computerNames; // as the system gives it and as reports show it
    QStringList userNames;     // the login name and the last part of the home folder
    QStringList dnsSuffixes;   // the machine's own
    QStringList hostNames;     // of the settings file's [ipconfig] list

    void add(const KnownNames &other);
};

// What the system says: the computer's name (and on Windows its NetBIOS
// name), the user's login name and home folder, the machine's DNS domain.
KnownNames systemNames();

// The host names among the [ipconfig] values: the first word of each line,
// as the address tests take it, unless it is an IP address; a name beyond
// ASCII also in the IDNA form the tools were given.
QStringList addressListHosts(const QStringList &values);

// Adds the names a report or log shows in the layouts the tool knows: the
// "Host Name", "Primary Dns Suffix", "DNS Suffix Search List" (with its
// continuation lines) and "Connection-specific DNS Suffix" lines of
// ipconfig /all, and the logging library's "Running on machine:" line.
void addNamesShownIn(const QByteArray &text, KnownNames *names);

// The same for a text that comes in pieces, however large: only the lines
// that hold one of those fields (and the lines that continue a list) are
// read as text, so a log costs little more than a search through its bytes.
class NamesShownIn
{
public:
    explicit NamesShownIn(KnownNames *names) : m_names(names) {}
    void feed(const char *data, qsizetype size);
    void finish();

private:
    // Learns from the lines of m_pending before end; keeps for the next
    // piece what may go on in it.
    void learn(qsizetype end, bool last);

    KnownNames *m_names;
    QByteArray m_pending;    // the lines not yet read
    bool m_inLongLine = false; // within a line too long to hold a field
};

} // namespace shareable
