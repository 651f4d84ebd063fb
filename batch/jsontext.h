#pragma once
// JSON objects of text (or number) values, one line each, with the keys in
// the order given. The values are escaped by Qt's JSON writer.

#include <QByteArray>
#include <QJsonValue>
#include <QPair>
#include <QVector>

namespace jsontext {

QByteArray object(const QVector<QPair<const char *, QJsonValue>> &members);

} // namespace jsontext
