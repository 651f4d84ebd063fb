#include "commands.h"
#include "console.h"

namespace powershell {

int printFirewallProfiles() { return standin::notAnswered(QStringLiteral("printFirewallProfiles")); }
int printFirewallRules() { return standin::notAnswered(QStringLiteral("printFirewallRules")); }

} // namespace powershell
