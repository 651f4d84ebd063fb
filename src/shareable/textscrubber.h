#pragma once
// Cleaning a text of personal values for the shareable copy, in one pass
// over its bytes (any 8-bit or UTF-8 text; bytes that are no value pass
// unchanged). Replaced, each by its stand-in from the map:
// - every known name (Pseudonyms) standing as a whole word: not preceded or
//   followed by a letter, digit or non-ASCII byte, so a suffix "lan" is
//   replaced in "nas.lan", "wifi-lan" and "wifi_lan" but not in "plan";
//   ASCII letters match in any case;
// - IPv4 addresses, also inside a word ("srv10.1.2.3"), but not as part of
//   a longer dotted number ("1.10.1.2.3", "10.1.2.3.4") nor after a
//   version label ("v1.2.3.4", valuecontext);
// - IPv6 addresses not glued to a letter, digit or "_" before them (so
//   "std::" in a C++ name is none), nor C++ scope names of hex letters
//   ("Feed::Add"), a zone ("%12") left as it is;
// - runs of 6 to 20 hex pairs joined by "-" or ":" (MAC addresses, and the
//   DHCPv6 identifiers that embed them) not glued to a hex digit; MAC
//   addresses in dotted groups of four ("001a.2b3c.4d5e"), and as twelve
//   bare hex digits after a MAC label ("HWaddr 001A2B3C4D5E").

#include <QByteArray>

#include <array>
#include <vector>

namespace shareable {

class Pseudonyms;

class TextScrubber
{
public:
    // The map must outlive the scrubber; it learns every value replaced.
    explicit TextScrubber(Pseudonyms &pseudonyms);

    QByteArray clean(const QByteArray &text);

    // The same for a text that comes in pieces: what comes out, piece by
    // piece, is exactly clean() of the whole text.
    class Stream
    {
    public:
        explicit Stream(TextScrubber &scrubber) : m_scrubber(scrubber) {}
        void feed(const char *data, qsizetype size, QByteArray *out);
        void finish(QByteArray *out);

    private:
        TextScrubber &m_scrubber;
        QByteArray m_pending; // bytes not yet cleaned, after m_context bytes already given out
        qsizetype m_context = 0;
    };

private:
    // Cleans the values beginning in text[from, stop) into out, reading up
    // to valuecontext::kLookbehind bytes before from as what stood before,
    // and up to the end of the text beyond stop. Returns where it stopped
    // giving out (stop, or the end of a value begun before it).
    qsizetype scan(const char *text, qsizetype size, qsizetype from, qsizetype stop, QByteArray *out);
    bool matchName(const char *text, qsizetype size, qsizetype pos, qsizetype *end, int *name) const;
    // A MAC address in any of its forms at text[pos], a hex digit.
    bool matchHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end) const;
    bool matchIpv6(const char *text, qsizetype size, qsizetype pos, qsizetype *start, qsizetype *end,
                   QByteArray *standIn);

    Pseudonyms &m_pseudonyms;
    std::array<quint8, 256> m_classes{};
    std::array<std::vector<int>, 256> m_namesByFirstByte; // forms, longest first
};

} // namespace shareable
