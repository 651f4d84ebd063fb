#include "shareable/utf16text.h"

namespace utf16text {

namespace {

// The length of the sequence a lead byte begins, 0 for a byte that begins none.
int sequenceLength(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc0 && lead < 0xe0)
        return 2;
    if (lead >= 0xe0 && lead < 0xf0)
        return 3;
    if (lead >= 0xf0 && lead < 0xf8)
        return 4;
    return 0;
}

void appendUtf8(uint code, QByteArray *out)
{
    if (code < 0x80) {
        out->append(char(code));
    } else if (code < 0x800) {
        out->append(char(0xc0 | (code >> 6)));
        out->append(char(0x80 | (code & 0x3f)));
    } else if (code < 0x10000) {
        out->append(char(0xe0 | (code >> 12)));
        out->append(char(0x80 | ((code >> 6) & 0x3f)));
        out->append(char(0x80 | (code & 0x3f)));
    } else {
        out->append(char(0xf0 | (code >> 18)));
        out->append(char(0x80 | ((code >> 12) & 0x3f)));
        out->append(char(0x80 | ((code >> 6) & 0x3f)));
        out->append(char(0x80 | (code & 0x3f)));
    }
}

} // namespace

void Decoder::feed(const char *data, qsizetype size, QByteArray *out)
{
    m_codePoints.feed(data, size, [out](uint code) { appendUtf8(code, out); });
}

QByteArray Decoder::finish(QByteArray *out)
{
    return m_codePoints.finish([out](uint code) { appendUtf8(code, out); });
}

void Encoder::putUnit(uint unit, QByteArray *out) const
{
    const char high = char(unit >> 8);
    const char low = char(unit & 0xff);
    if (m_order == ByteOrder::LittleEndian) {
        out->append(low);
        out->append(high);
    } else {
        out->append(high);
        out->append(low);
    }
}

void Encoder::putBytesAsUnits(QByteArray *out)
{
    for (const char byte : qAsConst(m_pending))
        putUnit(uchar(byte), out);
    m_pending.clear();
}

void Encoder::feed(const char *data, qsizetype size, QByteArray *out)
{
    for (qsizetype i = 0; i < size; ++i) {
        const uchar byte = uchar(data[i]);
        if (m_pending.isEmpty()) {
            if (byte < 0x80) {
                putUnit(byte, out);
                continue;
            }
            m_pending.append(char(byte));
            if (sequenceLength(byte) == 0)
                putBytesAsUnits(out);
            continue;
        }
        if ((byte & 0xc0) != 0x80) {
            // The sequence broke off: its bytes as they were, then this one anew.
            putBytesAsUnits(out);
            --i;
            continue;
        }
        m_pending.append(char(byte));
        const int length = sequenceLength(uchar(m_pending.at(0)));
        if (m_pending.size() < length)
            continue;
        uint code = uchar(m_pending.at(0)) & (0xff >> (length + 1));
        for (int k = 1; k < length; ++k)
            code = code << 6 | (uchar(m_pending.at(k)) & 0x3f);
        if (code > 0x10ffff) {
            putBytesAsUnits(out);
            continue;
        }
        m_pending.clear();
        if (code >= 0x10000) {
            code -= 0x10000;
            putUnit(0xd800 + (code >> 10), out);
            putUnit(0xdc00 + (code & 0x3ff), out);
        } else {
            putUnit(code, out); // a surrogate alone included
        }
    }
}

void Encoder::finish(QByteArray *out) { putBytesAsUnits(out); }

} // namespace utf16text
