#pragma once
// The shareable copy of the archive: zziplog_shareable.zip beside
// zziplog.zip, holding every text entry of it with the personal values
// replaced by stand-ins (TextScrubber, Pseudonyms), entry names cleaned the
// same way, and a note entry naming the entries left out because they are
// not text. The map of what was replaced goes to a file of its own in the
// installation folder, never into the copy.

#include "shareable/knownnames.h"
#include "shareable/shareableoutcome.h"

#include <QString>

#include <atomic>

namespace shareablecopy {

inline QString noteName() { return QStringLiteral("shareable_copy_note.txt"); }

// An entry is text when its first kTextSample bytes hold no NUL byte (UTF-8
// and the 8-bit code pages never have one; UTF-16 text and binary formats
// such as images, dumps and archives do).
constexpr int kTextSample = 8000;
bool looksLikeText(const QByteArray &sample);

// Deflate level of the copy's entries: the fastest, because the copy is
// made while the user waits, and the logs shrink nearly as well at it.
constexpr int kCompressionLevel = 1;

// Writes the cleaned copy of the archive at archivePath to copyPath, then
// the map to mapPath. names are the known names besides those the archive's
// reports and logs show. stop is polled: once set, the writing ends soon,
// as a failure. Whatever fails, no half-written file is left: the copy is
// written to a temporary file beside copyPath and renamed over it at the
// end, and removed again when the map cannot be written.
Outcome write(const QString &archivePath, const QString &copyPath, const QString &mapPath,
              const shareable::KnownNames &names, const std::atomic<bool> &stop);

} // namespace shareablecopy
