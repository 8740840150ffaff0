#include "setup/services/InstArchiveReader.h"

#include "base/Strings.h"
#include "setup/services/InstFileInfo.h"
#include "setup/services/InstGlobal.h"

namespace {
constexpr int64_t kMinArchiveSize = kCompressedHeaderSize + kArchiveEntrySize;  // 46

// Sizes a walk can trust: not negative, and the data lies inside the stream.
bool EntryFits(const TArchiveEntry& rec, int64_t dataStart, int64_t streamSize) {
  return rec.CompressedSize >= 0 && rec.ExpandedSize >= 0 &&
         dataStart + rec.CompressedSize <= streamSize;
}
}  // namespace

int IndexOfArchivedFile(const TCompressedFileList& list, const std::string& name) {
  for (size_t i = 0; i < list.size(); ++i)
    if (base::AnsiSameText(list[i].first, name)) return static_cast<int>(i);
  return -1;
}

bool TInstArchiveReader::ReadEntryHeader(base::Stream& Stream, TArchiveEntry& Rec,
                                         std::string& Name) {
  uint8_t raw[kArchiveEntrySize];
  if (Stream.Read(raw, kArchiveEntrySize) != kArchiveEntrySize) return false;
  Rec = DecodeEntry(raw);
  if (Rec.NameLength < 0) return false;
  Name.assign(static_cast<size_t>(Rec.NameLength), '\0');
  if (Rec.NameLength == 0) return true;
  return Stream.Read(Name.data(), Rec.NameLength) == Rec.NameLength;
}

void TInstArchiveReader::ListArchiveStream(base::Stream& Stream, TCompressedFileList& List) {
  const int64_t size = Stream.Size();
  if (size - Stream.Position() < kMinArchiveSize) return;
  TCompressedHeader header;
  std::string id;
  ReadArchiveHeader(Stream, header, id);
  TArchiveEntry rec;
  std::string name;
  for (;;) {
    const int64_t recordPos = Stream.Position();
    if (!ReadEntryHeader(Stream, rec, name)) break;
    const int64_t dataStart = Stream.Position();
    if (!EntryFits(rec, dataStart, size)) break;
    TCompressedFileInfo info;
    info.FileDate = rec.FileDate;
    info.Attributes = rec.Attributes;
    info.ExpandedSize = rec.ExpandedSize;
    info.CompressedSize = rec.CompressedSize;
    info.Method = rec.Method;
    info.Checksum = rec.Checksum;
    info.EntryOffset = static_cast<int32_t>(recordPos);
    info.Locked = rec.Locked > 0;
    List.emplace_back(name, info);
    Stream.Seek(rec.CompressedSize, base::SeekOrigin::Current);
  }
}

void TInstArchiveReader::ListArchive(const std::string& FileName, TCompressedFileList& List) {
  base::FileStream stream(FileName, base::fmOpenRead | base::fmShareExclusive);
  ListArchiveStream(stream, List);
}

void TInstArchiveReader::ExpandArchivedStream(base::Stream& Source, base::Stream& Dest,
                                              const std::string& EntryName) {
  TCompressedHeader header;
  std::string id;
  ReadArchiveHeader(Source, header, id);
  const int64_t size = Source.Size();
  const int64_t total = header.ExpandedSize;
  int64_t sum = 0;
  TArchiveEntry rec;
  std::string name;
  for (;;) {
    if (!ReadEntryHeader(Source, rec, name)) break;
    if (sum >= total) break;
    const int64_t dataStart = Source.Position();
    if (!EntryFits(rec, dataStart, size)) break;
    if (base::AnsiSameText(name, EntryName)) {
      // Only the first entry of a name: two entries are never run together.
      ExpandData(Dest, Source, rec.CompressedSize, rec.ExpandedSize, rec.Checksum, rec.Method,
                 id, rec.Locked);
      break;
    }
    Source.Seek(dataStart + rec.CompressedSize, base::SeekOrigin::Beginning);
    sum += rec.ExpandedSize;
  }
}

void TInstArchiveReader::ExpandArchivedFile(const std::string& ArchiveFile, base::Stream& Dest,
                                            const std::string& EntryName) {
  base::FileStream stream(ArchiveFile, base::fmOpenRead | base::fmShareExclusive);
  ExpandArchivedStream(stream, Dest, EntryName);
}

void TInstArchiveReader::ClearFileList(TCompressedFileList* List) {
  if (List) List->clear();
}

void ExpandFileFromArchive(const std::string& ArchiveFile, base::Stream& Dest,
                           const std::string& EntryName, const TShowProgressEvent& OnShowProgress) {
  TInstArchiveReader reader;
  reader.OnShowProgress = OnShowProgress;
  reader.ExpandArchivedFile(ArchiveFile, Dest, EntryName);
}

TCompressedFileInfo GetArchivedEntryInfo(const std::string& ArchiveFile, const std::string& EntryName) {
  TInstArchiveReader reader;
  TCompressedFileList list;
  reader.ListArchive(ArchiveFile, list);
  int i = IndexOfArchivedFile(list, EntryName);
  if (i < 0) throw EStringListError("List index out of bounds (-1)");
  return list[static_cast<size_t>(i)].second;
}

void GetArchivedFileInfo(const std::string& ArchiveFile, const std::string& EntryName,
                         TDateTime& FileDateTime, uint16_t& Attributes) {
  TCompressedFileInfo info = GetArchivedEntryInfo(ArchiveFile, EntryName);
  Attributes = info.Attributes;
  FileDateTime = DosDateTimeToDateTime(static_cast<uint32_t>(info.FileDate));
}
