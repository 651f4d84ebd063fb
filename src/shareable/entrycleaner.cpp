#include "shareable/entrycleaner.h"

namespace shareable {

EntryCleaner::EntryCleaner(TextScrubber &scrubber, textencoding::Encoding encoding) : m_stream(scrubber)
{
    if (encoding == textencoding::Encoding::Utf16LE || encoding == textencoding::Encoding::Utf16BE) {
        const utf16text::ByteOrder order = encoding == textencoding::Encoding::Utf16LE
            ? utf16text::ByteOrder::LittleEndian
            : utf16text::ByteOrder::BigEndian;
        m_decoder.emplace(order);
        m_encoder.emplace(order);
    }
}

void EntryCleaner::feed(const char *data, qsizetype size, QByteArray *out)
{
    if (!m_decoder) {
        m_stream.feed(data, size, out);
        return;
    }
    m_text.clear();
    m_cleaned.clear();
    m_decoder->feed(data, size, &m_text);
    m_stream.feed(m_text.constData(), m_text.size(), &m_cleaned);
    m_encoder->feed(m_cleaned.constData(), m_cleaned.size(), out);
}

void EntryCleaner::finish(QByteArray *out)
{
    if (!m_decoder) {
        m_stream.finish(out);
        return;
    }
    m_text.clear();
    m_cleaned.clear();
    const QByteArray oddByte = m_decoder->finish(&m_text);
    m_stream.feed(m_text.constData(), m_text.size(), &m_cleaned);
    m_stream.finish(&m_cleaned);
    m_encoder->feed(m_cleaned.constData(), m_cleaned.size(), out);
    m_encoder->finish(out);
    out->append(oddByte);
}

} // namespace shareable
