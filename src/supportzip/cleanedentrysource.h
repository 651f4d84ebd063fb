#pragma once
// An entry of one archive, cleaned as libzip reads it into another: a libzip
// source that reads the entry piece by piece, cleans it in its encoding
// (EntryCleaner) and hands out the cleaned bytes, so no entry is ever held
// whole.

#include "shareable/textencoding.h"
#include "supportzip/ziphandles.h"

#include <atomic>

namespace archivereader {
class ArchiveReader;
}

namespace shareable {

class TextScrubber;

// The pieces an entry is read in.
constexpr int kPieceBytes = 256 * 1024;

// The source for entry index of reader, a text in the encoding given
// (EightBit, Utf16LE or Utf16BE). Reading it fails (and with it zip_close
// of the archive it was added to) when the entry cannot be read, or as soon
// as stop is set. reader, scrubber and stop must outlive it.
ziphandles::Source cleanedEntrySource(const archivereader::ArchiveReader &reader, int index,
                                      textencoding::Encoding encoding, TextScrubber &scrubber,
                                      const std::atomic<bool> &stop, QString *problem);

} // namespace shareable
