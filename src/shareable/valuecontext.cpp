#include "shareable/valuecontext.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace valuecontext {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

// Whether text[from, to) ends with the lower-case label, in any case.
bool endsWith(const char *text, qsizetype from, qsizetype to, const char *label)
{
    const qsizetype length = qsizetype(std::strlen(label));
    if (to - from < length)
        return false;
    for (qsizetype k = 0; k < length; ++k) {
        if (lower(text[to - length + k]) != label[k])
            return false;
    }
    return true;
}

// Steps back from pos over at most most bytes that are among separators.
qsizetype skipBack(const char *text, qsizetype floor, qsizetype pos, int most, const char *separators)
{
    qsizetype k = pos;
    while (k > floor && pos - k < most && std::strchr(separators, text[k - 1]) != nullptr && text[k - 1] != '\0')
        --k;
    return k;
}

} // namespace

bool followsVersionLabel(const char *text, qsizetype pos)
{
    const qsizetype floor = qMax<qsizetype>(0, pos - kLookbehind);
    const qsizetype wordEnd = skipBack(text, floor, pos, 3, " \t:=");
    qsizetype wordStart = wordEnd;
    while (wordStart > floor && isLetter(text[wordStart - 1]))
        --wordStart;
    if (endsWith(text, wordStart, wordEnd, "version"))
        return true;
    // "v" and "ver" only as words of their own: "srv10.1.2.3" is an address.
    const bool wholeWord = wordStart > floor || floor == 0;
    const qsizetype length = wordEnd - wordStart;
    return wholeWord && ((length == 1 && endsWith(text, wordStart, wordEnd, "v"))
                         || (length == 3 && endsWith(text, wordStart, wordEnd, "ver")));
}

bool followsHardwareLabel(const char *text, qsizetype pos)
{
    static const char *const kLabels[] = {"physical address", "mac address", "mac-address", "mac_address",
                                          "macaddress", "mac", "ether", "hwaddr", "lladdr"};
    const qsizetype floor = qMax<qsizetype>(0, pos - kLookbehind);
    const qsizetype labelEnd = skipBack(text, floor, pos, 40, " \t.:=\"'");
    for (const char *label : kLabels) {
        const qsizetype labelStart = labelEnd - qsizetype(std::strlen(label));
        if (labelStart >= floor && endsWith(text, floor, labelEnd, label)
            && (labelStart == 0 || (labelStart > floor && !isLetter(text[labelStart - 1]))))
            return true;
    }
    return false;
}

bool isScopeName(const char *text, qsizetype start, qsizetype end)
{
    const QByteArray form = QByteArray::fromRawData(text + start, int(end - start));
    return form.contains("::") && std::none_of(form.cbegin(), form.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace valuecontext
