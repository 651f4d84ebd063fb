#pragma once
// One timed HTTP GET of the network diagnosis.

#include "network/serverendpoints.h"

#include <QString>

// Requests baseUrl, or baseUrl + "/" + fileName when a file name is given,
// and returns the milliseconds until the whole answer has arrived, or -1
// when the request failed: no connection, any status but 200 (redirects
// are not followed), a broken transfer, no answer within timeoutMs, or a
// cancelled action. The peer's certificate is not verified.
int timedRequest(const QString &baseUrl, const QString &fileName,
                 int timeoutMs = serverendpoints::kDefaultTransferTimeoutMs);
