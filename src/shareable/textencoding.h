#pragma once
// Which encoding an entry of the archive is in, for the shareable copy:
// cleaning a UTF-16 text byte by byte as if it were 8-bit would find none
// of the values in it, so what cannot be told with confidence is not
// cleaned at all but left out.
//
// - A byte-order mark decides: UTF-16 in its byte order (unless its code
//   units are no text), UTF-32 is left out.
// - NUL bytes in the first kSampleBytes: no text (a dump, an image, an
//   archive), unless they stand in the places UTF-16 puts them (every
//   other byte, the high byte of a Latin letter) and the code units read
//   as text: then UTF-16.
// - Otherwise 8-bit text (UTF-8 or a code page, as the console tools'
//   output that the reports copy byte for byte), unless the statistics of
//   UTF-16 code units show: the first bytes are no clean UTF-8, the bytes
//   in even and odd places are distributed differently, and the code units
//   of one byte order read as text; or NUL bytes later in the entry stand
//   as UTF-16's (Latin text after a passage in other letters). What holds
//   such signs without passing every test is Uncertain.

#include "shareable/utf16text.h"

#include <QByteArray>
#include <QVector>

#include <array>
#include <optional>

namespace textencoding {

enum class Encoding {
    NotText,   // binary: left out
    EightBit,  // UTF-8 or an 8-bit code page
    Utf16LE,
    Utf16BE,
    Uncertain, // may be UTF-16 or 8-bit, or is UTF-32: left out
};

// How much of the start of an entry the first judgement reads.
constexpr int kSampleBytes = 8000;

class Survey
{
public:
    // The entry's bytes, piece by piece, from its start.
    void feed(const char *data, qsizetype size);
    // Once the sample is read: whether the verdict is known whatever
    // follows (no text, UTF-32), so the rest of the entry need not be read.
    bool settled() const { return m_settled.has_value(); }
    // Once the sample is read: the byte orders the entry may be UTF-16 in
    // (to learn the names it shows read as UTF-16, before the verdict).
    const QVector<utf16text::ByteOrder> &candidates() const { return m_candidates; }
    bool sampleDone() const { return m_sampleDone; }
    // After the whole entry (or a settled sample) was fed.
    Encoding verdict();

private:
    // Code units of one byte order, counted as the entry comes.
    struct UnitCheck
    {
        explicit UnitCheck(utf16text::ByteOrder order) : order(order), codePoints(order) {}
        void feed(const char *data, qsizetype size);
        void finish();
        bool readsAsText(int perMille) const { return units > 0 && bad * 1000 <= units * perMille; }
        utf16text::ByteOrder order;
        utf16text::CodePoints codePoints;
        qint64 units = 0;
        qint64 bad = 0; // controls, unassigned, private use, a surrogate alone
        bool active = false;
    };
    enum class Start { Bom16, Nul, CleanEightBit, MostlyAscii, Other };

    void judgeSample();
    void countNuls(const char *data, qsizetype size);
    UnitCheck &check(utf16text::ByteOrder order);
    // The byte order the entry's NUL bytes point to, if they all stand in
    // one parity as UTF-16's high bytes do; false when they do not.
    bool nulOrder(const std::array<qint64, 2> &nuls, qint64 fewest, utf16text::ByteOrder *order) const;

    QByteArray m_sample;
    bool m_sampleDone = false;
    std::optional<Encoding> m_settled;
    bool m_finished = false;
    qint64 m_size = 0;
    std::array<qint64, 2> m_nuls{};       // in the whole entry, at even and odd offsets
    std::array<qint64, 2> m_sampleNuls{}; // in the sample
    Start m_start = Start::Other;
    double m_asymmetry = 0;               // of the sample's bytes in even and odd places, 0 to 1
    bool m_controlBytes = false;          // in the sample, that no 8-bit text holds
    QVector<utf16text::ByteOrder> m_candidates;
    UnitCheck m_little{utf16text::ByteOrder::LittleEndian};
    UnitCheck m_big{utf16text::ByteOrder::BigEndian};
};

} // namespace textencoding
