#pragma once
// Cleaning a text of personal values for the shareable copy, in one pass
// over its bytes (any 8-bit or UTF-8 text; bytes that are no value pass
// unchanged). Replaced, each by its stand-in from the map:
// - every known name (Pseudonyms) standing as a whole word: not preceded or
//   followed by a letter, digit, "_" or non-ASCII byte, so a suffix "lan"
//   is replaced in "nas.lan" and "wifi-lan" but not in "plan"; ASCII letters
//   match in any case;
// - IPv4 addresses, also inside a word ("srv10.1.2.3"), but not as part of
//   a longer dotted number ("1.10.1.2.3", "10.1.2.3.4");
// - IPv6 addresses not glued to a letter or digit before them (so "std::"
//   in a C++ name is none), a zone ("%12") left as it is;
// - runs of 6 to 20 hex pairs joined by "-" or ":" (MAC addresses, and the
//   DHCPv6 identifiers that embed them) not glued to a hex digit.

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
    // Cleans the values beginning in text[from, stop) into out, reading
    // text[from - 2, from) as what stood before and up to the end of the
    // text beyond stop. Returns where it stopped giving out (stop, or the
    // end of a value begun before it).
    qsizetype scan(const char *text, qsizetype size, qsizetype from, qsizetype stop, QByteArray *out);
    bool matchName(const char *text, qsizetype size, qsizetype pos, qsizetype *end, int *name) const;
    bool matchIpv6(const char *text, qsizetype size, qsizetype pos, qsizetype *start, qsizetype *end,
                   QByteArray *standIn);

    Pseudonyms &m_pseudonyms;
    std::array<quint8, 256> m_classes{};
    std::array<std::vector<int>, 256> m_namesByFirstByte; // forms, longest first
};

} // namespace shareable
