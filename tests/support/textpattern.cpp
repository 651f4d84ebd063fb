#include "textpattern.h"

#include <QRegularExpression>

namespace testsupport {

TextPattern &TextPattern::literal(const QString &text)
{
    m_expression += QRegularExpression::escape(text);
    return *this;
}

TextPattern &TextPattern::number()
{
    m_expression += QStringLiteral("\\d+");
    return *this;
}

TextPattern &TextPattern::optional(const QString &text)
{
    m_expression += QStringLiteral("(?:%1)?").arg(QRegularExpression::escape(text));
    return *this;
}

TextPattern &TextPattern::anyUpTo(int maxLength)
{
    m_expression += QStringLiteral(".{0,%1}").arg(maxLength);
    return *this;
}

bool TextPattern::matches(const QString &text) const
{
    const QRegularExpression whole(QRegularExpression::anchoredPattern(m_expression),
                                   QRegularExpression::DotMatchesEverythingOption);
    return whole.match(text).hasMatch();
}

} // namespace testsupport
