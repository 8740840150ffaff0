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
// Creates a new empty file named stem, or stem + "1", stem + "2", ... when a file of
// that name is there already (it is never opened or truncated); returns the name made.
// EFCreateError when none can be made.
std::string CreateUniqueFile(const std::string& stem);
// Whole-file helpers for tests and tools.
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);

}  // namespace base
