#include "network/serverendpoints.h"

#include "installation/settingsfile.h"

#include <algorithm>
#include <climits>

namespace serverendpoints {

const QVector<Endpoint> &all()
{
    // The object-storage bucket is one host reached over both schemes; each
    // still has a key of its own so a deployment can split them.
    static const QString bucketHost = QStringLiteral("tessaly-render-test.storage-us-west.example");
    static const QVector<Endpoint> endpoints{
        {Test::Download, QStringLiteral("http"), QStringLiteral("cdn-us.tessaly-render.example"),
         QStringLiteral("/test/"), QStringLiteral("cdnDownload")},
        {Test::Download, QStringLiteral("https"), QStringLiteral("assets-us.tessaly-render.example"),
         QStringLiteral("/test/"), QStringLiteral("assetDownload")},
        {Test::Download, QStringLiteral("https"), bucketHost, QStringLiteral("/test"),
         QStringLiteral("bucketDownloadHttps")},
        {Test::Download, QStringLiteral("http"), bucketHost, QStringLiteral("/test"),
         QStringLiteral("bucketDownloadHttp")},
        {Test::ApiQuery, QStringLiteral("https"), QStringLiteral("api-us.tessaly-render.example"),
         QStringLiteral("/tessaly-admin/network/test"), QStringLiteral("apiQuery")},
        {Test::ApiQuery, QStringLiteral("http"), QStringLiteral("nettest.tessaly-render.example"),
         QStringLiteral("/network/test"), QStringLiteral("networkTestQuery")},
    };
    return endpoints;
}

Plan plan(const settingsfile::Contents &settings)
{
    Plan result;
    for (const Endpoint &endpoint : all()) {
        const QString host = settings.value(settingsGroup(), endpoint.hostKey).trimmed();
        result.targets.append({endpoint.test, endpoint.scheme + QStringLiteral("://")
                                                  + (host.isEmpty() ? endpoint.defaultHost : host)
                                                  + endpoint.basePath});
    }
    bool valid = false;
    const double seconds = settings.value(settingsGroup(), timeoutKey()).trimmed().toDouble(&valid);
    if (valid && seconds > 0 && seconds * 1000 < INT_MAX)
        result.transferTimeoutMs = std::max(1, int(seconds * 1000));
    return result;
}

} // namespace serverendpoints
