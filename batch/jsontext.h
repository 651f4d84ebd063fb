#pragma once
// JSON objects of text values, one line each, with the keys in the order
// given. The values are escaped by Qt's JSON writer.

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

namespace jsontext {

QByteArray object(const QVector<QPair<const char *, QString>> &members);

} // namespace jsontext
