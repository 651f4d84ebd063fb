#pragma once
// The one entry the tool writes to the settings file, "[AgreeLicense]
// agreed": what counts as consent, and recording a value so that every
// other byte of the file (its lines, comments, line ends, encoding and
// byte-order mark) stays as it was.

#include "installation/settingsfile.h"

#include <QByteArray>
#include <QString>

namespace agreemententry {

inline QString group() { return QStringLiteral("AgreeLicense"); }
inline QString key() { return QStringLiteral("agreed"); }

// Only an explicit yes: "1", "true" or "yes" in any case, blanks around
// ignored. "0", "false", "no", an empty value, anything else: not accepted.
bool isConsent(const QString &value);

// The file's bytes with the entry set to value: the line of the entry that
// counts changed, or, when there is none, the line added below the group's
// header, or the group appended at the end. contents must have been read
// (or be missing, for a file of this entry alone).
QByteArray withValue(const settingsfile::Contents &contents, const QString &value);

// Records value in the file at path that contents were read from. Never
// writes a file that could not be read faithfully, one that changed since,
// or through a link; the file is replaced whole (a temporary file renamed
// over it), so it is never left half written. False, with the reason, when
// nothing was written.
bool record(const QString &path, const settingsfile::Contents &contents, const QString &value, QString *problem);

} // namespace agreemententry
