#include "shaping/graphicsshaping.h"

#include "shaping/textcut.h"

namespace graphicsshaping {

namespace {
constexpr int kRaytracingTier1_0 = 10; // D3D12_RAYTRACING_TIER_1_0
}

ShapedCheck tdrValues(const QString &output)
{
    const QStringList lines = textcut::splitLines(output);
    const QString text = QStringLiteral("TdrDelay: ") + textcut::at(lines, 0) + QStringLiteral("\nTdrDdiDelay: ")
                       + textcut::at(lines, 1);
    return {text, {{324, QStringLiteral("CHECKING GRAPHIC DRIVER TDR INFORMATION......\n") + text + records::separator()}}};
}

QVector<records::CheckRecord> d3d12Records(const d3d12probe::Facts &facts)
{
    QVector<records::CheckRecord> result{{483, QStringLiteral("CHECKING D3D12......")}};
    if (facts.creationResult < 0) {
        result.append({486, QStringLiteral("D3D_FEATURE_LEVEL_12_0 not support")});
        return result;
    }
    result.append({489, QStringLiteral("D3D_FEATURE_LEVEL_12_0 support")});
    if (facts.queryResult >= 0 && facts.raytracingTier >= kRaytracingTier1_0)
        result.append({495, QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 support") + records::separator()});
    else
        result.append({499, QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 not support") + records::separator()});
    return result;
}

} // namespace graphicsshaping
