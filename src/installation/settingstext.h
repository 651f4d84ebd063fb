#pragma once
// The settings file's bytes as text, and the same text back as bytes in the
// file's own encoding. A file is read only when it can be written back byte
// for byte: UTF-8 (with or without its byte-order mark), UTF-16 or UTF-32
// of either byte order with their byte-order mark, as Windows editors save
// "Unicode" files, and any other file without NUL bytes, taken to be in an
// 8-bit code page, as Windows editors long saved "ANSI" files. Anything
// else is refused with the reason.

#include <QByteArray>
#include <QString>

class QTextCodec;

namespace settingstext {

enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Utf32LittleEndian, Utf32BigEndian, EightBit };

struct Decoded
{
    bool ok = false;
    QString text;
    Encoding encoding = Encoding::Utf8;
    QByteArray byteOrderMark; // as the file began, empty when it had none
    // For EightBit: the system's 8-bit code page when it reads the bytes
    // and gives them back unchanged (on Windows the "ANSI" code page the
    // file was most likely saved in), otherwise Latin-1, which maps each
    // byte to one character and back. Either way ASCII reads as ASCII, so
    // the groups, keys and values the tool uses do, and the other bytes
    // come back exactly as they were.
    QTextCodec *eightBitCodec = nullptr;
    QString problem;          // why the bytes could not be read, when not ok
};

Decoded decode(const QByteArray &bytes);

// The text in the encoding of `as`, its byte-order mark first: for the text
// decode gave, the very bytes it was given.
QByteArray encode(const QString &text, const Decoded &as);

} // namespace settingstext
