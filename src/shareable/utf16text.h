#pragma once
// UTF-16 text (either byte order) as UTF-8 and back, piece by piece, so
// that a UTF-16 entry is cleaned by the same byte scan as every other text
// and written back in its own encoding, byte order and byte-order mark
// included. The round trip gives back exactly the code units it was given:
// a surrogate without its partner is carried through in its three-byte
// form (as WTF-8 writes it), and a piece boundary may fall anywhere, even
// inside a code unit or between the two halves of a pair.

#include <QByteArray>
#include <QtGlobal>

namespace utf16text {

enum class ByteOrder { LittleEndian, BigEndian };

// The code points of UTF-16 bytes: a pair of surrogates makes one, a
// surrogate without its partner stands for itself.
class CodePoints
{
public:
    explicit CodePoints(ByteOrder order) : m_order(order) {}
    // Calls put(code point) for each code point data completes.
    template <typename Put>
    void feed(const char *data, qsizetype size, Put put)
    {
        qsizetype i = 0;
        if (m_oddByte >= 0 && size > 0) {
            unit(uint(m_oddByte), uchar(data[0]), put);
            m_oddByte = -1;
            i = 1;
        }
        for (; i + 1 < size; i += 2)
            unit(uchar(data[i]), uchar(data[i + 1]), put);
        if (i < size)
            m_oddByte = uchar(data[i]);
    }
    // Gives out a surrogate still waiting for its partner; returns the odd
    // last byte of a text of odd length (empty when there is none), which
    // is no code unit.
    template <typename Put>
    QByteArray finish(Put put)
    {
        if (m_highSurrogate != 0)
            put(m_highSurrogate);
        m_highSurrogate = 0;
        QByteArray odd;
        if (m_oddByte >= 0)
            odd.append(char(m_oddByte));
        m_oddByte = -1;
        return odd;
    }

private:
    template <typename Put>
    void unit(uint first, uint second, Put put)
    {
        const uint value = m_order == ByteOrder::LittleEndian ? (second << 8 | first) : (first << 8 | second);
        if (m_highSurrogate != 0) {
            const uint high = m_highSurrogate;
            m_highSurrogate = 0;
            if (value >= 0xdc00 && value <= 0xdfff) {
                put(0x10000 + ((high - 0xd800) << 10) + (value - 0xdc00));
                return;
            }
            put(high);
        }
        if (value >= 0xd800 && value <= 0xdbff)
            m_highSurrogate = value;
        else
            put(value);
    }

    ByteOrder m_order;
    int m_oddByte = -1;       // the first byte of a unit cut by a piece boundary
    uint m_highSurrogate = 0; // waiting for its partner
};

class Decoder
{
public:
    explicit Decoder(ByteOrder order) : m_codePoints(order) {}
    // Appends the UTF-8 of every code point data completes.
    void feed(const char *data, qsizetype size, QByteArray *out);
    // Appends what is still held; returns the odd last byte (CodePoints).
    QByteArray finish(QByteArray *out);

private:
    CodePoints m_codePoints;
};

class Encoder
{
public:
    explicit Encoder(ByteOrder order) : m_order(order) {}
    // Appends the UTF-16 of every character data completes. A byte that
    // begins no sequence (the Decoder writes none) is written as a unit of
    // its own value.
    void feed(const char *data, qsizetype size, QByteArray *out);
    // Writes a sequence the text ended in the middle of byte by byte.
    void finish(QByteArray *out);

private:
    void putUnit(uint unit, QByteArray *out) const;
    void putBytesAsUnits(QByteArray *out);
    ByteOrder m_order;
    QByteArray m_pending; // the bytes of a sequence cut by a piece boundary
};

} // namespace utf16text
