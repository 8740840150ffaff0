#include "stub/StubArchive.h"

#include <cstdio>
#include <vector>

#include "base/Exceptions.h"
#include "base/Strings.h"
#include "setup/compress/InstCompress.h"
#include "setup/services/PackageLayout.h"

bool CopyArchive1(base::Stream& package, const char* key, base::Stream& dest) {
  TPackageLayout layout;
  if (ReadPackageLayout(package, key, layout) != TPackageCheck::Ok) return false;
  package.SetPosition(static_cast<int64_t>(layout.Archive1Offset()));
  if (layout.Archive1Size > 0) dest.CopyFrom(package, layout.Archive1Size);
  return true;
}

TEntryResult ExpandArchiveEntry(base::Stream& archive, const std::string& entryName, base::Stream& dest) {
  try {
    const int64_t size = archive.Size();
    archive.SetPosition(0);
    if (size < kCompressedHeaderSize) return TEntryResult::Damaged;
    TCompressedHeader header;
    ReadHeaderFrom(archive, header);
    if (!header.HasSignature() || header.ArchiveType != caMulti) return TEntryResult::Damaged;
    int64_t pos = kCompressedHeaderSize;
    while (pos < size) {
      if (size - pos < kArchiveEntrySize) return TEntryResult::Damaged;
      TArchiveEntry rec;
      ReadEntryFrom(archive, rec);
      pos += kArchiveEntrySize;
      if (rec.NameLength < 0 || rec.CompressedSize < 0 || rec.ExpandedSize < 0 ||
          size - pos < int64_t{rec.NameLength} + rec.CompressedSize)
        return TEntryResult::Damaged;
      std::string name(static_cast<size_t>(rec.NameLength), '\0');
      if (rec.NameLength > 0) archive.ReadBuffer(name.data(), rec.NameLength);
      pos += rec.NameLength;
      if (base::AnsiSameText(name, entryName)) {
        if (rec.Method > cmLH5 || rec.Method == cmCUS) return TEntryResult::Damaged;
        TTandrelInstCompress compress;
        const int64_t before = dest.Position();
        compress.ExpandData(dest, archive, rec.CompressedSize, rec.ExpandedSize, rec.Checksum, rec.Method,
                            header.MethodID(), rec.Locked);
        return dest.Position() - before == rec.ExpandedSize ? TEntryResult::Expanded : TEntryResult::Damaged;
      }
      pos += rec.CompressedSize;
      archive.SetPosition(pos);
    }
    return TEntryResult::NotFound;
  } catch (const base::EWriteError&) {
    throw;  // the disk, not the package
  } catch (...) {
    return TEntryResult::Damaged;
  }
}
