#include "shaping/softwareshaping.h"

#include "shaping/textcut.h"

#include <algorithm>
#include <iterator>

namespace softwareshaping {

namespace {
// Outputs shorter than this hold no entry worth reporting (an empty line or
// two at most).
constexpr int kMinimalEntryLength = 5;
// A rules listing shorter than this holds no rule.
constexpr int kMinimalRulesLength = 10;
// Characters the rules cmdlet prints after its last rule.
constexpr int kRulesTrailerLength = 3;
} // namespace

ShapedCheck systemUpdates(const QString &output)
{
    QString text = textcut::withoutCarriageReturns(output);
    text.remove(QLatin1Char(' '));
    return {text,
            {{313,
              QStringLiteral("CHECKING SYSTEM UPDATE VERSION INFORMATION......\n") + text + records::bareSeparator()}}};
}

records::CheckRecord firewallHeading() { return {366, QStringLiteral("CHECKING FIREWALL INFORMATION......")}; }

ShapedCheck firewallConfiguration(const QString &output)
{
    const QString text = textcut::withoutCarriageReturns(output);
    if (text.size() >= kMinimalEntryLength)
        return {text, {{373, QStringLiteral("Firewall Configuration: ") + text}}};
    return {text, {{371, QStringLiteral("There is no firewall configuration")}}};
}

ShapedCheck firewallRules(const QString &output)
{
    const QString text = textcut::dropLast(textcut::withoutCarriageReturns(output), kRulesTrailerLength);
    if (text.size() >= kMinimalRulesLength)
        return {text, {{384, QStringLiteral("Tessaly related firewall rules: \n") + text + records::shortSeparator()}}};
    return {text, {{381, QStringLiteral("There is no Tessaly related firewall rules\n") + records::separator()}}};
}

records::CheckRecord networkHeading() { return {435, QStringLiteral("CHECKING NETWORK INFORMATION......")}; }

ShapedCheck networkStatus(const QString &output)
{
    const QString text = textcut::dropFirst(textcut::withoutCarriageReturns(output), 1);
    return {text, {{441, QStringLiteral("Network Status: \n") + text}}};
}

ShapedCheck vpnConnections(const QString &output)
{
    const QString text = textcut::withoutCarriageReturns(output);
    if (text.size() >= kMinimalEntryLength)
        return {text, {{451, QStringLiteral("VPN Info: \n") + text + records::separator()}}};
    return {text, {{448, QStringLiteral("There is no VPN Configuration") + records::separator()}}};
}

ShapedCheck conflictingProcesses(const QString &output)
{
    const QString text = textcut::withoutCarriageReturns(output);
    const records::CheckRecord heading{464, QStringLiteral("CHECKING PROCESS INFORMATION......\n")};
    if (text.size() >= kMinimalEntryLength) {
        return {text,
                {heading,
                 {468, QStringLiteral("\n**NOTICE: wwbizsrv is a background process of Ali Wang Wang**") +
                           QStringLiteral("\n**Process which starts with GPP is GamePP related process**\n") + text +
                           records::bareSeparator()}}};
    }
    return {text, {heading, {466, QStringLiteral("There is no conflicting software running..")}}};
}

QVector<records::CheckRecord> withoutNoneClaims(const QVector<records::CheckRecord> &shaped)
{
    static const int noneClaims[] = {371, 381, 448, 466};
    QVector<records::CheckRecord> kept;
    for (const records::CheckRecord &record : shaped) {
        if (std::find(std::begin(noneClaims), std::end(noneClaims), record.line) == std::end(noneClaims))
            kept << record;
        else if (record.text.endsWith(records::separator()))
            kept << records::CheckRecord{record.line, records::separator()};
    }
    return kept;
}

} // namespace softwareshaping
