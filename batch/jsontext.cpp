#include "jsontext.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace jsontext {

namespace {

// "text" with quotes, backslashes and control characters escaped, UTF-8;
// a number as JSON writes it.
QByteArray quoted(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // without the brackets
}

} // namespace

QByteArray object(const QVector<QPair<const char *, QJsonValue>> &members)
{
    QByteArray line = "{";
    for (const auto &member : members) {
        if (line.size() > 1)
            line += ',';
        line += quoted(QString::fromLatin1(member.first)) + ':' + quoted(member.second);
    }
    return line + '}';
}

} // namespace jsontext
