#include "agreementgate.h"

#include "eula.h"

namespace agreement {

namespace {
const QString kAgreedKey = QStringLiteral("AgreeLicense/agreed");
}

int runTermsDialog()
{
    EULA dialog;
    return dialog.exec();
}

bool passGate(QSettings &settings, const DialogRunner &runDialog)
{
    if (!settings.contains(kAgreedKey))
        settings.setValue(kAgreedKey, 0);
    // A value read back from the file is text, so only the stored text "0"
    // compares equal; anything else counts as accepted.
    if (settings.value(kAgreedKey, QVariant()) != QVariant(0))
        return true;
    if (runDialog() == 0)
        return false;
    settings.setValue(kAgreedKey, 1);
    return true;
}

} // namespace agreement
