#pragma once
// The map file of the shareable copy: which real value each stand-in
// replaced. It stays in the installation folder and never goes into the
// copy: whoever holds it can undo the cleaning.

#include "shareable/pseudonyms.h"

#include <QString>
#include <QVector>

namespace shareablemap {

// One line a replacement, tab-separated: stand-in, kind, real value.
QString text(const QVector<shareable::Replacement> &replacements);

// Replaces the file at path with text (UTF-8) through a temporary file
// beside it; a link or pipe under the name is removed first rather than
// written through. False, with the reason, when it cannot be written; the
// file at path is then as it was.
bool write(const QString &path, const QString &text, QString *problem);

} // namespace shareablemap
