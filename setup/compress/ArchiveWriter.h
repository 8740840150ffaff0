// Archives written from entries compressed apart. CompressArchiveEntry makes one entry's
// bytes (its 25-byte record, its name and its data) on any thread; TArchiveWriter puts
// such entries behind the header one after another, in the order given. The result is
// byte for byte the archive that AddToArchive would build from the same sources.
#pragma once
#ifndef TANDREL_EXPAND_ONLY
#include <cstdint>
#include <string>

#include "setup/compress/InstCompress.h"

// Compresses Source, from its position to its end, into Dest as one archive entry and
// returns its record as written. Too little gain stores the data instead. A progress
// handler that sets -1 (or a source that ends early) raises ECompressionAborted.
TArchiveEntry CompressArchiveEntry(base::Stream& Dest, base::Stream& Source, const std::string& Name, int32_t Date,
                                   uint16_t Attr, uint8_t Method, const TShowProgressEvent& Progress);

class TArchiveWriter {
public:
  // Starts the archive with a header at Archive's position 0.
  explicit TArchiveWriter(base::Stream& Archive);
  TArchiveWriter(const TArchiveWriter&) = delete;
  TArchiveWriter& operator=(const TArchiveWriter&) = delete;

  // Appends Count bytes of one entry made by CompressArchiveEntry, read from Entry's
  // position; Record is what CompressArchiveEntry returned for it.
  void Add(base::Stream& Entry, int64_t Count, const TArchiveEntry& Record);
  // Writes the header's final form (the sum of the entries' sizes); the archive ends
  // behind the last entry added.
  void Finish();

private:
  base::Stream& archive_;
  TCompressedHeader header_;
  int64_t end_ = kCompressedHeaderSize;
};
#endif
