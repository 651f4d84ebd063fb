#include "shareable/addresstext.h"

namespace addresstext {

namespace {

int hexValue(char c)
{
    if (c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

constexpr int kMostHardwarePairs = 20;
constexpr int kFewestHardwarePairs = 6;

} // namespace

bool readIpv4(const char *text, qsizetype size, qsizetype pos, quint32 *address, qsizetype *end)
{
    quint32 value = 0;
    qsizetype i = pos;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= size || text[i] != '.')
                return false;
            ++i;
        }
        int digits = 0;
        int number = 0;
        while (i < size && digits < 3 && isDigit(text[i])) {
            number = number * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || number > 255)
            return false;
        value = value << 8 | quint32(number);
    }
    if (i < size && isDigit(text[i]))
        return false;
    if (i + 1 < size && text[i] == '.' && isDigit(text[i + 1]))
        return false;
    *address = value;
    *end = i;
    return true;
}

bool parseIpv6(const char *text, qsizetype length, Ipv6Groups *groups)
{
    quint16 parts[8];
    int count = 0;
    int gap = -1; // how many groups stand before the "::"
    qsizetype i = 0;
    if (length >= 2 && text[0] == ':' && text[1] == ':') {
        gap = 0;
        i = 2;
    } else if (length == 0 || text[0] == ':') {
        return false;
    }
    while (i < length) {
        const qsizetype start = i;
        int digits = 0;
        int value = 0;
        while (i < length && digits < 5 && isHexDigit(text[i])) {
            value = value * 16 + hexValue(text[i]);
            ++i;
            ++digits;
        }
        if (i < length && text[i] == '.') {
            // The IPv4 tail ends the address.
            quint32 tail = 0;
            qsizetype tailEnd = 0;
            if (count > 6 || !readIpv4(text, length, start, &tail, &tailEnd) || tailEnd != length)
                return false;
            parts[count++] = quint16(tail >> 16);
            parts[count++] = quint16(tail & 0xffff);
            break;
        }
        if (digits == 0 || digits > 4 || count == 8)
            return false;
        parts[count++] = quint16(value);
        if (i == length)
            break;
        if (text[i] != ':')
            return false;
        ++i;
        if (i < length && text[i] == ':') {
            if (gap >= 0)
                return false;
            gap = count;
            ++i;
        } else if (i == length) {
            return false; // a single colon at the end
        }
    }
    if (gap < 0 ? count != 8 : count > 7)
        return false;
    groups->fill(0);
    const int tailStart = gap < 0 ? count : gap;
    for (int k = 0; k < tailStart; ++k)
        (*groups)[size_t(k)] = parts[k];
    for (int k = tailStart; k < count; ++k)
        (*groups)[size_t(8 - (count - k))] = parts[k];
    return true;
}

int readHardwareRun(const char *text, qsizetype size, qsizetype pos, qsizetype *end)
{
    if (pos + 2 >= size)
        return 0;
    const char separator = text[pos + 2];
    if (separator != '-' && separator != ':')
        return 0;
    int pairs = 0;
    qsizetype i = pos;
    for (;;) {
        if (i + 1 >= size || !isHexDigit(text[i]) || !isHexDigit(text[i + 1]))
            return 0;
        i += 2;
        if (++pairs > kMostHardwarePairs || (i < size && isHexDigit(text[i])))
            return 0;
        if (i + 1 < size && text[i] == separator && isHexDigit(text[i + 1])) {
            ++i;
            continue;
        }
        break;
    }
    if (pairs < kFewestHardwarePairs)
        return 0;
    *end = i;
    return pairs;
}

bool readDottedHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end)
{
    constexpr int kGroups = 3;
    constexpr int kGroupDigits = 4;
    qsizetype i = pos;
    for (int group = 0; group < kGroups; ++group) {
        if (group > 0 && (i >= size || text[i++] != '.'))
            return false;
        for (int digit = 0; digit < kGroupDigits; ++digit, ++i) {
            if (i >= size || !isHexDigit(text[i]))
                return false;
        }
    }
    if ((i < size && isHexDigit(text[i])) || (i + 1 < size && text[i] == '.' && isHexDigit(text[i + 1])))
        return false;
    *end = i;
    return true;
}

bool readBareHardware(const char *text, qsizetype size, qsizetype pos, qsizetype *end)
{
    constexpr int kDigits = 12;
    if (pos + kDigits > size)
        return false;
    for (qsizetype i = pos; i < pos + kDigits; ++i) {
        if (!isHexDigit(text[i]))
            return false;
    }
    if (pos + kDigits < size && isHexDigit(text[pos + kDigits]))
        return false;
    *end = pos + kDigits;
    return true;
}

bool isAddress(const QString &text)
{
    const QByteArray bytes = text.section(QLatin1Char('%'), 0, 0).toLatin1();
    quint32 ipv4 = 0;
    qsizetype end = 0;
    Ipv6Groups ipv6;
    return (readIpv4(bytes.constData(), bytes.size(), 0, &ipv4, &end) && end == bytes.size())
        || parseIpv6(bytes.constData(), bytes.size(), &ipv6);
}

QByteArray ipv4Text(quint32 address)
{
    return QByteArray::number(address >> 24) + '.' + QByteArray::number((address >> 16) & 0xff) + '.'
        + QByteArray::number((address >> 8) & 0xff) + '.' + QByteArray::number(address & 0xff);
}

QByteArray ipv6Text(const Ipv6Groups &groups)
{
    int bestStart = -1;
    int bestLength = 1;
    for (int start = 0; start < 8;) {
        int length = 0;
        while (start + length < 8 && groups[size_t(start + length)] == 0)
            ++length;
        if (length > bestLength) {
            bestStart = start;
            bestLength = length;
        }
        start += qMax(length, 1);
    }
    QByteArray text;
    for (int k = 0; k < 8; ++k) {
        if (k == bestStart) {
            text += "::";
            k += bestLength - 1;
            continue;
        }
        if (!text.isEmpty() && !text.endsWith(':'))
            text += ':';
        text += QByteArray::number(groups[size_t(k)], 16);
    }
    return text;
}

} // namespace addresstext
