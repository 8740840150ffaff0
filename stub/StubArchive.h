// The launcher stub's reading of its package: archive 1 cut out of the package, the
// engine taken out of archive 1.
#pragma once
#include <cstdint>
#include <string>

#include "base/Streams.h"

// Copies archive 1 of the package into dest; false when the package is not whole.
// key: the 8 bytes of the stub's size marker that precede its value.
bool CopyArchive1(base::Stream& package, const char* key, base::Stream& dest);

enum class TEntryResult { Expanded, NotFound, Damaged };
// Expands the first entry named entryName (ignoring case) of the archive at the stream's
// start into dest. Damaged: no archive header, a record running past the end, or data
// that does not expand to what the record says.
TEntryResult ExpandArchiveEntry(base::Stream& archive, const std::string& entryName, base::Stream& dest);
