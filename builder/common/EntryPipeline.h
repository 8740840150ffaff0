// The entries of an archive compressed on every core: worker threads compress ahead and
// the build's own thread writes them in the project's order.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Streams.h"
#include "setup/compress/ArchiveWriter.h"
#include "setup/compress/InstCompress.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/PackageLayout.h"

// Entries are compressed ahead on worker threads and written by the build's own thread in
// the project's order; the window of compressed entries awaiting their turn is bounded.
// An entry from this size up is compressed into a file of its own rather than memory.
constexpr int64_t kEntryInMemory = int64_t{1} << 20;
constexpr int64_t kWindowMemory = int64_t{16} << 20;
constexpr int64_t kWindowFiles = int64_t{256} << 20;

struct TEntryJob {
  std::string source, folder;
  // The host's per-file progress follows this entry.
  bool progress = false;
  // The source as read already (the engine, read whole for its cache key).
  std::shared_ptr<const std::vector<uint8_t>> preloaded;
  int32_t date = -1;
  uint16_t attr = 0;
  int64_t expected = 0;  // the source's size when the job was made
  // The size the packed project gives the file, which the engine checks against the
  // entry before it installs anything; -1 when it gives none.
  int64_t packedAs = -1;

  // The outcome, owned by the compressing thread until ready.
  int result = irSuccess;
  std::unique_ptr<base::MemoryStream> memory;
  std::string spill;
  int64_t size = 0;
  TArchiveEntry record;
  std::vector<int32_t> percents;  // the progress of its compression, for the host
  size_t shown = 0;                // of which the host has seen so many
  bool refused = false;            // the host answered -1
  int64_t held = 0;                // counted in the window
  bool ready = false;
};

// Compresses one entry, calling progress as the source is read.
void CompressEntry(TEntryJob& job, const TShowProgressEvent& progress, const std::string& spillName);

class TEntryPipeline {
public:
  // Threads below 2 compress each entry on the build's thread when it is taken. Relay:
  // the host follows the progress of each file.
  TEntryPipeline(std::vector<TEntryJob>& jobs, unsigned threads, bool relay, std::string spillFolder);
  ~TEntryPipeline();
  TEntryPipeline(const TEntryPipeline&) = delete;
  TEntryPipeline& operator=(const TEntryPipeline&) = delete;

  // Job i compressed, its progress shown to the host's handler while it runs; a -1 from
  // the handler fails the entry.
  TEntryJob& Take(size_t i, const TShowProgressEvent& perFile);
  // Job i is written (or given up): its bytes go, the window moves on.
  void Release(size_t i);

private:
  std::string SpillName(size_t i) const { return spillFolder_ + "entry" + std::to_string(i) + ".tmp"; }
  // Under the lock: true when the wait is over, with found telling whether job i is one
  // to compress. The entry the writer waits for is handed out whatever the window holds.
  bool Pick(size_t& i, bool& found);
  void Work();

  std::vector<TEntryJob>& jobs_;
  std::string spillFolder_;
  bool relay_;
  std::mutex mutex_;
  std::condition_variable workReady_, jobDone_;
  std::vector<char> started_;
  std::vector<size_t> order_;  // the order jobs are handed out in
  size_t pos_ = 0, written_ = 0;
  int64_t heldMemory_ = 0, heldFiles_ = 0;
  bool stop_ = false;
  std::vector<std::thread> workers_;
};
