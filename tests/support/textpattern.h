#pragma once
// An expected text made of literal pieces and of parts known only loosely
// (a number of milliseconds, a short text a check found on this machine),
// matched against a whole text.

#include <QString>

namespace testsupport {

class TextPattern
{
public:
    TextPattern &literal(const QString &text);
    // One or more decimal digits.
    TextPattern &number();
    // text, or nothing in its place.
    TextPattern &optional(const QString &text);
    // Any text of at most maxLength characters, line feeds included.
    TextPattern &anyUpTo(int maxLength);

    bool matches(const QString &text) const;
    // The pattern as a regular expression, for failure messages.
    const QString &expression() const { return m_expression; }

private:
    QString m_expression;
};

} // namespace testsupport
