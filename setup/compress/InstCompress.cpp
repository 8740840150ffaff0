#include "setup/compress/InstCompress.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstring>
#include <vector>

#include "setup/compress/CodecDriver.h"

#ifdef _WIN32
#include <windows.h>
#endif

const char* const kMsgBadDecodeTable = "Bad decode table in archive!";
const char* const kMsgUnableToCompress = "Could not compress data";
const char* const kMsgInsufficientDiskSpace = "Disk protected or full during compression";
const char* const kMsgCompressionAborted = "Compression aborted: the source was not read to its end";
const char* const kMsgArchiveTypeMulti = "Archive type must be caMulti";
const char* const kMsgArchiveTypeSingle =
    "Expand can't handle caMulti archive type in compressed header";
const char* const kMsgInvalidHeader = "Can't recognize compressed file header";
const char* const kMsgBadChecksum = "Bad checksum during expansion -- data may be invalid";
const char* const kMsgInvalidKey = "File locked -- valid key required";
const char* const kMsgRLEDisabled = "RLE compression disabled in this build";
const char* const kMsgLZH1Disabled = "LZH1 compression disabled in this build";
const char* const kMsgLZH5Disabled = "LZH5 compression disabled in this build";

std::string UnrecognizedMethodText(const std::string& id) {
  return "Unrecognized compression method: \"" + id + "\" in header";
}

namespace {

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

// Millisecond tick count, GetTickCount style.
uint32_t Ticks() {
#ifdef _WIN32
  return GetTickCount();
#else
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
#endif
}

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// Copies count bytes as CopyFrom does and gives their byte sum: the checksum of stored data.
int32_t CopySummed(base::Stream& dest, base::Stream& source, int64_t count) {
  std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(count, 61440)) + 1);
  int32_t sum = 0;
  while (count > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(buf.size())));
    source.ReadBuffer(buf.data(), n);
    dest.WriteBuffer(buf.data(), n);
    sum = ByteSum(buf.data(), static_cast<size_t>(n), sum);
    count -= n;
  }
  return sum;
}

}  // namespace

bool TCompressedHeader::HasSignature() const {
  return std::memcmp(Signature, kCompressSignature, 5) == 0;
}

void EncodeHeader(const TCompressedHeader& h, uint8_t out[kCompressedHeaderSize]) {
  std::memcpy(out, h.Signature, 5);
  std::memcpy(out + 5, h.ID, 3);
  Put32(out + 8, h.ExpandedSize);
  out[12] = h.ArchiveType;
  Put32(out + 13, h.Checksum);
  Put32(out + 17, h.Locked);
}

TCompressedHeader DecodeHeader(const uint8_t in[kCompressedHeaderSize]) {
  TCompressedHeader h;
  std::memcpy(h.Signature, in, 5);
  std::memcpy(h.ID, in + 5, 3);
  h.ExpandedSize = Get32(in + 8);
  h.ArchiveType = in[12];
  h.Checksum = Get32(in + 13);
  h.Locked = Get32(in + 17);
  return h;
}

void EncodeEntry(const TArchiveEntry& e, uint8_t out[kArchiveEntrySize]) {
  Put16(out, static_cast<uint16_t>(e.NameLength));
  Put32(out + 2, e.FileDate);
  Put16(out + 6, e.Attributes);
  Put32(out + 8, e.ExpandedSize);
  Put32(out + 12, e.CompressedSize);
  out[16] = e.Method;
  Put32(out + 17, e.Checksum);
  Put32(out + 21, e.Locked);
}

TArchiveEntry DecodeEntry(const uint8_t in[kArchiveEntrySize]) {
  TArchiveEntry e;
  e.NameLength = static_cast<int16_t>(Get16(in));
  e.FileDate = Get32(in + 2);
  e.Attributes = Get16(in + 6);
  e.ExpandedSize = Get32(in + 8);
  e.CompressedSize = Get32(in + 12);
  e.Method = in[16];
  e.Checksum = Get32(in + 17);
  e.Locked = Get32(in + 21);
  return e;
}

void WriteHeaderTo(base::Stream& stream, const TCompressedHeader& header) {
  uint8_t b[kCompressedHeaderSize];
  EncodeHeader(header, b);
  stream.WriteBuffer(b, kCompressedHeaderSize);
}

void ReadHeaderFrom(base::Stream& stream, TCompressedHeader& header) {
  uint8_t b[kCompressedHeaderSize];
  stream.ReadBuffer(b, kCompressedHeaderSize);
  header = DecodeHeader(b);
}

void WriteEntryTo(base::Stream& stream, const TArchiveEntry& entry) {
  uint8_t b[kArchiveEntrySize];
  EncodeEntry(entry, b);
  stream.WriteBuffer(b, kArchiveEntrySize);
}

void ReadEntryFrom(base::Stream& stream, TArchiveEntry& entry) {
  uint8_t b[kArchiveEntrySize];
  stream.ReadBuffer(b, kArchiveEntrySize);
  entry = DecodeEntry(b);
}

int32_t ByteSum(const void* data, size_t size, int32_t start) {
  uint32_t sum = static_cast<uint32_t>(start);
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) sum += p[i];
  return static_cast<int32_t>(sum);
}

// ---------------------------------------------------------------------------------

void TTandrelInstCompress::SetTargetPath(const std::string& Value) {
  targetPath_ = Value;
  if (!targetPath_.empty() && targetPath_.back() != '\\') targetPath_ += '\\';
}

void TTandrelInstCompress::InitHeader(TCompressedHeader& Header, const std::string& ID,
                                      uint8_t ArchiveType, int32_t ExpandedSize) const {
  std::memcpy(Header.Signature, kCompressSignature, 5);
  for (int i = 0; i < 3; ++i) Header.ID[i] = i < static_cast<int>(ID.size()) ? ID[i] : ' ';
  Header.ExpandedSize = ExpandedSize;
  Header.ArchiveType = ArchiveType;
  Header.Checksum = 0;
  Header.Locked = Key > 0 ? kLockedWithKey : 0;
}

uint8_t TTandrelInstCompress::MethodFromID(const std::string& ID) {
  for (uint8_t i = 0; i < 5; ++i)
    if (ID == MethodIDs[i]) return i;
  if (OnRecognize) {
    bool recognized = false;
    OnRecognize(ID, recognized);
    if (recognized) return cmCUS;
  }
  throw EUnrecognizedCompressionMethod(UnrecognizedMethodText(ID));
}

void TTandrelInstCompress::ReadArchiveHeader(base::Stream& Stream, TCompressedHeader& Header,
                                             std::string& ID) {
  ID.resize(3, ' ');
  if (Stream.Size() - Stream.Position() < kCompressedHeaderSize) {
    InitHeader(Header, ID, caMulti, 0);
    return;
  }
  ReadHeaderFrom(Stream, Header);
  if (!Header.HasSignature()) throw EInvalidHeader(kMsgInvalidHeader);
  if (Header.ArchiveType != caMulti) throw EInvalidHeaderArchiveType(kMsgArchiveTypeMulti);
  ID = Header.MethodID();
  MethodFromID(ID);
}

void TTandrelInstCompress::ExpandData(base::Stream& Dest, base::Stream& Source, int32_t Count,
                                      int32_t ExpandedSize, int32_t StoredChecksum,
                                      uint8_t Method, const std::string& ID,
                                      int32_t LockFlag) {
  if (Method != cmNON && LockFlag >= 1 && Key == 0) throw EInvalidKey(kMsgInvalidKey);
  int32_t sum = 0;
  bool damaged = false;
  uint32_t start = Ticks();
  switch (Method) {
    case cmNON:
      if (Count > 0) sum = CopySummed(Dest, Source, Count);
      break;
    case cmRLE:
    case cmLZH:
    case cmLH5:
      try {
        RunCodec(*this, Dest, Source, Count, ExpandedSize, Method, sum, true,
                 LockFlag == kLockedWithKey, &damaged);
      } catch (const ELZHBadDecodeTable&) {
        if (LockFlag >= 1) throw EInvalidKey(kMsgInvalidKey);
        throw;
      }
      break;
    case cmCUS:
      if (OnExpand) OnExpand(Dest, Source, Count, ExpandedSize, ID, sum);
      break;
    default:
      break;
  }
  elapsed_ = static_cast<int32_t>(Ticks() - start);
  // Stored data carry their byte sum; 0 is what older writers put there, unsummed. A
  // locked stored run is tested only with a key: its sum includes one, or is the key alone
  // when an older writer made it.
  if (Method == cmNON &&
      (StoredChecksum == 0 || (LockFlag >= 1 && (Key == 0 || StoredChecksum == Key))))
    return;
  // A run that ended early or ran past its size is damaged whatever its sum says.
  if (damaged || sum != StoredChecksum) {
    if (LockFlag < 1) throw EBadChecksum(kMsgBadChecksum);
    if (damaged || Wrap(static_cast<int64_t>(Key) + sum) != StoredChecksum)
      throw EInvalidKey(kMsgInvalidKey);
  }
}

void TTandrelInstCompress::ExpandStream(base::Stream& Dest, base::Stream& Source) {
  int64_t start = Source.Position();
  int64_t remaining = Source.Size() - start;
  uint8_t method = cmNON;
  int32_t checksum = 0, lockFlag = 0, expandedSize = 0;
  std::string id;
  if (remaining > kCompressedHeaderSize) {
    TCompressedHeader h;
    ReadHeaderFrom(Source, h);
    if (!h.HasSignature()) {
      Source.SetPosition(start);
    } else {
      if (h.ArchiveType != caSingle) throw EInvalidHeaderArchiveType(kMsgArchiveTypeSingle);
      id = h.MethodID();
      method = MethodFromID(id);
      checksum = h.Checksum;
      lockFlag = h.Locked;
      expandedSize = h.ExpandedSize;
      remaining -= kCompressedHeaderSize;
      if (method != cmNON && lockFlag >= 1 && Key == 0) throw EInvalidKey(kMsgInvalidKey);
      // Reserve room in advance only for a size the data could plausibly give: a
      // damaged header must not make us allocate gigabytes.
      if (auto* mem = dynamic_cast<base::MemoryStream*>(&Dest)) {
        int64_t plausible = remaining * 64 + (1 << 20);
        if (expandedSize > 0 && expandedSize <= plausible) mem->SetSize(expandedSize);
      }
    }
  }
  int32_t count = remaining > INT32_MAX ? INT32_MAX : static_cast<int32_t>(remaining);
  ExpandData(Dest, Source, count, expandedSize, checksum, method, id, lockFlag);
}

#ifdef _WIN32
TCompressResource::TCompressResource(HMODULE module, bool owned, const std::string& resName)
    : library_(owned ? module : nullptr),
      stream_(std::make_unique<base::win::ResourceStream>(module, resName,
                                                          kCompressResourceType)) {}

std::unique_ptr<TCompressResource> TTandrelInstCompress::GetResourceStream(
    const std::string& ResName, const std::string& ModuleFile) {
  if (ModuleFile.empty()) return std::make_unique<TCompressResource>(GetModuleHandleA(nullptr), false, ResName);
  HMODULE h = LoadLibraryA(ModuleFile.c_str());
  if (!h) throw base::Exception("Could not load " + ModuleFile + " DLL");
  try {
    return std::make_unique<TCompressResource>(h, true, ResName);
  } catch (...) {
    FreeLibrary(h);
    throw;
  }
}

std::unique_ptr<base::MemoryStream> TTandrelInstCompress::ExpandResource(
    const std::string& ResName, const std::string& ModuleFile) {
  auto result = std::make_unique<base::MemoryStream>();
  std::unique_ptr<TCompressResource> res = GetResourceStream(ResName, ModuleFile);
  if (!res || res->Stream().Size() == 0)
    throw base::EResNotFound("Could not load resource: " + ResName);
  ExpandStream(*result, res->Stream());
  result->SetPosition(0);
  return result;
}
#endif

#ifndef TANDREL_EXPAND_ONLY
int32_t TTandrelInstCompress::CompressStream(base::Stream& Dest, base::Stream& Source,
                                             uint8_t Method, std::string& CompressID,
                                             int32_t& Checksum) {
  uint32_t start = Ticks();
  Checksum = 0;
  int32_t result = 0;
  int64_t size = Source.Size();
  int32_t count = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
  switch (Method) {
    case cmNON:
      if (count > 0) {
        Checksum = CopySummed(Dest, Source, count);
        result = count;
      }
      break;
    case cmRLE:
    case cmLZH:
    case cmLH5:
      result = RunCodec(*this, Dest, Source, count, 0, Method, Checksum, false, false);
      break;
    case cmCUS:
      if (OnCompress) OnCompress(Dest, Source, CompressID, result, Checksum);
      break;
    default:
      break;
  }
  Checksum = Wrap(static_cast<int64_t>(Checksum) + Key);
  elapsed_ = static_cast<int32_t>(Ticks() - start);
  return result;
}

namespace {
void CheckEntryName(const std::string& Name) {
  if (Name.size() > kMaxEntryNameLength)
    throw EEntryNameTooLong("Archive entry name too long (" + std::to_string(Name.size()) +
                            " bytes, at most " + std::to_string(kMaxEntryNameLength) + "): " +
                            Name.substr(0, 60) + "...");
}
}  // namespace

void TTandrelInstCompress::WriteEntryHeader(base::Stream& Dest, TArchiveEntry& Record,
                                            const std::string& Name) {
  CheckEntryName(Name);
  Record.NameLength = static_cast<int16_t>(Name.size());
  WriteEntryTo(Dest, Record);
  if (!Name.empty()) Dest.WriteBuffer(Name.data(), static_cast<int32_t>(Name.size()));
}

TArchiveEntry TTandrelInstCompress::CompressToArchive(base::Stream& Dest, base::Stream& Source,
                                                      const std::string& Name, TArchiveEntry Record,
                                                      std::string& CompressID, uint8_t Method) {
  int64_t sourceStart = Source.Position();
  int32_t expandedSize = static_cast<int32_t>(Source.Size() - sourceStart);
  int64_t recordPlace = Dest.Position();
  WriteEntryHeader(Dest, Record, Name);
  int32_t checksum = 0, compressed = 0;
  // A -1 on the last block leaves the source read to its end but the block unencoded:
  // the handler's answer is watched, not only the source's position.
  bool cancelled = false;
  const TShowProgressEvent handler = OnShowProgress;
  struct Restore {
    TShowProgressEvent& slot;
    const TShowProgressEvent& saved;
    ~Restore() { slot = saved; }
  } restore{OnShowProgress, handler};
  if (handler)
    OnShowProgress = [&](int32_t& done) {
      handler(done);
      if (done == -1) cancelled = true;
    };
  try {
    compressed = CompressStream(Dest, Source, Method, CompressID, checksum);
    // A run cut short by its progress handler (-1) holds only part of the data.
    if (Method != cmCUS && (cancelled || Source.Position() - sourceStart < expandedSize))
      throw ECompressionAborted(kMsgCompressionAborted);
  } catch (const EUnableToCompress&) {
    if (cancelled) throw ECompressionAborted(kMsgCompressionAborted);
    Method = cmNON;
    Dest.SetPosition(recordPlace + kArchiveEntrySize + Record.NameLength);
    Source.SetPosition(sourceStart);
    checksum = Wrap(static_cast<int64_t>(expandedSize > 0 ? CopySummed(Dest, Source, expandedSize) : 0) + Key);
    compressed = expandedSize;
  }
  int64_t endOfData = Dest.Position();
  Record.ExpandedSize = expandedSize;
  Record.CompressedSize = compressed;
  Record.Method = Method;
  Record.Checksum = checksum;
  Record.Locked = Key > 0 ? kLockedWithKey : 0;
  Dest.SetPosition(recordPlace);
  WriteEntryTo(Dest, Record);
  Dest.SetPosition(endOfData);
  lastRatio_ = expandedSize >= 1 ? PercentOf(compressed, expandedSize) : 100;
  return Record;
}

void TTandrelInstCompress::AddToArchive(const std::string& ArchiveFile, base::Stream& Source,
                                        const std::string& Name, uint8_t Method, int32_t Date,
                                        uint16_t Attr) {
  CheckEntryName(Name);
  const bool existing = base::FileExists(ArchiveFile);
  std::unique_ptr<base::FileStream> stream;
  if (existing)
    stream = std::make_unique<base::FileStream>(ArchiveFile,
                                                base::fmOpenReadWrite | base::fmShareExclusive);
  else
    stream = std::make_unique<base::FileStream>(ArchiveFile, base::fmCreate);
  try {
    AppendEntry(*stream, existing, Source, Name, Method, Date, Attr);
  } catch (...) {
    stream.reset();
    if (!existing) std::remove(ArchiveFile.c_str());  // no partial archive of our own left
    throw;
  }
}

void TTandrelInstCompress::AddToArchive(base::Stream& Archive, base::Stream& Source,
                                        const std::string& Name, uint8_t Method, int32_t Date,
                                        uint16_t Attr) {
  AppendEntry(Archive, Archive.Size() > 0, Source, Name, Method, Date, Attr);
}

void TTandrelInstCompress::AppendEntry(base::Stream& Archive, bool Existing, base::Stream& Source,
                                       const std::string& Name, uint8_t Method, int32_t Date,
                                       uint16_t Attr) {
  CheckEntryName(Name);
  std::string id = Method < 5 ? MethodIDs[Method] : "   ";
  TCompressedHeader header;
  const int64_t oldSize = Existing ? Archive.Size() : 0;
  uint8_t oldHeader[kCompressedHeaderSize] = {};
  const bool hadHeader = oldSize >= kCompressedHeaderSize;
  if (Existing) {
    Archive.SetPosition(0);
    ReadArchiveHeader(Archive, header, id);  // raises before anything is written
    if (hadHeader) {
      Archive.SetPosition(0);
      Archive.ReadBuffer(oldHeader, kCompressedHeaderSize);
    }
  } else {
    InitHeader(header, id, caMulti, 0);
  }
  // Puts the archive back as it was: its old end and its old header.
  auto rollBack = [&] {
    try {
      Archive.SetSize(oldSize);
      if (hadHeader) {
        Archive.SetPosition(0);
        Archive.Write(oldHeader, kCompressedHeaderSize);
      }
    } catch (...) {
    }
  };
  try {
    if (!hadHeader) {
      // Missing or too short to hold a header: start afresh over it.
      Archive.SetPosition(0);
      WriteHeaderTo(Archive, header);
    }
    Archive.Seek(0, base::SeekOrigin::End);
    TArchiveEntry record;
    record.FileDate = Date;
    record.Attributes = Attr;
    header.ExpandedSize =
        Wrap(static_cast<int64_t>(header.ExpandedSize) + (Source.Size() - Source.Position()));
    CompressToArchive(Archive, Source, Name, record, id, Method);
    for (int i = 0; i < 3; ++i) header.ID[i] = i < static_cast<int>(id.size()) ? id[i] : ' ';
    Archive.SetPosition(0);
    WriteHeaderTo(Archive, header);
  } catch (const base::EWriteError&) {
    rollBack();
    throw EInsufficientDiskSpace(kMsgInsufficientDiskSpace);
  } catch (...) {
    rollBack();
    throw;
  }
}
#endif
