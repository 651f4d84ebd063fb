#pragma once
// The host application's servers that the network diagnosis times, in the
// order they are requested. Schemes and paths are fixed; the hosts are
// deployment values with built-in defaults that the settings file may
// override one by one in its group "serverHosts" (host or host:port), where
// the transfer time-out of a request can be set as well.

#include <QString>
#include <QVector>

namespace settingsfile {
struct Contents;
}

namespace serverendpoints {

enum class Test { Download, ApiQuery };

struct Endpoint
{
    Test test;
    QString scheme;
    QString defaultHost;
    QString basePath;
    QString hostKey; // its key in the group "serverHosts"
};

// The six endpoints in request order: four downloads, then two API queries.
const QVector<Endpoint> &all();

// The file each download test fetches below its base URL.
inline QString downloadFileName() { return QStringLiteral("response.json"); }

inline QString settingsGroup() { return QStringLiteral("serverHosts"); }
inline QString timeoutKey() { return QStringLiteral("transferTimeoutSeconds"); }
constexpr int kDefaultTransferTimeoutMs = 30 * 1000;

struct Target
{
    Test test;
    QString baseUrl; // scheme, "://", host and base path
};

struct Plan
{
    QVector<Target> targets; // in request order
    int transferTimeoutMs = kDefaultTransferTimeoutMs;
};

// The endpoints with the hosts and time-out the settings give, or the
// built-in ones where they give none (a missing file gives none at all).
Plan plan(const settingsfile::Contents &settings);

} // namespace serverendpoints
