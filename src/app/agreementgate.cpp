#include "app/agreementgate.h"

#include "app/eula.h"
#include "installation/agreemententry.h"
#include "installation/settingsfile.h"

namespace agreement {

int runTermsDialog()
{
    EULA dialog;
    return dialog.exec();
}

namespace {
std::optional<settingsgroups::Entry> entryOf(const settingsfile::Contents &contents)
{
    return settingsgroups::lastEntry(contents.text, agreemententry::group(), agreemententry::key());
}
} // namespace

bool consentRecorded(const QString &path)
{
    const auto entry = entryOf(settingsfile::read(path));
    return entry && agreemententry::isConsent(entry->value);
}

bool passGate(const QString &path, const DialogRunner &runDialog, QString *notRecorded)
{
    const settingsfile::Contents contents = settingsfile::read(path);
    const auto entry = entryOf(contents);
    if (entry && agreemententry::isConsent(entry->value))
        return true;

    const bool accepted = runDialog() != 0;
    // An entry the user wrote stays as it is after a refusal.
    if (accepted || !entry) {
        QString problem;
        if (!agreemententry::record(path, contents, accepted ? QStringLiteral("1") : QStringLiteral("0"), &problem)
            && notRecorded)
            *notRecorded = problem;
    }
    return accepted;
}

QString notRecordedNotice(const QString &reason)
{
    return QStringLiteral("%1 could not be written; the acceptance may not be kept: %2")
        .arg(settingsfile::name(), reason);
}

} // namespace agreement
