#include "shareable/textscrubber.h"

#include "shareable/addresstext.h"
#include "shareable/pseudonyms.h"
#include "shareable/valuecontext.h"

#include <cstring>

namespace shareable {

namespace {

enum : quint8 {
    kWord = 1,      // a letter, digit, "_" or non-ASCII byte: part of a word
    kHex = 2,
    kDigit = 4,
    kColon = 8,
    kNameStart = 16, // the first byte of a known name, in either ASCII case
    kAddressRun = 32, // a hex digit, ":" or ".": what an IPv6 address is made of
    kNameWord = 64   // a letter, digit or non-ASCII byte: a name beside one is part of a longer word
};

// No value is longer than a DNS name (253 bytes) or an address text, and
// whether it ends at a word's end is told by the byte after it.
constexpr qsizetype kLookahead = 256 + addresstext::kLongestAddress;
// Whether a value may begin at a place is told by the bytes before it: the
// two before it, or the label a version or a MAC address follows.
constexpr qsizetype kLookbehind = valuecontext::kLookbehind;

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

// Whether c stands in text[pos, pos + count): a quick test that spares
// the readers most places (an IPv4 address has a dot within its first four
// bytes, an IPv6 address a colon within its first five).
bool near(const char *text, qsizetype size, qsizetype pos, qsizetype count, char c)
{
    return pos < size && std::memchr(text + pos, c, size_t(qMin(count, size - pos))) != nullptr;
}

bool equalsLowered(const char *text, const QByteArray &lowered)
{
    for (int i = 0; i < lowered.size(); ++i) {
        if (asciiLower(text[i]) != lowered.at(i))
            return false;
    }
    return true;
}

} // namespace

TextScrubber::TextScrubber(Pseudonyms &pseudonyms) : m_pseudonyms(pseudonyms)
{
    for (int c = 0; c < 256; ++c) {
        const char ch = char(c);
        quint8 classes = 0;
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || addresstext::isDigit(ch) || c >= 0x80)
            classes |= kWord | kNameWord;
        if (ch == '_')
            classes |= kWord;
        if (addresstext::isHexDigit(ch))
            classes |= kHex | kAddressRun;
        if (addresstext::isDigit(ch))
            classes |= kDigit;
        if (ch == ':')
            classes |= kColon | kAddressRun;
        if (ch == '.')
            classes |= kAddressRun;
        m_classes[size_t(c)] = classes;
    }
    const QVector<Pseudonyms::NameForm> &forms = m_pseudonyms.nameForms();
    for (int i = 0; i < forms.size(); ++i) {
        const uchar first = uchar(forms.at(i).bytes.at(0));
        m_namesByFirstByte[first].push_back(i);
        m_classes[first] |= kNameStart;
        if (first >= 'a' && first <= 'z')
            m_classes[size_t(first - ('a' - 'A'))] |= kNameStart;
    }
}

QByteArray TextScrubber::clean(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    scan(text.constData(), text.size(), 0, text.size(), &out);
    return out;
}

bool TextScrubber::matchName(const char *text, qsizetype size, qsizetype pos, qsizetype *end, int *name) const
{
    const QVector<Pseudonyms::NameForm> &forms = m_pseudonyms.nameForms();
    for (const int index : m_namesByFirstByte[uchar(asciiLower(text[pos]))]) {
        const Pseudonyms::NameForm &form = forms.at(index);
        const qsizetype after = pos + form.bytes.size();
        if (after > size || !equalsLowered(text + pos, form.bytes))
            continue;
        if (after < size && (m_classes[uchar(text[after])] & kNameWord))
            continue;
        *end = after;
        *name = form.name;
        return true;
    }
    return false;
}

bool TextScrubber::matchIpv6(const char *text, qsizetype size, qsizetype pos, qsizetype *start, qsizetype *end,
                             QByteArray *standIn)
{
    // The run of hex digits, colons and dots from here; a single colon
    // leading it only separates it from a label ("addr:fe80::1").
    const qsizetype limit = qMin(size, pos + addresstext::kLongestAddress);
    qsizetype runEnd = pos;
    int colons = 0;
    while (runEnd < limit && (m_classes[uchar(text[runEnd])] & kAddressRun))
        colons += text[runEnd++] == ':';
    if (colons < 2 || (runEnd == limit && runEnd < size && (m_classes[uchar(text[runEnd])] & kAddressRun)))
        return false; // too few colons for any address, or longer than any
    *start = (text[pos] == ':' && !(pos + 1 < runEnd && text[pos + 1] == ':')) ? pos + 1 : pos;
    // A dot or colon closing the run may be the sentence's.
    for (qsizetype candidateEnd = runEnd; candidateEnd > *start && candidateEnd >= runEnd - 1; --candidateEnd) {
        if (candidateEnd < runEnd && text[candidateEnd] != '.' && text[candidateEnd] != ':')
            break;
        if (candidateEnd < size && (m_classes[uchar(text[candidateEnd])] & kWord))
            break;
        addresstext::Ipv6Groups groups;
        if (addresstext::parseIpv6(text + *start, candidateEnd - *start, &groups)) {
            if (valuecontext::isScopeName(text, *start, candidateEnd))
                return false;
            *end = candidateEnd;
            *standIn = m_pseudonyms.ipv6StandIn(groups);
            return true;
        }
    }
    return false;
}

bool TextScrubber::matchHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end) const
{
    const char before = pos > 0 ? text[pos - 1] : ' ';
    if (pos + 2 < size && (text[pos + 2] == '-' || text[pos + 2] == ':'))
        return before != '-' && before != ':' && addresstext::readHardwareRun(text, size, pos, end) > 0;
    if (m_classes[uchar(before)] & kWord)
        return false;
    if (pos + 4 < size && text[pos + 4] == '.')
        return before != '.' && addresstext::readDottedHardware(text, size, pos, end)
            && !valuecontext::followsVersionLabel(text, pos);
    return addresstext::readBareHardware(text, size, pos, end) && !(*end < size && (m_classes[uchar(text[*end])] & kWord))
        && valuecontext::followsHardwareLabel(text, pos);
}

qsizetype TextScrubber::scan(const char *text, qsizetype size, qsizetype from, qsizetype stop, QByteArray *out)
{
    qsizetype given = from; // everything before this is in out
    qsizetype i = from;
    // Gives out what stood unchanged up to start, then standIn (a null one
    // keeps the value), and goes on after the value.
    const auto take = [&](qsizetype start, qsizetype end, const QByteArray &standIn) {
        if (!standIn.isNull()) {
            out->append(text + given, int(start - given));
            out->append(standIn);
            given = end;
        }
        i = end;
    };
    while (i < stop) {
        const quint8 classes = m_classes[uchar(text[i])];
        if (!(classes & (kHex | kColon | kNameStart))) {
            ++i;
            continue;
        }
        const char before = i > 0 ? text[i - 1] : ' ';
        const quint8 beforeClasses = m_classes[uchar(before)];
        qsizetype start = i;
        qsizetype end = 0;
        int name = 0;
        if ((classes & kNameStart) && !(beforeClasses & kNameWord) && matchName(text, size, i, &end, &name)) {
            take(i, end, m_pseudonyms.nameStandIn(name));
            continue;
        }
        if ((classes & kHex) && !(beforeClasses & kHex) && matchHardware(text, size, i, &end)) {
            take(i, end, m_pseudonyms.hardwareStandIn(text + i, end - i));
            continue;
        }
        // An IPv6 address may follow a label's colon ("addr:fe80::1"), but
        // not a name ("std::string").
        const bool labelColon = text[i] == ':' && !(i + 1 < size && text[i + 1] == ':');
        QByteArray standIn;
        if (!(beforeClasses & kAddressRun) && (labelColon || !(beforeClasses & kWord)) && near(text, size, i, 5, ':')
            && matchIpv6(text, size, i, &start, &end, &standIn)) {
            take(start, end, standIn);
            continue;
        }
        if ((classes & kDigit) && !(beforeClasses & kDigit) && near(text, size, i + 1, 3, '.')
            && !(before == '.' && i > 1 && (m_classes[uchar(text[i - 2])] & kDigit))) {
            quint32 address = 0;
            if (addresstext::readIpv4(text, size, i, &address, &end) && !valuecontext::followsVersionLabel(text, i)) {
                take(i, end, m_pseudonyms.ipv4StandIn(address));
                continue;
            }
        }
        ++i;
    }
    out->append(text + given, int(i - given));
    return i;
}

void TextScrubber::Stream::feed(const char *data, qsizetype size, QByteArray *out)
{
    m_pending.append(data, int(size));
    const qsizetype stop = m_pending.size() - kLookahead;
    if (stop <= m_context)
        return;
    const qsizetype done = m_scrubber.scan(m_pending.constData(), m_pending.size(), m_context, stop, out);
    const qsizetype keep = qMin(done, kLookbehind);
    m_pending.remove(0, int(done - keep));
    m_context = keep;
}

void TextScrubber::Stream::finish(QByteArray *out)
{
    m_scrubber.scan(m_pending.constData(), m_pending.size(), m_context, m_pending.size(), out);
    m_pending.clear();
    m_context = 0;
}

} // namespace shareable
