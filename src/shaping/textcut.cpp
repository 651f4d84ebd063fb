#include "shaping/textcut.h"

namespace textcut {

QStringList splitLines(const QString &text)
{
    return text.split(QStringLiteral("\r\n"), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QStringList splitLinesLf(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString at(const QStringList &parts, int index)
{
    return index >= 0 && index < parts.size() ? parts.at(index) : QString();
}

QString dropFirst(const QString &text, int count)
{
    return count >= text.size() ? QString() : text.mid(count);
}

QString dropLast(const QString &text, int count)
{
    return count >= text.size() ? QString() : text.left(text.size() - count);
}

QString withoutCarriageReturns(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char('\r'));
    return result;
}

} // namespace textcut
