#include "setup/services/InstArchiveReader.h"

#include <memory>
#include <unordered_map>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "base/Strings.h"
#include "setup/services/InstFileInfo.h"
#include "setup/services/InstGlobal.h"

namespace {

// What a listing tells of one entry record.
TCompressedFileInfo FileInfoOf(const TArchiveEntry& rec, int64_t recordPos) {
  TCompressedFileInfo info;
  info.FileDate = rec.FileDate;
  info.Attributes = rec.Attributes;
  info.ExpandedSize = rec.ExpandedSize;
  info.CompressedSize = rec.CompressedSize;
  info.Method = rec.Method;
  info.Checksum = rec.Checksum;
  info.EntryOffset = static_cast<int32_t>(recordPos);
  info.Locked = rec.Locked > 0;
  return info;
}

constexpr int64_t kMinArchiveSize = kCompressedHeaderSize + kArchiveEntrySize;  // 46

// Sizes a walk can trust: not negative, and the data lies inside the stream.
bool EntryFits(const TArchiveEntry& rec, int64_t dataStart, int64_t streamSize) {
  return rec.CompressedSize >= 0 && rec.ExpandedSize >= 0 &&
         dataStart + rec.CompressedSize <= streamSize;
}
// What tells one state of an archive file from another without reading it.
struct TFileStamp {
  int64_t Size = -1;
  uint64_t WriteTime = 0;
  uint64_t Identity = 0;  // creation time, or the inode where there is none
  bool operator==(const TFileStamp&) const = default;
};

bool ReadFileStamp(const std::string& path, TFileStamp& stamp) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return false;
  stamp.Size = static_cast<int64_t>((static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow);
  stamp.WriteTime = (static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
                    d.ftLastWriteTime.dwLowDateTime;
  stamp.Identity = (static_cast<uint64_t>(d.ftCreationTime.dwHighDateTime) << 32) |
                   d.ftCreationTime.dwLowDateTime;
#else
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  stamp.Size = static_cast<int64_t>(st.st_size);
  stamp.WriteTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                    static_cast<uint64_t>(st.st_mtim.tv_nsec);
  stamp.Identity = static_cast<uint64_t>(st.st_ino);
#endif
  return true;
}

struct TIndexedEntry {
  TArchiveEntry Rec;
  int64_t RecordPos = 0;
  int64_t DataPos = 0;
  int64_t ExpandedBefore = 0;  // expanded sizes of the entries before it
};

struct TArchiveIndex {
  bool Valid = false;
  std::string Path;
  TFileStamp Stamp;
  std::string HeaderBytes;  // the archive's first kCompressedHeaderSize bytes
  int64_t Total = 0;        // the header's total expanded size
  std::string ID;
  TCompressedFileList List;
  std::vector<TIndexedEntry> Entries;
  std::unordered_map<std::string, size_t> First;  // folded name -> its first entry
  int Listings = 0;
  bool Trusted = false;  // built through the held handle: the file cannot have changed since
};

TArchiveIndex& Index() {
  static TArchiveIndex index;
  return index;
}

// The archive file a TArchiveHold keeps open.
struct THeldArchive {
  std::string Path;
  std::unique_ptr<base::FileStream> Stream;
};

THeldArchive& Held() {
  static THeldArchive held;
  return held;
}

// The archive file for one call: the held handle when it is that file, else a handle of
// the call's own. A call on the held handle leaves it where it found it, so that a
// progress handler may take another entry while an expansion reads on.
class TArchiveAccess {
public:
  explicit TArchiveAccess(const std::string& path) {
    THeldArchive& held = Held();
    if (held.Stream && held.Path == path) {
      stream_ = held.Stream.get();
      restore_ = stream_->Position();
    } else {
      own_ = std::make_unique<base::FileStream>(path, base::fmOpenRead | base::fmShareExclusive);
      stream_ = own_.get();
    }
  }
  ~TArchiveAccess() {
    if (!own_) stream_->Seek(restore_, base::SeekOrigin::Beginning);
  }
  TArchiveAccess(const TArchiveAccess&) = delete;
  TArchiveAccess& operator=(const TArchiveAccess&) = delete;
  base::Stream& Stream() { return *stream_; }
  bool IsHeld() const { return !own_; }

private:
  std::unique_ptr<base::FileStream> own_;
  base::Stream* stream_ = nullptr;
  int64_t restore_ = 0;
};

std::string ReadBytesAt(base::Stream& stream, int64_t pos, int32_t count) {
  std::string bytes(static_cast<size_t>(count), '\0');
  if (stream.Seek(pos, base::SeekOrigin::Beginning) != pos) return {};
  bytes.resize(static_cast<size_t>(std::max<int32_t>(0, stream.Read(bytes.data(), count))));
  return bytes;
}

// The record and name of entry i still stand where the index found them.
bool RecordInPlace(base::Stream& stream, const TArchiveIndex& index, size_t i) {
  const TIndexedEntry& e = index.Entries[i];
  const std::string& name = index.List[i].first;
  const int32_t length = static_cast<int32_t>(kArchiveEntrySize + name.size());
  const std::string bytes = ReadBytesAt(stream, e.RecordPos, length);
  if (static_cast<int32_t>(bytes.size()) != length) return false;
  uint8_t raw[kArchiveEntrySize];
  EncodeEntry(e.Rec, raw);
  return bytes.compare(0, kArchiveEntrySize, reinterpret_cast<const char*>(raw), kArchiveEntrySize) == 0 &&
         bytes.compare(kArchiveEntrySize, std::string::npos, name) == 0;
}

void BuildIndex(TArchiveIndex& index, TInstArchiveReader& reader, base::Stream& stream,
                const std::string& path, bool stamped, const TFileStamp& stamp) {
  index.Valid = false;
  index.Trusted = false;
  index.List.clear();
  index.Entries.clear();
  index.First.clear();
  index.ID.clear();
  index.Total = 0;
  ++index.Listings;
  index.HeaderBytes = ReadBytesAt(stream, 0, kCompressedHeaderSize);
  stream.Seek(0, base::SeekOrigin::Beginning);
  TCompressedHeader header;
  int64_t before = 0;
  reader.WalkArchiveStream(stream, header, index.ID, [&](const std::string& name, const TArchiveEntry& rec,
                                                         int64_t recordPos, int64_t dataPos) {
    TCompressedFileInfo info = FileInfoOf(rec, recordPos);
    index.First.emplace(base::AnsiLowerCase(name), index.List.size());
    index.List.emplace_back(name, info);
    index.Entries.push_back({rec, recordPos, dataPos, before});
    before += rec.ExpandedSize;
  });
  index.Total = index.List.empty() ? 0 : header.ExpandedSize;
  index.Path = path;
  index.Stamp = stamp;
  index.Valid = stamped;  // a file without a stamp is listed again at every use
}

// The index of the open archive file and the entry of that name in it (-1 when none).
// The entry found is checked against the file; a stale index is built again. An index
// built through the held handle needs no check while the hold lasts.
const TArchiveIndex& IndexedEntry(TInstArchiveReader& reader, TArchiveAccess& access,
                                  const std::string& path, const std::string& entryName, int& found) {
  TArchiveIndex& index = Index();
  base::Stream& stream = access.Stream();
  const std::string key = base::AnsiLowerCase(entryName);
  if (access.IsHeld() && index.Trusted && index.Valid && index.Path == path) {
    auto it = index.First.find(key);
    found = it == index.First.end() ? -1 : static_cast<int>(it->second);
    return index;
  }
  TFileStamp stamp;
  const bool stamped = ReadFileStamp(path, stamp);
  bool fresh = false;
  if (!(index.Valid && stamped && index.Path == path && index.Stamp == stamp &&
        ReadBytesAt(stream, 0, kCompressedHeaderSize) == index.HeaderBytes)) {
    BuildIndex(index, reader, stream, path, stamped, stamp);
    fresh = true;
  }
  for (;;) {
    auto it = index.First.find(key);
    found = it == index.First.end() ? -1 : static_cast<int>(it->second);
    if (fresh || found < 0 || RecordInPlace(stream, index, static_cast<size_t>(found))) break;
    BuildIndex(index, reader, stream, path, stamped, stamp);
    fresh = true;
  }
  // Only a listing made through the held handle is trusted whole: an older one was
  // checked here for this entry's record alone.
  if (fresh && access.IsHeld()) index.Trusted = index.Valid;
  return index;
}

}  // namespace

void ResetArchiveIndex() { Index() = TArchiveIndex(); }

TArchiveHold::TArchiveHold(const std::string& ArchiveFile) {
  THeldArchive& held = Held();
  if (held.Stream) return;  // one hold at a time: the outer one stays
  try {
    held.Stream = std::make_unique<base::FileStream>(ArchiveFile, base::fmOpenRead | base::fmShareExclusive);
  } catch (const base::EFOpenError&) {
    return;  // each use then opens it, and fails, as without a hold
  }
  held.Path = ArchiveFile;
  owner_ = true;
  Index().Trusted = false;
}

TArchiveHold::~TArchiveHold() {
  if (!owner_) return;
  THeldArchive& held = Held();
  held.Stream.reset();
  held.Path.clear();
  Index().Trusted = false;
}

int ArchiveIndexListings() { return Index().Listings; }

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

void TInstArchiveReader::WalkArchiveStream(base::Stream& Stream, TCompressedHeader& Header,
                                           std::string& ID, const TEntryVisitor& Visit) {
  const int64_t size = Stream.Size();
  if (size - Stream.Position() < kMinArchiveSize) return;
  ReadArchiveHeader(Stream, Header, ID);
  TArchiveEntry rec;
  std::string name;
  for (;;) {
    const int64_t recordPos = Stream.Position();
    if (!ReadEntryHeader(Stream, rec, name)) break;
    const int64_t dataStart = Stream.Position();
    if (!EntryFits(rec, dataStart, size)) break;
    Visit(name, rec, recordPos, dataStart);
    Stream.Seek(rec.CompressedSize, base::SeekOrigin::Current);
  }
}

void TInstArchiveReader::ListArchiveStream(base::Stream& Stream, TCompressedFileList& List) {
  TCompressedHeader header;
  std::string id;
  WalkArchiveStream(Stream, header, id, [&](const std::string& name, const TArchiveEntry& rec,
                                    int64_t recordPos, int64_t) {
    TCompressedFileInfo info = FileInfoOf(rec, recordPos);
    List.emplace_back(name, info);
  });
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
  TArchiveAccess access(ArchiveFile);
  base::Stream& stream = access.Stream();
  int found = -1;
  const TArchiveIndex& index = IndexedEntry(*this, access, ArchiveFile, EntryName, found);
  if (found < 0) {
    // What the walk does with a name it cannot find, header errors included.
    stream.Seek(0, base::SeekOrigin::Beginning);
    ExpandArchivedStream(stream, Dest, EntryName);
    return;
  }
  // Copies: a progress handler may take another archive's entry meanwhile.
  const TIndexedEntry e = index.Entries[static_cast<size_t>(found)];
  if (e.ExpandedBefore >= index.Total) return;  // the walk stops at the header's total first
  const std::string id = index.ID;
  stream.Seek(e.DataPos, base::SeekOrigin::Beginning);
  ExpandData(Dest, stream, e.Rec.CompressedSize, e.Rec.ExpandedSize, e.Rec.Checksum, e.Rec.Method, id,
             e.Rec.Locked);
}

void TInstArchiveReader::ClearFileList(TCompressedFileList* List) {
  if (List) List->clear();
}

namespace {
// Takes what is written and keeps only its count.
class TCountingStream : public base::Stream {
public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void*, int32_t count) override {
    position_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, base::SeekOrigin origin) override {
    if (origin == base::SeekOrigin::Beginning) position_ = offset;
    else if (origin == base::SeekOrigin::Current) position_ += offset;
    else position_ = position_ + offset;
    return position_;
  }

private:
  int64_t position_ = 0;
};
}  // namespace

bool ArchiveFileIsWhole(const std::string& ArchiveFile, TCompressedFileList* Listing) {
  try {
    TInstArchiveReader reader;
    base::FileStream stream(ArchiveFile, base::fmOpenRead | base::fmShareDenyWrite);
    const int64_t size = stream.Size();
    TCompressedHeader header;
    std::string id;
    std::vector<std::pair<TArchiveEntry, int64_t>> entries;
    if (size < kMinArchiveSize) {
      // A header alone is a whole archive of no entries.
      reader.ReadArchiveHeader(stream, header, id);
      return size == kCompressedHeaderSize && header.ExpandedSize == 0;
    }
    int64_t end = stream.Position();
    reader.WalkArchiveStream(stream, header, id, [&](const std::string& name, const TArchiveEntry& rec,
                                                     int64_t recordPos, int64_t dataPos) {
      entries.push_back({rec, dataPos});
      if (Listing) Listing->emplace_back(name, FileInfoOf(rec, recordPos));
      end = dataPos + rec.CompressedSize;
    });
    if (end != size) return false;
    int64_t total = 0;
    for (const auto& [rec, dataPos] : entries) {
      total += rec.ExpandedSize;
      stream.Seek(dataPos, base::SeekOrigin::Beginning);
      TCountingStream out;
      reader.ExpandData(out, stream, rec.CompressedSize, rec.ExpandedSize, rec.Checksum, rec.Method, id, rec.Locked);
      if (out.Position() != rec.ExpandedSize) return false;
    }
    return total == header.ExpandedSize;
  } catch (...) {
    return false;
  }
}

void ExpandFileFromArchive(const std::string& ArchiveFile, base::Stream& Dest,
                           const std::string& EntryName, const TShowProgressEvent& OnShowProgress) {
  TInstArchiveReader reader;
  reader.OnShowProgress = OnShowProgress;
  reader.ExpandArchivedFile(ArchiveFile, Dest, EntryName);
}

TCompressedFileInfo GetArchivedEntryInfo(const std::string& ArchiveFile, const std::string& EntryName) {
  TInstArchiveReader reader;
  TArchiveAccess access(ArchiveFile);
  int found = -1;
  const TArchiveIndex& index = IndexedEntry(reader, access, ArchiveFile, EntryName, found);
  if (found < 0) throw EStringListError("List index out of bounds (-1)");
  return index.List[static_cast<size_t>(found)].second;
}

void GetArchivedFileInfo(const std::string& ArchiveFile, const std::string& EntryName,
                         TDateTime& FileDateTime, uint16_t& Attributes) {
  TCompressedFileInfo info = GetArchivedEntryInfo(ArchiveFile, EntryName);
  Attributes = info.Attributes;
  FileDateTime = DosDateTimeToDateTime(static_cast<uint32_t>(info.FileDate));
}
