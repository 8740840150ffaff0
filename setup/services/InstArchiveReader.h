// The setup engine's reading half of the "VELT" archive format: listing an archive and
// taking one named entry out of it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Streams.h"
#include "setup/compress/InstCompress.h"
#include "setup/services/InstTypes.h"

// One entry as listed.
struct TCompressedFileInfo {
  int32_t FileDate = 0;        // packed DOS date and time from the record
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t CompressedSize = 0;
  uint8_t Method = 0;
  int32_t Checksum = 0;
  int32_t EntryOffset = 0;     // position of the entry's 25-byte record
  bool Locked = false;         // the record's lock field is above 0
};

// Entry names (folder "\" file, as stored) with their records, in archive order;
// duplicate names stay.
using TCompressedFileList = std::vector<std::pair<std::string, TCompressedFileInfo>>;

// Index of the first entry of that name, ignoring case; -1 when there is none.
int IndexOfArchivedFile(const TCompressedFileList& list, const std::string& name);

class TInstArchiveReader : public TTandrelInstCompress {
public:
  // Reads a 25-byte record and its name; false unless both were read whole. A negative
  // name length counts as unreadable.
  bool ReadEntryHeader(base::Stream& Stream, TArchiveEntry& Rec, std::string& Name);
  // Appends every entry of the archive that starts at the stream's position. The walk
  // ends at the first record that cannot be read whole or whose sizes are negative or
  // run past the end of the stream; nothing after it is listed.
  void ListArchiveStream(base::Stream& Stream, TCompressedFileList& List);
  // The walk of ListArchiveStream: each entry with its record, the position of the
  // record and of its data. Header and ID receive the archive header.
  using TEntryVisitor = std::function<void(const std::string& Name, const TArchiveEntry& Rec,
                                           int64_t RecordPos, int64_t DataPos)>;
  void WalkArchiveStream(base::Stream& Stream, TCompressedHeader& Header, std::string& ID,
                         const TEntryVisitor& Visit);
  // The file opened read-only and exclusive.
  void ListArchive(const std::string& FileName, TCompressedFileList& List);
  // Expands the first entry named EntryName (ignoring case) into Dest; an entry that is
  // not reached before the header's total leaves Dest untouched.
  void ExpandArchivedFile(const std::string& ArchiveFile, base::Stream& Dest,
                          const std::string& EntryName);
  void ExpandArchivedStream(base::Stream& Source, base::Stream& Dest, const std::string& EntryName);
  static void ClearFileList(TCompressedFileList* List);
};

// True when the archive file is whole: a readable header, every record and its data
// within the file up to its very end, the entries' sizes adding up to the header's total,
// and every entry expanding to its recorded size and checksum. Listing (when given)
// receives the entries walked.
bool ArchiveFileIsWhole(const std::string& ArchiveFile, TCompressedFileList* Listing = nullptr);

// One component for the call; Dest stays the caller's.
void ExpandFileFromArchive(const std::string& ArchiveFile, base::Stream& Dest,
                           const std::string& EntryName, const TShowProgressEvent& OnShowProgress);
// The entry's attributes and date; raises EStringListError for a name the archive lacks.
void GetArchivedFileInfo(const std::string& ArchiveFile, const std::string& EntryName,
                         TDateTime& FileDateTime, uint16_t& Attributes);
// The whole record of the first entry of that name; same failure.
TCompressedFileInfo GetArchivedEntryInfo(const std::string& ArchiveFile, const std::string& EntryName);

// ExpandArchivedFile, ExpandFileFromArchive, GetArchivedEntryInfo and GetArchivedFileInfo
// find entries through one index of the archive file last used: listed once, kept while
// the file keeps its path, size and write time and the entry's record is still in place,
// so that installing many files from one archive walks it once. Each gives what a walk
// of the file would give.
void ResetArchiveIndex();

// While a hold lives, its archive file stays open (exclusive, as every open here, so that
// nobody changes it meanwhile): the calls above read it through that one handle, and an
// index listed through it is used without looking at the file again. One hold at a time;
// a file that cannot be opened is not held, and each call then fails as without a hold.
class TArchiveHold {
public:
  explicit TArchiveHold(const std::string& ArchiveFile);
  ~TArchiveHold();
  TArchiveHold(const TArchiveHold&) = delete;
  TArchiveHold& operator=(const TArchiveHold&) = delete;

private:
  bool owner_ = false;
};
int ArchiveIndexListings();  // walks made to build the index since the last reset
