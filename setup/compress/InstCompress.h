// The compression component: compressed single streams and "VELT" archives.
//
// Two builds share this unit. The builder links tandrel_compress (everything); the
// setup engine links tandrel_compress_expand, compiled with TANDREL_EXPAND_ONLY, which
// has no encoders and none of the archive-writing operations.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "base/Strings.h"

#ifdef _WIN32
#include "base/win/ResourceStream.h"
#endif

// ---------------------------------------------------------------------------------
// Format

constexpr int32_t kCompressedHeaderSize = 21;
constexpr int32_t kArchiveEntrySize = 25;
constexpr char kCompressSignature[5] = {'V', 'E', 'L', 'T', 0x1A};
constexpr const char* kCompressResourceType = "TCOMPRESS";

// Archive type of a header.
enum TCompressArchiveType : uint8_t { caSingle = 0, caMulti = 1 };

// Method indexes, the positions of the IDs in TTandrelInstCompress::MethodIDs.
constexpr uint8_t cmNON = 0;  // stored
constexpr uint8_t cmRLE = 1;
constexpr uint8_t cmLZH = 2;
constexpr uint8_t cmCUS = 3;  // custom, through OnCompress / OnExpand
constexpr uint8_t cmLH5 = 4;

// Lock flag of a run written with a positive Key.
constexpr int32_t kLockedWithKey = 2;

// The 21-byte header at the start of every archive and single stream.
struct TCompressedHeader {
  char Signature[5] = {0, 0, 0, 0, 0};
  char ID[3] = {0, 0, 0};       // three ASCII letters, no terminator
  int32_t ExpandedSize = 0;     // single: bytes after expansion; archive: sum over entries
  uint8_t ArchiveType = 0;      // caSingle / caMulti
  int32_t Checksum = 0;         // single: checksum of the data; archive: 0
  int32_t Locked = 0;           // 0, or 2 when written with a key

  bool HasSignature() const;
  std::string MethodID() const { return std::string(ID, 3); }
};

// The 25-byte record in front of every archive entry's name and data.
struct TArchiveEntry {
  int16_t NameLength = 0;
  int32_t FileDate = 0;         // packed DOS date (high word) and time (low word)
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t CompressedSize = 0;
  uint8_t Method = 0;           // method index 0-4
  int32_t Checksum = 0;
  int32_t Locked = 0;
};

// Little-endian byte images of the two records, exactly as stored.
void EncodeHeader(const TCompressedHeader& header, uint8_t out[kCompressedHeaderSize]);
TCompressedHeader DecodeHeader(const uint8_t in[kCompressedHeaderSize]);
void EncodeEntry(const TArchiveEntry& entry, uint8_t out[kArchiveEntrySize]);
TArchiveEntry DecodeEntry(const uint8_t in[kArchiveEntrySize]);

// Stream helpers over those images; Read* raise base::EReadError when short.
void WriteHeaderTo(base::Stream& stream, const TCompressedHeader& header);
void ReadHeaderFrom(base::Stream& stream, TCompressedHeader& header);
void WriteEntryTo(base::Stream& stream, const TArchiveEntry& entry);
void ReadEntryFrom(base::Stream& stream, TArchiveEntry& entry);

// The byte sum (wrapping) that checksums are made of.
int32_t ByteSum(const void* data, size_t size, int32_t start = 0);

// The name a build gives an entry: the folder, a backslash and the file-name part of the
// source path. Readers compare names without regard to case.
inline std::string ArchiveEntryName(const std::string& folder, const std::string& sourceFile) {
  return folder + "\\" + base::ExtractFileName(sourceFile);
}

// ---------------------------------------------------------------------------------
// Failures

TANDREL_EXCEPTION(ELZHBadDecodeTable, base::Exception);
TANDREL_EXCEPTION(EUnableToCompress, base::Exception);
#ifndef TANDREL_EXPAND_ONLY
TANDREL_EXCEPTION(EInsufficientDiskSpace, base::Exception);
// An entry name that the record's signed 16-bit length cannot hold.
TANDREL_EXCEPTION(EEntryNameTooLong, base::Exception);
// A progress handler set -1 (or the source ended early): the entry is not added.
TANDREL_EXCEPTION(ECompressionAborted, base::Exception);
constexpr size_t kMaxEntryNameLength = 32767;
#endif
TANDREL_EXCEPTION(EUnrecognizedCompressionMethod, base::Exception);
TANDREL_EXCEPTION(EInvalidHeaderArchiveType, base::Exception);
TANDREL_EXCEPTION(EInvalidHeader, base::Exception);
TANDREL_EXCEPTION(EBadChecksum, base::Exception);
TANDREL_EXCEPTION(EInvalidKey, base::Exception);

extern const char* const kMsgBadDecodeTable;         // "Bad decode table in archive!"
extern const char* const kMsgUnableToCompress;       // "Could not compress data"
extern const char* const kMsgInsufficientDiskSpace;  // "Disk protected or full during compression"
extern const char* const kMsgCompressionAborted;     // "Compression aborted: the source was not read to its end"
extern const char* const kMsgArchiveTypeMulti;       // "Archive type must be caMulti"
extern const char* const kMsgArchiveTypeSingle;      // "Expand can't handle caMulti archive type in compressed header"
extern const char* const kMsgInvalidHeader;          // "Can't recognize compressed file header"
extern const char* const kMsgBadChecksum;            // "Bad checksum during expansion -- data may be invalid"
extern const char* const kMsgInvalidKey;             // "File locked -- valid key required"
extern const char* const kMsgRLEDisabled;            // "RLE compression disabled in this build"
extern const char* const kMsgLZH1Disabled;           // "LZH1 compression disabled in this build"
extern const char* const kMsgLZH5Disabled;           // "LZH5 compression disabled in this build"
std::string UnrecognizedMethodText(const std::string& id);

// ---------------------------------------------------------------------------------
// Component

enum TCProcessMode : uint8_t { pmCompress, pmExpand };

using TCompressEvent = std::function<void(base::Stream& dest, base::Stream& source,
                                          std::string& CompressID, int32_t& Outputsize,
                                          int32_t& checksum)>;
using TExpandEvent = std::function<void(base::Stream& dest, base::Stream& source,
                                        int32_t Sourcesize, int32_t Destsize,
                                        const std::string& CompressID, int32_t& checksum)>;
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

#ifdef _WIN32
// A "TCOMPRESS" resource of a module, with the module kept loaded while it is read.
class TCompressResource {
public:
  TCompressResource(HMODULE module, bool owned, const std::string& resName);
  base::Stream& Stream() { return *stream_; }

private:
  base::win::Library library_;  // released after the stream (declared first)
  std::unique_ptr<base::win::ResourceStream> stream_;
};
#endif

class TTandrelInstCompress {
public:
  static constexpr const char* MethodIDs[5] = {"NON", "RLE", "LZH", "CUS", "LH5"};

  // Events.
  TCompressEvent OnCompress;
  TExpandEvent OnExpand;
  TFilenameCheckEvent OnCheckFile;  // stored only
  TRecognizeEvent OnRecognize;
  TShowProgressEvent OnShowProgress;

  // Properties (stored only unless said otherwise).
  const std::string& TargetPath() const { return targetPath_; }
  void SetTargetPath(const std::string& Value);
  bool MakeDirectories = false;
  bool ExceptionOnFileError = false;
  int32_t Key = 0;  // lock key; 0 = no lock
  bool CheckSpaceBeforeExpand = false;

  int32_t LastRatio() const { return lastRatio_; }  // percent, last archive entry
  int32_t Elapsed() const { return elapsed_; }      // ms, last CompressStream / ExpandData
  int32_t BudgetMargin() const { return budgetMargin_; }

  // Format operations.
  void InitHeader(TCompressedHeader& Header, const std::string& ID, uint8_t ArchiveType,
                  int32_t ExpandedSize) const;
  uint8_t MethodFromID(const std::string& ID);
  void ReadArchiveHeader(base::Stream& Stream, TCompressedHeader& Header, std::string& ID);

  // Expansion. ExpandData expands Count bytes of Source (at its position) into Dest.
  void ExpandData(base::Stream& Dest, base::Stream& Source, int32_t Count, int32_t ExpandedSize,
                  int32_t StoredChecksum, uint8_t Method, const std::string& ID,
                  int32_t LockFlag);
  // Expands a single stream (or copies plain data) from Source's position to its end.
  void ExpandStream(base::Stream& Dest, base::Stream& Source);

#ifdef _WIN32
  // ModuleFile empty: the program's own module. Raises base::Exception
  // "Could not load <ModuleFile> DLL" when the module cannot be loaded.
  std::unique_ptr<TCompressResource> GetResourceStream(const std::string& ResName,
                                                       const std::string& ModuleFile);
  // The expanded resource, positioned at 0; owned by the caller.
  std::unique_ptr<base::MemoryStream> ExpandResource(const std::string& ResName,
                                                     const std::string& ModuleFile);
#endif

#ifndef TANDREL_EXPAND_ONLY
  // Compresses Source (from its start, Source.Size bytes) into Dest; returns bytes written.
  int32_t CompressStream(base::Stream& Dest, base::Stream& Source, uint8_t Method,
                         std::string& CompressID, int32_t& Checksum);
  void WriteEntryHeader(base::Stream& Dest, TArchiveEntry& Record, const std::string& Name);
  // Writes one entry (record, name, data) at Dest's position; returns its record.
  TArchiveEntry CompressToArchive(base::Stream& Dest, base::Stream& Source, const std::string& Name,
                                  TArchiveEntry Record, std::string& CompressID, uint8_t Method);
  // Appends one entry; on any failure the archive is left as it was (a new one is not
  // left behind) and a write failure raises EInsufficientDiskSpace.
  void AddToArchive(const std::string& ArchiveFile, base::Stream& Source,
                    const std::string& Name, uint8_t Method, int32_t Date, uint16_t Attr);
  // The same on an archive stream; an empty stream gets a fresh header.
  void AddToArchive(base::Stream& Archive, base::Stream& Source, const std::string& Name,
                    uint8_t Method, int32_t Date, uint16_t Attr);
#endif

private:
#ifndef TANDREL_EXPAND_ONLY
  void AppendEntry(base::Stream& Archive, bool Existing, base::Stream& Source, const std::string& Name,
                   uint8_t Method, int32_t Date, uint16_t Attr);
#endif
  int32_t lastRatio_ = 0;
  int32_t elapsed_ = 0;
  std::string targetPath_;
  int32_t budgetMargin_ = 0;
};
