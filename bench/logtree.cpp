#include "logtree.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>

namespace logtree {

namespace {

constexpr qint64 kSmallest = 1024;
constexpr qint64 kLargest = 4 * 1024 * 1024;

const char *const kScenes[] = {"Harbor", "Atrium", "Canyon", "Foundry", "Orchard", "Skyline", "Glacier", "Bazaar"};
const char *const kPasses[] = {"GBuffer", "Shadows", "Lighting", "Volumetrics", "PostProcess", "UI", "Denoise"};
const char *const kHosts[] = {"assets-us", "cdn-us", "api-us", "nettest"};

template <typename T, size_t N>
const T &pick(const T (&items)[N], QRandomGenerator &random)
{
    return items[random.bounded(int(N))];
}

// One log line (or a short stack trace) in the host application's style.
int formatLine(char *buffer, size_t size, QRandomGenerator &random, qint64 clock)
{
    const qint64 seconds = clock / 1000;
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[2026.12.%02d-%02d.%02d.%02d:%03d][%3d]", int(1 + seconds / 86400 % 28),
                  int(seconds / 3600 % 24), int(seconds / 60 % 60), int(seconds % 60), int(clock % 1000),
                  random.bounded(1000));
    switch (random.bounded(12)) {
    case 0:
    case 1:
    case 2:
        return std::snprintf(buffer, size, "%sLogRender: Display: Frame %u rendered in %.2f ms (%u draw calls, %u triangles, pass %s)\r\n",
                             stamp, random.generate() % 900000, random.bounded(400.0), random.bounded(9000u),
                             random.generate() % 40000000, pick(kPasses, random));
    case 3:
        return std::snprintf(buffer, size, "%sLogShaderCache: Warning: Shader %08x%08x missing from the cache, compiled in %u ms\r\n",
                             stamp, random.generate(), random.generate(), random.bounded(3000u));
    case 4:
    case 5:
        return std::snprintf(buffer, size, "%sLogNet: Verbose: GET https://%s.tessaly-render.example/v2/asset/%08x -> %d (%u bytes, %u ms)\r\n",
                             stamp, pick(kHosts, random), random.generate(), random.bounded(50) == 0 ? 503 : 200,
                             random.bounded(5000000u), random.bounded(2500u));
    case 6:
        return std::snprintf(buffer, size, "%sLogMemory: Display: Used %.1f MB of %.1f MB, peak %.1f MB, %u allocations\r\n", stamp,
                             random.bounded(16000.0), 16384.0, random.bounded(16384.0), random.generate() % 10000000);
    case 7:
        return std::snprintf(buffer, size, "%sLogAssets: Display: Loaded /Game/Scenes/%s/%s_%03u.asset in %.3f s\r\n", stamp,
                             pick(kScenes, random), pick(kPasses, random), random.bounded(1000u), random.bounded(4.0));
    case 8:
        return std::snprintf(buffer, size, "%sLogTasks: Verbose: Worker %u waiting on fence %u (value %llu)\r\n", stamp,
                             random.bounded(32u), random.bounded(64u), static_cast<unsigned long long>(random.generate64() % 100000000));
    case 9:
        return std::snprintf(buffer, size, "%sLogD3D12RHI: Error: Device removed, reason 0x%08X (DXGI_ERROR_DEVICE_HUNG)\r\n"
                                           "    at TessalyRender.exe!RenderGraph::Execute() + 0x%x [D:\\build\\src\\Render\\Graph.cpp:%u]\r\n"
                                           "    at TessalyRender.exe!Scene::Draw() + 0x%x [D:\\build\\src\\Scene\\Scene.cpp:%u]\r\n",
                             stamp, 0x887A0000u + random.bounded(16u), random.bounded(0x4000u), random.bounded(3000u),
                             random.bounded(0x4000u), random.bounded(3000u));
    default:
        return std::snprintf(buffer, size, "%sLogInput: Verbose: Pointer at (%u, %u), buttons %u, scene %s\r\n", stamp,
                             random.bounded(3840u), random.bounded(2160u), random.bounded(8u), pick(kScenes, random));
    }
}

} // namespace

QByteArray logText(qint64 bytes, QRandomGenerator &random, qint64 &clock)
{
    QByteArray text;
    text.reserve(int(bytes));
    char line[512];
    while (text.size() < bytes) {
        clock += random.bounded(40);
        const int length = formatLine(line, sizeof line, random, clock);
        if (text.size() + length > bytes && !text.isEmpty())
            break;
        text.append(line, length);
    }
    return text;
}

Totals fill(const QString &folder, const QStringList &subFolders, qint64 bytes, quint32 seed)
{
    QRandomGenerator random(seed);
    qint64 clock = qint64(random.bounded(86400)) * 1000;
    Totals totals;
    const double low = std::log(double(kSmallest));
    const double high = std::log(double(kLargest));
    // The last file is cut to what is left; less than the smallest size is left unwritten.
    while (bytes - totals.bytes >= kSmallest) {
        const QString sub = subFolders.isEmpty() ? QString() : subFolders.at(random.bounded(subFolders.size()));
        const QString target = sub.isEmpty() ? folder : folder + QLatin1Char('/') + sub;
        QDir().mkpath(target);
        const qint64 wanted = qMin(qint64(std::exp(low + random.bounded(high - low))), bytes - totals.bytes);
        const QString stem = sub.isEmpty() ? QStringLiteral("TessalyRender") : sub.section(QLatin1Char('/'), -1);
        QFile file(QStringLiteral("%1/%2_%3.log").arg(target, stem).arg(totals.files, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            break;
        const QByteArray text = logText(wanted, random, clock);
        if (file.write(text) != text.size())
            break;
        totals.bytes += text.size();
        ++totals.files;
    }
    return totals;
}

} // namespace logtree
