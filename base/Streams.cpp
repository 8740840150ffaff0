#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Exceptions.h"
#include "base/Strings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#endif

namespace base {

void Stream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

int64_t Stream::Size() {
  int64_t pos = Seek(0, SeekOrigin::Current);
  int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Beginning);
  return end;
}

void Stream::ReadBuffer(void* buffer, int32_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void Stream::WriteBuffer(const void* buffer, int32_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t Stream::CopyFrom(Stream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(count, 61440)) + 1);
  while (count > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(buf.size())));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    count -= n;
  }
  return total;
}

// ---- MemoryStream

int32_t MemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || pos_ >= Size()) return 0;
  int64_t n = std::min<int64_t>(count, Size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return static_cast<int32_t>(n);
}

int32_t MemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0 || pos_ < 0) return 0;
  int64_t end = pos_ + count;
  if (end > Size()) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  return count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: pos_ = offset; break;
    case SeekOrigin::Current: pos_ += offset; break;
    case SeekOrigin::End: pos_ = Size() + offset; break;
  }
  return pos_;
}

void MemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EOutOfMemory("Out of memory while expanding memory stream");
  data_.resize(static_cast<size_t>(size));
  if (pos_ > size) pos_ = size;
}

// ---- ReadOnlyMemoryStream

int32_t ReadOnlyMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || pos_ < 0 || pos_ >= size_) return 0;
  int64_t n = std::min<int64_t>(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
  pos_ += n;
  return static_cast<int32_t>(n);
}

int64_t ReadOnlyMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: pos_ = offset; break;
    case SeekOrigin::Current: pos_ += offset; break;
    case SeekOrigin::End: pos_ = size_ + offset; break;
  }
  return pos_;
}

// ---- FileStream

#ifdef _WIN32
FileStream::FileStream(const std::string& fileName, unsigned mode) : name_(fileName) {
  if (mode == fmCreate || mode == fmCreateNew) {
    handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          mode == fmCreate ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file " + fileName);
    return;
  }
  static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (mode & 0xF0) {
    case fmShareExclusive: share = 0; break;
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    default: break;
  }
  handle_ = CreateFileA(fileName.c_str(), access[std::min(mode & 3u, 2u)], share, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file " + fileName);
}

FileStream::~FileStream() { CloseHandle(handle_); }

int32_t FileStream::Read(void* buffer, int32_t count) {
  DWORD got = 0;
  if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
  return static_cast<int32_t>(got);
}

int32_t FileStream::Write(const void* buffer, int32_t count) {
  DWORD put = 0;
  if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &put, nullptr)) return 0;
  return static_cast<int32_t>(put);
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
  static const DWORD how[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER d, r;
  d.QuadPart = offset;
  if (!SetFilePointerEx(handle_, d, &r, how[static_cast<int>(origin)])) return -1;
  return r.QuadPart;
}

void FileStream::SetSize(int64_t size) {
  Seek(size, SeekOrigin::Beginning);
  if (!SetEndOfFile(handle_)) throw EStreamError("Stream size cannot be changed");
}

bool FileExists(const std::string& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& folder) {
  DWORD a = GetFileAttributesA(folder.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

uint16_t FileGetAttr(const std::string& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? 0 : static_cast<uint16_t>(a);
}

namespace {
// The directory entry of one file; false when there is none.
bool FindEntry(const std::string& fileName, WIN32_FIND_DATAA& found) {
  HANDLE find = FindFirstFileA(fileName.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

std::string FullPath(const std::string& f) {
  char buf[MAX_PATH * 2];
  char* part = nullptr;
  DWORD n = GetFullPathNameA(f.c_str(), sizeof buf, buf, &part);
  return n == 0 || n >= sizeof buf ? f : std::string(buf, n);
}

// The volume and index of an existing file.
bool FileIdentity(const std::string& f, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileA(f.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}
}  // namespace

int32_t FileAge(const std::string& fileName) {
  WIN32_FIND_DATAA fd;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FindEntry(fileName, fd) || !FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time))
    return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

int64_t FileSize(const std::string& fileName) {
  WIN32_FIND_DATAA fd;
  if (!FindEntry(fileName, fd)) return -1;
  return (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

void RemoveFile(const std::string& fileName) { DeleteFileA(fileName.c_str()); }
bool CreateDir(const std::string& folder) { return CreateDirectoryA(folder.c_str(), nullptr) != 0; }
void RemoveDir(const std::string& folder) { RemoveDirectoryA(folder.c_str()); }

bool MoveReplacing(const std::string& finished, const std::string& target) {
  if (MoveFileExA(finished.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // The 95 family has no MoveFileExA.
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  DWORD a = GetFileAttributesA(target.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target.c_str())) return false;
  return MoveFileA(finished.c_str(), target.c_str()) != 0;
}

std::string CreateTempFileIn(const std::string& folder, const std::string& prefix) {
  char name[MAX_PATH + 1] = {};
  std::string dir = folder.empty() ? "." : folder;
  if (GetTempFileNameA(dir.c_str(), prefix.c_str(), 0, name) == 0)
    throw EFCreateError("Cannot create file " + IncludeTrailingBackslash(dir) + prefix + "*.tmp");
  return name;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (AnsiSameText(FullPath(a), FullPath(b))) return true;
  BY_HANDLE_FILE_INFORMATION x, y;
  return FileIdentity(a, x) && FileIdentity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

std::string IncludeTrailingPathDelimiter(const std::string& folder) { return IncludeTrailingBackslash(folder); }
#else
FileStream::FileStream(const std::string& fileName, unsigned mode) : name_(fileName) {
  if (mode == fmCreate || mode == fmCreateNew) {
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | (mode == fmCreate ? O_TRUNC : O_EXCL), 0644);
    if (fd_ < 0) throw EFCreateError("Cannot create file " + fileName);
    return;
  }
  static const int flags[] = {O_RDONLY, O_WRONLY, O_RDWR};
  fd_ = ::open(fileName.c_str(), flags[std::min(mode & 3u, 2u)]);
  if (fd_ < 0) throw EFOpenError("Cannot open file " + fileName);
}

FileStream::~FileStream() { ::close(fd_); }

int32_t FileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

int32_t FileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t n = ::write(fd_, buffer, static_cast<size_t>(count));
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
  static const int how[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(fd_, offset, how[static_cast<int>(origin)]);
}

void FileStream::SetSize(int64_t size) {
  if (::ftruncate(fd_, size) != 0) throw EStreamError("Stream size cannot be changed");
  if (Position() > size) Seek(size, SeekOrigin::Beginning);
}

bool FileExists(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& folder) {
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint16_t FileGetAttr(const std::string& fileName) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0) return 0;
  return static_cast<uint16_t>(0x20 | ((st.st_mode & 0200) ? 0 : 0x01));
}

int32_t FileAge(const std::string& fileName) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0) return -1;
  std::tm t{};
  localtime_r(&st.st_mtime, &t);
  if (t.tm_year < 80) return -1;
  uint32_t date = (static_cast<uint32_t>(t.tm_year - 80) << 9) | (static_cast<uint32_t>(t.tm_mon + 1) << 5) |
                  static_cast<uint32_t>(t.tm_mday);
  uint32_t time = (static_cast<uint32_t>(t.tm_hour) << 11) | (static_cast<uint32_t>(t.tm_min) << 5) |
                  static_cast<uint32_t>(t.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

int64_t FileSize(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
}

void RemoveFile(const std::string& fileName) { ::unlink(fileName.c_str()); }
bool CreateDir(const std::string& folder) { return ::mkdir(folder.c_str(), 0700) == 0; }
void RemoveDir(const std::string& folder) { ::rmdir(folder.c_str()); }

bool MoveReplacing(const std::string& finished, const std::string& target) {
  return std::rename(finished.c_str(), target.c_str()) == 0;
}

std::string CreateTempFileIn(const std::string& folder, const std::string& prefix) {
  std::string pattern = (folder.empty() ? std::string("./") : folder) + prefix + "XXXXXX.tmp";
  int fd = mkstemps(pattern.data(), 4);
  if (fd < 0) throw EFCreateError("Cannot create file " + pattern);
  ::close(fd);
  return pattern;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  if (::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0) return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
  return a == b;
}

std::string IncludeTrailingPathDelimiter(const std::string& folder) {
  return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}
#endif

std::string CreateUniqueFile(const std::string& stem) {
  for (int n = 0; n < 10000; ++n) {
    const std::string name = n == 0 ? stem : stem + std::to_string(n);
#ifdef _WIN32
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    const DWORD err = GetLastError();
    // Access is also denied for a folder of that name; a folder we cannot write ends it.
    const bool taken = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS ||
                       (err == ERROR_ACCESS_DENIED && GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!taken) break;
#else
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) break;
#endif
  }
  throw EFCreateError("Cannot create file " + stem);
}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
  FileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  std::vector<uint8_t> bytes(static_cast<size_t>(f.Size()));
  f.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  FileStream f(fileName, fmCreate);
  f.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

}  // namespace base
