#include "supportzip/directoryclaim.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>

namespace directoryclaim {

namespace {

// The end record: signature, then the entry count at 10 (16 bits) and the
// directory size at 12 (32 bits); a comment of up to 65535 bytes may follow.
constexpr int kEndSize = 22;
constexpr int kLongestComment = 65535;
// The zip64 locator stands right before it: signature, then the zip64 end
// record's offset at 8; that record holds the count at 32 and the size at 40.
constexpr int kLocatorSize = 20;
constexpr int kZip64EndSize = 56;

quint64 littleEndian(const QByteArray &bytes, int at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | uchar(bytes.at(at + i));
    return value;
}

} // namespace

std::optional<Claim> of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 tailStart = std::max<qint64>(0, file.size() - kEndSize - kLongestComment);
    if (!file.seek(tailStart))
        return std::nullopt;
    const QByteArray tail = file.read(kEndSize + kLongestComment);
    std::optional<Claim> claim;
    for (int at = tail.lastIndexOf("PK\x05\x06"); at >= 0; at = at > 0 ? tail.lastIndexOf("PK\x05\x06", at - 1) : -1) {
        if (at + kEndSize > tail.size())
            continue;
        Claim found{littleEndian(tail, at + 10, 2), littleEndian(tail, at + 12, 4)};
        if (at >= kLocatorSize && tail.mid(at - kLocatorSize, 4) == "PK\x06\x07") {
            const quint64 offset = littleEndian(tail, at - kLocatorSize + 8, 8);
            QByteArray zip64;
            if (offset < quint64(file.size()) && file.seek(qint64(offset)))
                zip64 = file.read(kZip64EndSize);
            if (zip64.size() == kZip64EndSize && zip64.startsWith("PK\x06\x06")) {
                found.entries = std::max(found.entries, littleEndian(zip64, 32, 8));
                found.bytes = std::max(found.bytes, littleEndian(zip64, 40, 8));
            }
        }
        if (!claim)
            claim = found;
        claim->entries = std::max(claim->entries, found.entries);
        claim->bytes = std::max(claim->bytes, found.bytes);
    }
    return claim;
}

} // namespace directoryclaim
