#pragma once
// One timed HTTP GET of the network diagnosis.

#include "network/serverendpoints.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// Requests baseUrl, or baseUrl + "/" + fileName when a file name is given,
// and returns the milliseconds until the whole answer has arrived, or -1
// when the request failed: no connection, any status but 200 (redirects
// are not followed), a broken transfer, no answer within timeoutMs, or a
// cancelled action. The peer's certificate is not verified.
int timedRequest(const QString &baseUrl, const QString &fileName,
                 int timeoutMs = serverendpoints::kDefaultTransferTimeoutMs);

// True when the body that arrived (receivedBytes, after any decoding) is
// the whole body the answer announced: its Content-Length, when it gave
// one. The network library now and then ends a transfer whose connection
// closed mid-body without an error, as it would an answer without a length,
// so the length is held against the bytes here. An encoded answer
// (Content-Encoding other than identity) announces the length of what was
// sent, not of what arrives decoded, and is taken as it ended.
bool wholeBody(qint64 receivedBytes, const QVariant &announcedLength, const QByteArray &contentEncoding);
