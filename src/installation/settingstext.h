#pragma once
// The settings file's bytes as text, and the same text back as bytes in the
// file's own encoding. A file is read only when it can be written back byte
// for byte: UTF-8 (with or without its byte-order mark), and UTF-16 or
// UTF-32 of either byte order with their byte-order mark, as Windows
// editors save "Unicode" files. Anything else is refused with the reason.

#include <QByteArray>
#include <QString>

namespace settingstext {

enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Utf32LittleEndian, Utf32BigEndian };

struct Decoded
{
    bool ok = false;
    QString text;
    Encoding encoding = Encoding::Utf8;
    QByteArray byteOrderMark; // as the file began, empty when it had none
    QString problem;          // why the bytes could not be read, when not ok
};

Decoded decode(const QByteArray &bytes);

// The text in the encoding of `as`, its byte-order mark first: for the text
// decode gave, the very bytes it was given.
QByteArray encode(const QString &text, const Decoded &as);

} // namespace settingstext
