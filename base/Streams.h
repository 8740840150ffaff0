// Streams with the class library's semantics: Read/Write move as far as they can and
// return the count; ReadBuffer/WriteBuffer raise EReadError/EWriteError when short.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace base {

enum class SeekOrigin { Beginning, Current, End };

class Stream {
public:
  virtual ~Stream() = default;
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual void SetSize(int64_t size);

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Beginning); }
  virtual int64_t Size();

  void ReadBuffer(void* buffer, int32_t count);    // EReadError "Stream read error"
  void WriteBuffer(const void* buffer, int32_t count);  // EWriteError "Stream write error"
  // Copies count bytes from source (count 0: the whole source from its start).
  int64_t CopyFrom(Stream& source, int64_t count);
};

class MemoryStream : public Stream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  void SetSize(int64_t size) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void Clear() { data_.clear(); pos_ = 0; }

  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t>& Bytes() { return data_; }
  const uint8_t* Memory() const { return data_.data(); }

private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// A read-only stream over bytes it does not own (resources, fuzz inputs).
class ReadOnlyMemoryStream : public Stream {
public:
  ReadOnlyMemoryStream(const void* data, int64_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return size_; }

private:
  const uint8_t* data_;
  int64_t size_;
  int64_t pos_ = 0;
};

enum FileMode : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFFFF,
  fmCreateNew = 0xFFFE,  // like fmCreate, but EFCreateError when the name is taken
};

class FileStream : public Stream {
public:
  // EFCreateError "Cannot create file <name>" / EFOpenError "Cannot open file <name>".
  FileStream(const std::string& fileName, unsigned mode);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return name_; }
#ifdef _WIN32
  void* Handle() const { return handle_; }
#endif

private:
  std::string name_;
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
#endif
};

bool FileExists(const std::string& fileName);       // a file, not a folder
bool DirectoryExists(const std::string& folder);
// The file's attribute bits (FILE_ATTRIBUTE_*); 0 when it is missing. Elsewhere than
// Windows: the archive bit, and read-only when the owner may not write it.
uint16_t FileGetAttr(const std::string& fileName);
// The last write in local time as a packed DOS date (high word) and time (low word),
// found by a directory search (the 95 family has no GetFileAttributesExA); -1 when the
// file is missing or older than 1980.
int32_t FileAge(const std::string& fileName);
// The size in bytes, found by a directory search; -1 when there is no such file.
int64_t FileSize(const std::string& fileName);
void RemoveFile(const std::string& fileName);       // errors ignored
bool CreateDir(const std::string& folder);           // one level; false when it fails
void RemoveDir(const std::string& folder);           // an empty folder; errors ignored
// Moves finished over target, replacing it; false when it fails.
bool MoveReplacing(const std::string& finished, const std::string& target);
// A new empty file of a unique name in folder (the current folder when empty): prefix
// (up to 3 characters) with a unique part and ".tmp". EFCreateError when none can be made.
std::string CreateTempFileIn(const std::string& folder, const std::string& prefix);
// Two names of one file: the same full path (ignoring case on Windows), or the same
// file by its volume and index (short names, other spellings of the folder).
bool SameFile(const std::string& a, const std::string& b);
// The folder with the running system's path separator at its end.
std::string IncludeTrailingPathDelimiter(const std::string& folder);
// Creates a new empty file named stem, or stem + "1", stem + "2", ... when a file of
// that name is there already (it is never opened or truncated); returns the name made.
// EFCreateError when none can be made.
std::string CreateUniqueFile(const std::string& stem);
// Whole-file helpers for tests and tools.
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);

}  // namespace base
