#include "setup/services/PackageLayout.h"

#include <cstring>
#include <map>

#include "base/Strings.h"

namespace {

uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

bool ReadU32At(base::Stream& s, uint64_t offset, uint32_t& value) {
  uint8_t b[4];
  s.SetPosition(static_cast<int64_t>(offset));
  if (s.Read(b, 4) != 4) return false;
  value = Get32(b);
  return true;
}

}  // namespace

int64_t FindSizeMarker(base::Stream& stream, const char* key) {
  std::vector<uint8_t> chunk(kMarkerChunk);
  const int64_t size = stream.Size();
  int64_t base = 0;
  stream.SetPosition(0);
  for (;;) {
    int32_t got = stream.Read(chunk.data(), kMarkerChunk);
    if (got <= kSizeMarkerKeyLength) return -1;
    for (int32_t p = 0; p + kSizeMarkerKeyLength <= got; ++p) {
      if (std::memcmp(chunk.data() + p, key, kSizeMarkerKeyLength) != 0) continue;
      // The first marker decides; without room for the value it is not a marker.
      int64_t at = base + p;
      return at + kSizeMarkerKeyLength + 4 <= size ? at : -1;
    }
    base += got - kSizeMarkerKeyLength;
    stream.Seek(-kSizeMarkerKeyLength, base::SeekOrigin::Current);
  }
}

int32_t PatchSizeMarker(base::Stream& stream, const char* key) {
  int64_t at = FindSizeMarker(stream, key);
  if (at < 0) return 0;
  const int32_t size = static_cast<int32_t>(stream.Size());
  const uint32_t v = static_cast<uint32_t>(size);
  const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
  stream.SetPosition(at + kSizeMarkerKeyLength);
  stream.WriteBuffer(b, 4);
  return size;
}

TPackageCheck ReadPackageLayout(base::Stream& package, const char* key, TPackageLayout& layout) {
  layout = TPackageLayout();
  const uint64_t size = static_cast<uint64_t>(package.Size());
  int64_t at = FindSizeMarker(package, key);
  if (at < 0 || !ReadU32At(package, static_cast<uint64_t>(at) + kSizeMarkerKeyLength, layout.StubSize) ||
      layout.StubSize == 0)
    return TPackageCheck::NoMarker;
  if (layout.Archive1Offset() > size || !ReadU32At(package, layout.StubSize, layout.Archive1Size))
    return TPackageCheck::StubTooLarge;
  if (layout.Archive2Offset() > size || !ReadU32At(package, layout.Archive2LengthOffset(), layout.Archive2Size))
    return TPackageCheck::Archive1Short;
  if (layout.TotalSize() > size) return TPackageCheck::Archive2Short;
  return TPackageCheck::Ok;
}

std::vector<TEntryClash> FindEntryClashes(const std::vector<TArchiveItem>& items) {
  std::vector<TEntryClash> clashes;
  std::map<std::string, const TArchiveItem*> seen;  // entry name folded -> first item
  for (const TArchiveItem& item : items) {
    const std::string name = ArchiveEntryName(item.Folder, item.SourceFile);
    auto [it, fresh] = seen.emplace(base::AnsiLowerCase(name), &item);
    if (fresh || base::AnsiSameText(it->second->SourceFile, item.SourceFile)) continue;
    clashes.push_back({name, it->second->SourceFile, item.SourceFile});
  }
  return clashes;
}

std::vector<TEntryClash> FindSupportFolderClashes(const std::vector<TArchiveItem>& items) {
  std::vector<TEntryClash> clashes;
  std::map<std::string, const TArchiveItem*> seen;  // file name folded -> first item
  for (const TArchiveItem& item : items) {
    const std::string name = base::ExtractFileName(ArchiveEntryName(item.Folder, item.SourceFile));
    auto [it, fresh] = seen.emplace(base::AnsiLowerCase(name), &item);
    // Within one folder the entry names clash already (FindEntryClashes).
    if (fresh || base::AnsiSameText(it->second->SourceFile, item.SourceFile) ||
        base::AnsiSameText(it->second->Folder, item.Folder))
      continue;
    clashes.push_back({name, it->second->SourceFile, item.SourceFile});
  }
  return clashes;
}

std::string SupportClashText(const TEntryClash& clash) {
  return "Error: the files '" + clash.FirstFile + "' and '" + clash.SecondFile +
         "' would both be taken to the setup's support folder as '" + clash.EntryName + "'";
}

std::string EntryClashText(const TEntryClash& clash) {
  return "Error: the files '" + clash.FirstFile + "' and '" + clash.SecondFile + "' would both be packed as '" +
         clash.EntryName + "'";
}
