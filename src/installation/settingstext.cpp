#include "installation/settingstext.h"

#include <QTextCodec>

#include <array>

namespace settingstext {

namespace {

struct Mark
{
    QByteArray bytes;
    Encoding encoding;
};

// The longer marks first: UTF-32 LE begins as UTF-16 LE does.
const std::array<Mark, 5> &marks()
{
    static const std::array<Mark, 5> all{{
        {QByteArray("\xFF\xFE\x00\x00", 4), Encoding::Utf32LittleEndian},
        {QByteArray("\x00\x00\xFE\xFF", 4), Encoding::Utf32BigEndian},
        {QByteArray("\xEF\xBB\xBF", 3), Encoding::Utf8},
        {QByteArray("\xFF\xFE", 2), Encoding::Utf16LittleEndian},
        {QByteArray("\xFE\xFF", 2), Encoding::Utf16BigEndian},
    }};
    return all;
}

int unitSize(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8: return 1;
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian: return 2;
    default: return 4;
    }
}

bool littleEndian(Encoding encoding)
{
    return encoding == Encoding::Utf16LittleEndian || encoding == Encoding::Utf32LittleEndian;
}

// Code units of size bytes each, in the given byte order.
quint32 unitAt(const QByteArray &bytes, int index, int size, bool little)
{
    quint32 unit = 0;
    for (int i = 0; i < size; ++i) {
        const quint32 byte = quint8(bytes.at(index * size + (little ? size - 1 - i : i)));
        unit = (unit << 8) | byte;
    }
    return unit;
}

void appendUnit(QByteArray &bytes, quint32 unit, int size, bool little)
{
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (little ? i : size - 1 - i);
        bytes.append(char((unit >> shift) & 0xFF));
    }
}

QString decodeWide(const QByteArray &body, Encoding encoding)
{
    const int size = unitSize(encoding);
    const bool little = littleEndian(encoding);
    QString text;
    text.reserve(body.size() / size);
    for (int i = 0; i < body.size() / size; ++i) {
        const quint32 unit = unitAt(body, i, size, little);
        if (size == 2)
            text.append(QChar(ushort(unit)));
        else if (QChar::requiresSurrogates(unit))
            text.append(QChar(QChar::highSurrogate(unit))).append(QChar(QChar::lowSurrogate(unit)));
        else
            text.append(QChar(ushort(unit)));
    }
    return text;
}

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::Utf16LittleEndian: return QStringLiteral("UTF-16 LE");
    case Encoding::Utf16BigEndian: return QStringLiteral("UTF-16 BE");
    case Encoding::Utf32LittleEndian: return QStringLiteral("UTF-32 LE");
    case Encoding::Utf32BigEndian: return QStringLiteral("UTF-32 BE");
    default: return QStringLiteral("8-bit");
    }
}

// The codec that reads bytes (not UTF-8, no NUL) and gives them back as they
// were: the system's 8-bit code page if it does, else Latin-1, which always does.
QTextCodec *eightBitCodecFor(const QByteArray &bytes)
{
    QTextCodec *system = QTextCodec::codecForLocale();
    if (system && system->mibEnum() != 106) { // 106: UTF-8, which these bytes are not
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QString text = system->toUnicode(bytes.constData(), bytes.size(), &state);
        if (state.invalidChars == 0 && state.remainingChars == 0 && system->fromUnicode(text) == bytes)
            return system;
    }
    return QTextCodec::codecForName("ISO-8859-1");
}

} // namespace

QByteArray encode(const QString &text, const Decoded &as)
{
    QByteArray bytes = as.byteOrderMark;
    if (as.encoding == Encoding::EightBit)
        return bytes + as.eightBitCodec->fromUnicode(text);
    if (as.encoding == Encoding::Utf8)
        return bytes + text.toUtf8();
    const int size = unitSize(as.encoding);
    const bool little = littleEndian(as.encoding);
    if (size == 2) {
        for (const QChar c : text)
            appendUnit(bytes, c.unicode(), size, little);
    } else {
        for (const uint codePoint : text.toUcs4())
            appendUnit(bytes, codePoint, size, little);
    }
    return bytes;
}

Decoded decode(const QByteArray &bytes)
{
    Decoded decoded;
    for (const Mark &mark : marks()) {
        if (bytes.startsWith(mark.bytes)) {
            decoded.encoding = mark.encoding;
            decoded.byteOrderMark = mark.bytes;
            break;
        }
    }
    const QByteArray body = bytes.mid(decoded.byteOrderMark.size());
    if (decoded.encoding == Encoding::Utf8) {
        // A NUL is no character of a text file: such bytes are UTF-16 or
        // UTF-32 without their mark, or no text at all.
        if (body.contains('\0')) {
            decoded.problem = QStringLiteral("it holds NUL bytes, so it is no text, or UTF-16 or UTF-32 without "
                                             "a byte-order mark");
            return decoded;
        }
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader); // a second mark stays text
        decoded.text = QTextCodec::codecForName("UTF-8")->toUnicode(body.constData(), body.size(), &state);
        if (state.invalidChars > 0 || state.remainingChars > 0) {
            if (!decoded.byteOrderMark.isEmpty()) {
                decoded.problem = QStringLiteral("it begins as UTF-8 but holds bytes that are not valid UTF-8");
                return decoded;
            }
            // Not UTF-8, no mark: an "ANSI" file of a Windows editor.
            decoded.encoding = Encoding::EightBit;
            decoded.eightBitCodec = eightBitCodecFor(body);
            decoded.text = decoded.eightBitCodec->toUnicode(body);
        }
    } else if (body.size() % unitSize(decoded.encoding) != 0) {
        decoded.problem = QStringLiteral("it begins as %1 but its length is no whole number of characters")
                              .arg(encodingName(decoded.encoding));
        return decoded;
    } else {
        decoded.text = decodeWide(body, decoded.encoding);
    }
    // Unpaired surrogates, code points past Unicode and the like do not come
    // back as they were: such a file cannot be rewritten faithfully.
    if (encode(decoded.text, decoded) != bytes) {
        decoded.problem = QStringLiteral("it holds bytes that are not valid %1").arg(encodingName(decoded.encoding));
        return decoded;
    }
    decoded.ok = true;
    return decoded;
}

} // namespace settingstext
