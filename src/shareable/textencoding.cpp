#include "shareable/textencoding.h"

#include <QChar>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <cstring>

namespace textencoding {

namespace {

using utf16text::ByteOrder;

// Units per thousand that may fail to read as text: in the sample that
// makes a byte order a candidate, and in the whole entry.
constexpr int kSampleBadPerMille = 5;
constexpr int kEntryBadPerMille = 10;
// NUL bytes that make a pattern, in the sample and in the whole entry, of
// which at most one in kNulMinority may stand in the other parity.
constexpr qint64 kSampleNuls = 4;
constexpr qint64 kEntryNuls = 8;
constexpr qint64 kNulMinority = 50;
// Without NUL bytes, UTF-16 is told by its code units only from this many
// bytes on, and only when its even and odd bytes differ at least this much.
constexpr qint64 kFewestBytesWithoutNul = 256;
constexpr double kLeastAsymmetry = 0.5;

// Tabs, line ends, form feeds and the escape of coloured output.
bool isTextControl(uint code) { return (code >= 0x09 && code <= 0x0d) || code == 0x1b; }

// No text: a control character (but for line ends, tabs, form feeds and
// the escape of coloured output), a code point not assigned or for private
// use, a surrogate without its partner.
bool readsAsNoText(uint code)
{
    switch (QChar::category(code)) {
    case QChar::Other_Control:
        return !isTextControl(code);
    case QChar::Other_NotAssigned:
    case QChar::Other_PrivateUse:
    case QChar::Other_Surrogate:
        return true;
    default:
        return false;
    }
}

// UTF-8 in its structure (a sequence cut off by the sample's end
// allowed), with few control bytes: what 8-bit text looks like, and what
// UTF-16 of letters beyond Latin never does.
bool isCleanEightBit(const QByteArray &sample)
{
    qsizetype controls = 0;
    for (qsizetype i = 0; i < sample.size();) {
        const uchar lead = uchar(sample.at(i));
        if (lead < 0x80) {
            if ((lead < 0x20 && !isTextControl(lead)) || lead == 0x7f)
                ++controls;
            ++i;
            continue;
        }
        const int length = lead >= 0xc2 && lead < 0xe0   ? 2
                           : lead >= 0xe0 && lead < 0xf0 ? 3
                           : lead >= 0xf0 && lead < 0xf5 ? 4
                                                         : 0;
        if (length == 0)
            return false;
        for (int k = 1; k < length; ++k) {
            if (i + k >= sample.size())
                return controls * 100 <= sample.size(); // cut off by the sample's end
            if ((uchar(sample.at(i + k)) & 0xc0) != 0x80)
                return false;
        }
        i += length;
    }
    return controls * 100 <= sample.size();
}

// Whether the text is mostly printable ASCII (or holds line ends as 8-bit
// text writes them), as 8-bit text in a Latin code page is: UTF-16 of other
// letters has NUL bytes in its line ends, and in its code units less than
// half of the bytes are printable ASCII (the high bytes of the CJK block
// only in part, its low bytes as any byte).
bool isMostlyAscii(const QByteArray &sample)
{
    const qsizetype printable = std::count_if(sample.cbegin(), sample.cend(), [](char c) {
        return (c >= 0x20 && c < 0x7f) || c == '\t' || c == '\r' || c == '\n';
    });
    return sample.count("\r\n") >= 2 || printable * 4 >= sample.size() * 3;
}

// The sample's bytes in even and in odd places.
struct Places
{
    explicit Places(const QByteArray &sample)
    {
        for (qsizetype i = 0; i < sample.size(); ++i)
            ++(i % 2 == 0 ? even : odd)[uchar(sample.at(i))];
    }
    // How differently the two are distributed: the total variation
    // distance, 0 (alike, as in any 8-bit text) to 1 (no byte value in
    // both, as the high bytes of UTF-16 letters of one script and their low
    // bytes).
    double asymmetry() const
    {
        const double evenCount = double(std::accumulate(even.cbegin(), even.cend(), qint64(0)));
        const double oddCount = double(std::accumulate(odd.cbegin(), odd.cend(), qint64(0)));
        if (oddCount == 0)
            return 0;
        double distance = 0;
        for (size_t b = 0; b < 256; ++b)
            distance += std::fabs(even[b] / evenCount - odd[b] / oddCount);
        return distance / 2;
    }
    // How many byte values the high bytes of the code units take in a byte
    // order: few for the letters of one script.
    int highByteValues(ByteOrder order) const
    {
        const std::array<qint64, 256> &high = order == ByteOrder::LittleEndian ? odd : even;
        return int(std::count_if(high.cbegin(), high.cend(), [](qint64 count) { return count > 0; }));
    }

    std::array<qint64, 256> even{};
    std::array<qint64, 256> odd{};
};

// Control bytes that no 8-bit text holds (UTF-16 of letters of one
// script may: the high byte of Cyrillic is 04, of Thai 0E).
bool holdsControlBytes(const QByteArray &sample)
{
    const qsizetype controls = std::count_if(sample.cbegin(), sample.cend(), [](char c) {
        return uchar(c) < 0x20 && !isTextControl(uchar(c)) && c != 0;
    });
    return controls * 100 >= sample.size();
}

Encoding utf16(ByteOrder order) { return order == ByteOrder::LittleEndian ? Encoding::Utf16LE : Encoding::Utf16BE; }

} // namespace

void Survey::UnitCheck::feed(const char *data, qsizetype size)
{
    codePoints.feed(data, size, [this](uint code) {
        ++units;
        bad += readsAsNoText(code);
    });
}

void Survey::UnitCheck::finish()
{
    codePoints.finish([this](uint code) {
        ++units;
        bad += readsAsNoText(code);
    });
}

Survey::UnitCheck &Survey::check(ByteOrder order) { return order == ByteOrder::LittleEndian ? m_little : m_big; }

void Survey::countNuls(const char *data, qsizetype size)
{
    for (const char *at = data; (at = static_cast<const char *>(std::memchr(at, 0, size_t(data + size - at)))); ++at) {
        const qint64 offset = m_size + (at - data);
        ++m_nuls[size_t(offset % 2)];
        if (offset < kSampleBytes)
            ++m_sampleNuls[size_t(offset % 2)];
    }
}

bool Survey::nulOrder(const std::array<qint64, 2> &nuls, qint64 fewest, ByteOrder *order) const
{
    const qint64 total = nuls[0] + nuls[1];
    const size_t parity = nuls[1] >= nuls[0] ? 1 : 0;
    if (total < fewest || nuls[1 - parity] * kNulMinority > total)
        return false;
    // The high byte of a Latin letter is the NUL: second in little-endian order.
    *order = parity == 1 ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
    return true;
}

void Survey::feed(const char *data, qsizetype size)
{
    countNuls(data, size);
    m_size += size;
    if (!m_sampleDone) {
        const qsizetype taken = qMin(size, qsizetype(kSampleBytes - m_sample.size()));
        m_sample.append(data, int(taken));
        data += taken;
        size -= taken;
        if (m_sample.size() < kSampleBytes)
            return;
        judgeSample();
    }
    for (UnitCheck *each : {&m_little, &m_big}) {
        if (each->active)
            each->feed(data, size);
    }
}

void Survey::judgeSample()
{
    m_sampleDone = true;
    const auto startChecks = [this](const QVector<ByteOrder> &orders) {
        for (const ByteOrder order : orders) {
            check(order).active = true;
            check(order).feed(m_sample.constData(), m_sample.size());
        }
    };
    ByteOrder order = ByteOrder::LittleEndian;
    if (m_sample.startsWith(QByteArray("\xff\xfe\0\0", 4)) || m_sample.startsWith(QByteArray("\0\0\xfe\xff", 4))) {
        m_settled = Encoding::Uncertain;
        return;
    }
    if (m_sample.startsWith("\xff\xfe") || m_sample.startsWith("\xfe\xff")) {
        m_start = Start::Bom16;
        m_candidates = {m_sample.startsWith("\xff\xfe") ? ByteOrder::LittleEndian : ByteOrder::BigEndian};
    } else if (m_sampleNuls[0] + m_sampleNuls[1] > 0) {
        m_start = Start::Nul;
        if (nulOrder(m_sampleNuls, kSampleNuls, &order))
            m_candidates = {order};
        else
            m_settled = Encoding::NotText;
    } else if (isCleanEightBit(m_sample)) {
        m_start = Start::CleanEightBit;
    } else if (isMostlyAscii(m_sample)) {
        // 8-bit text with a letter beyond UTF-8 here and there.
        m_start = Start::MostlyAscii;
    } else {
        m_start = Start::Other;
        const Places places(m_sample);
        m_asymmetry = places.asymmetry();
        m_controlBytes = holdsControlBytes(m_sample);
        startChecks({ByteOrder::LittleEndian, ByteOrder::BigEndian});
        for (UnitCheck *each : {&m_little, &m_big}) {
            each->active = each->readsAsText(kSampleBadPerMille);
            if (each->active)
                m_candidates << each->order;
        }
        if (m_candidates.size() == 2) {
            // Both read as text: the one whose high bytes vary far less
            // (the block of one script) is the order, if one is.
            const int little = places.highByteValues(ByteOrder::LittleEndian);
            const int big = places.highByteValues(ByteOrder::BigEndian);
            if (little * 2 <= big)
                m_candidates = {ByteOrder::LittleEndian};
            else if (big * 2 <= little)
                m_candidates = {ByteOrder::BigEndian};
        }
        return;
    }
    startChecks(m_candidates);
}

Encoding Survey::verdict()
{
    if (!m_sampleDone)
        judgeSample();
    if (!m_finished) {
        m_finished = true;
        for (UnitCheck *each : {&m_little, &m_big}) {
            if (each->active)
                each->finish();
        }
    }
    if (m_settled)
        return *m_settled;
    const auto readsAsText = [this](ByteOrder order) {
        return m_candidates.contains(order) && check(order).readsAsText(kEntryBadPerMille);
    };
    ByteOrder nulBytesOrder = ByteOrder::LittleEndian;
    const bool nulPattern = nulOrder(m_nuls, kEntryNuls, &nulBytesOrder);
    switch (m_start) {
    case Start::Bom16:
        return readsAsText(m_candidates.first()) ? utf16(m_candidates.first()) : Encoding::NotText;
    case Start::Nul:
        // The pattern the sample showed, kept to the end.
        return nulOrder(m_nuls, kSampleNuls, &nulBytesOrder) && readsAsText(nulBytesOrder) ? utf16(nulBytesOrder)
                                                                                           : Encoding::NotText;
    case Start::CleanEightBit:
    case Start::MostlyAscii:
        // UTF-16 after a passage of 8-bit text: neither way cleans it all.
        return nulPattern ? Encoding::Uncertain : Encoding::EightBit;
    case Start::Other:
        break;
    }
    if (nulPattern)
        return readsAsText(nulBytesOrder) ? utf16(nulBytesOrder) : Encoding::Uncertain;
    if (m_candidates.isEmpty() || m_asymmetry < kLeastAsymmetry)
        return Encoding::EightBit;
    // Without a single NUL byte, UTF-16 of Chinese reads as a double-byte
    // code page (GBK, Shift-JIS, Big5) would, and the other way round; only
    // control bytes that no code page writes tell it apart.
    if (m_candidates.size() == 1 && m_size >= kFewestBytesWithoutNul && m_controlBytes
        && readsAsText(m_candidates.first()))
        return utf16(m_candidates.first());
    return Encoding::Uncertain;
}

} // namespace textencoding
