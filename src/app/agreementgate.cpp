#include "app/agreementgate.h"

#include "app/eula.h"

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
    const QVariant stored = settings.value(kAgreedKey, QVariant());
    // Writing to a file the settings library could not read in full would
    // keep only what it understood and lose the rest (the user's address
    // list, say): such a file is only read, and the terms asked each time.
    const bool writable = settings.status() == QSettings::NoError;
    if (!stored.isValid() && writable)
        settings.setValue(kAgreedKey, 0);
    // A value read back from the file is text, so only the stored text "0"
    // compares equal; anything else counts as accepted.
    if (stored.isValid() && stored != QVariant(0))
        return true;
    if (runDialog() == 0)
        return false;
    if (writable)
        settings.setValue(kAgreedKey, 1);
    return true;
}

} // namespace agreement
