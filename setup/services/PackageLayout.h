// The setup package: the launcher stub (S bytes, S stored behind its size marker), then
// archive 1 and archive 2, each behind its 32-bit little-endian length.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/compress/InstCompress.h"  // ArchiveEntryName

constexpr const char* kSizeMarker = "ZEM_SIZEXXXX";  // as the stub carries it before a build
constexpr int32_t kSizeMarkerKeyLength = 8;          // "ZEM_SIZE"; the value follows
constexpr int32_t kMarkerChunk = 16384;

// File offset of the first occurrence of the 8-byte key, searched in chunks of 16384
// bytes that overlap by 8 from the stream's start; -1 when there is none or when fewer
// than 4 bytes follow it.
int64_t FindSizeMarker(base::Stream& stream, const char* key);

// Writes the stream's size behind the first occurrence of key ("ZEM_SIZE": the stub
// must not carry a second copy of it, so the text is the caller's); the size, or 0 when
// there is no such marker.
int32_t PatchSizeMarker(base::Stream& stream, const char* key);

// Where the parts of a package lie.
struct TPackageLayout {
  uint32_t StubSize = 0;   // S
  uint32_t Archive1Size = 0;
  uint32_t Archive2Size = 0;
  uint64_t Archive1Offset() const { return uint64_t{StubSize} + 4; }
  uint64_t Archive2LengthOffset() const { return Archive1Offset() + Archive1Size; }
  uint64_t Archive2Offset() const { return Archive2LengthOffset() + 4; }
  uint64_t TotalSize() const { return Archive2Offset() + Archive2Size; }
};

enum class TPackageCheck {
  Ok,
  NoMarker,        // no size marker, or S is 0
  StubTooLarge,    // S points past the file's end
  Archive1Short,   // archive 1 runs past the file's end
  Archive2Short,   // archive 2 runs past the file's end
};

// Reads S behind the first occurrence of key, then L1 and L2; Ok only when the whole of
// both archives lies inside the stream (bytes after archive 2 are allowed).
TPackageCheck ReadPackageLayout(base::Stream& package, const char* key, TPackageLayout& layout);

// One file that a build puts into an archive.
struct TArchiveItem {
  std::string Folder;
  std::string SourceFile;
};
// Two different source files that end up under one entry name (names and paths
// compared without regard to case); the reader of the archive would only ever find
// the first.
struct TEntryClash {
  std::string EntryName;
  std::string FirstFile;
  std::string SecondFile;
};
std::vector<TEntryClash> FindEntryClashes(const std::vector<TArchiveItem>& items);
// The same across the folders of archive 1: the engine takes all of them into one
// support folder by file name, so two different files of one name would overwrite each
// other there. EntryName is then that file name; files of one folder are left to
// FindEntryClashes.
std::vector<TEntryClash> FindSupportFolderClashes(const std::vector<TArchiveItem>& items);
// The log lines for a clash.
std::string EntryClashText(const TEntryClash& clash);
std::string SupportClashText(const TEntryClash& clash);
