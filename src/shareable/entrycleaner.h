#pragma once
// Cleaning one text in its own encoding, piece by piece: 8-bit text (UTF-8
// or a code page) goes through the scrubber as it is; UTF-16 is read as
// UTF-8, cleaned, and written back as UTF-16 in its byte order, its
// byte-order mark included (utf16text), so a piece may end anywhere, even
// inside a code unit. The stand-ins are ASCII and replace whole characters,
// so every code unit that is no value comes out as it came in.

#include "shareable/textencoding.h"
#include "shareable/textscrubber.h"
#include "shareable/utf16text.h"

#include <QByteArray>

#include <optional>

namespace shareable {

class EntryCleaner
{
public:
    // encoding is EightBit, Utf16LE or Utf16BE. The scrubber must outlive it.
    EntryCleaner(TextScrubber &scrubber, textencoding::Encoding encoding);
    void feed(const char *data, qsizetype size, QByteArray *out);
    void finish(QByteArray *out);

private:
    TextScrubber::Stream m_stream;
    std::optional<utf16text::Decoder> m_decoder;
    std::optional<utf16text::Encoder> m_encoder;
    QByteArray m_text;    // the piece as UTF-8
    QByteArray m_cleaned; // and cleaned
};

} // namespace shareable
