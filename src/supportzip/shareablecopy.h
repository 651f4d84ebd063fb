#pragma once
// The shareable copy of the archive: zziplog_shareable.zip beside
// zziplog.zip, holding every text entry of it (8-bit or UTF-16, each kept
// in its encoding: textencoding) with the personal values replaced by
// stand-ins (TextScrubber, Pseudonyms), entry names cleaned the same way,
// and a note entry naming the entries left out because they are not text
// or their encoding cannot be told for certain. The map of what was
// replaced goes to a file of its own in the installation folder, never
// into the copy.

#include "shareable/knownnames.h"
#include "shareable/shareableoutcome.h"

#include <QString>

#include <atomic>

namespace shareablecopy {

inline QString noteName() { return QStringLiteral("shareable_copy_note.txt"); }

// Deflate level of the copy's entries: the fastest, because the copy is
// made while the user waits, and the logs shrink nearly as well at it.
constexpr int kCompressionLevel = 1;

// Writes the cleaned copy of the archive at archivePath to copyPath, then
// the map to mapPath. names are the known names besides those the archive's
// reports and logs show, which a first pass over every entry learns before
// the first one is written. stop is polled: once set, the writing ends soon,
// as a failure. Whatever fails, no half-written file is left: the copy is
// written to a temporary file beside copyPath and renamed over it at the
// end, and removed again when the map cannot be written.
Outcome write(const QString &archivePath, const QString &copyPath, const QString &mapPath,
              const shareable::KnownNames &names, const std::atomic<bool> &stop);

} // namespace shareablecopy
