#include "builder/common/EntryPipeline.h"

#include <algorithm>

void CompressEntry(TEntryJob& job, const TShowProgressEvent& progress, const std::string& spillName) {
  try {
    std::unique_ptr<base::Stream> source;
    if (job.preloaded) {
      source = std::make_unique<base::ReadOnlyMemoryStream>(job.preloaded->data(),
                                                            static_cast<int64_t>(job.preloaded->size()));
    } else {
      source = std::make_unique<base::FileStream>(job.source, base::fmOpenRead | base::fmShareDenyWrite);
      job.date = base::FileAge(job.source);
      job.attr = base::FileGetAttr(job.source);
    }
    // Entry sizes are 32-bit.
    if (source->Size() > INT32_MAX) {
      job.result = irAddFileFailed;
      return;
    }
    std::unique_ptr<base::FileStream> file;
    base::Stream* dest = nullptr;
    if (!job.preloaded && source->Size() >= kEntryInMemory) {
      job.spill = spillName;
      file = std::make_unique<base::FileStream>(spillName, base::fmCreate);
      dest = file.get();
    } else {
      job.memory = std::make_unique<base::MemoryStream>();
      dest = job.memory.get();
    }
    job.record = CompressArchiveEntry(*dest, *source, ArchiveEntryName(job.folder, job.source), job.date,
                                      job.attr, cmLH5, progress);
    job.size = dest->Position();
  } catch (...) {
    job.result = irAddFileFailed;
    job.memory.reset();
  }
}

TEntryPipeline::TEntryPipeline(std::vector<TEntryJob>& jobs, unsigned threads, bool relay, std::string spillFolder)
    : jobs_(jobs), spillFolder_(std::move(spillFolder)), relay_(relay), started_(jobs.size(), 0) {
  // The large entries first, largest first, so that none is left to run alone at the
  // end; then the rest in order, as the writer needs them.
  for (size_t i = 0; i < jobs_.size(); ++i)
    if (jobs_[i].expected >= kEntryInMemory) order_.push_back(i);
  std::stable_sort(order_.begin(), order_.end(),
                   [&](size_t a, size_t b) { return jobs_[a].expected > jobs_[b].expected; });
  for (size_t i = 0; i < jobs_.size(); ++i)
    if (jobs_[i].expected < kEntryInMemory) order_.push_back(i);
  const size_t workers = std::min<size_t>(threads < 2 ? 0 : threads, jobs_.size());
  try {
    for (size_t i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    // Fewer threads than asked; none at all works too.
  }
}

TEntryPipeline::~TEntryPipeline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  workReady_.notify_all();
  for (auto& t : workers_) t.join();
  for (auto& job : jobs_)
    if (!job.spill.empty()) base::RemoveFile(job.spill);
}

TEntryJob& TEntryPipeline::Take(size_t i, const TShowProgressEvent& perFile) {
  TEntryJob& job = jobs_[i];
  if (workers_.empty()) {
    if (!job.ready)
      CompressEntry(
          job,
          [&](int32_t& done) {
            if (job.progress && perFile) perFile(done);
          },
          SpillName(i));
    job.ready = true;
    return job;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    while (perFile && !job.refused && job.shown < job.percents.size()) {
      int32_t done = job.percents[job.shown++];
      lock.unlock();
      perFile(done);
      lock.lock();
      job.refused = done == -1;
    }
    if (job.ready) break;
    jobDone_.wait(lock);
  }
  if (job.refused) job.result = irAddFileFailed;
  return job;
}

void TEntryPipeline::Release(size_t i) {
  TEntryJob& job = jobs_[i];
  {
    std::lock_guard<std::mutex> lock(mutex_);
    (job.spill.empty() ? heldMemory_ : heldFiles_) -= job.held;
    job.held = 0;
    written_ = i + 1;
  }
  job.memory.reset();
  job.preloaded.reset();
  job.percents = {};
  if (!job.spill.empty()) {
    base::RemoveFile(job.spill);
    job.spill.clear();
  }
  workReady_.notify_all();
}

bool TEntryPipeline::Pick(size_t& i, bool& found) {
  if (written_ < jobs_.size() && !started_[written_]) {
    i = written_;
    return found = true;
  }
  while (pos_ < order_.size() && started_[order_[pos_]]) ++pos_;
  if (pos_ == order_.size()) return true;  // nothing left
  i = order_[pos_];
  const bool large = jobs_[i].expected >= kEntryInMemory && !jobs_[i].preloaded;
  return found = large ? heldFiles_ < kWindowFiles : heldMemory_ < kWindowMemory;
}

void TEntryPipeline::Work() {
  for (;;) {
    size_t i = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      bool found = false;
      workReady_.wait(lock, [&] { return stop_ || Pick(i, found); });
      if (stop_ || !found) return;
      started_[i] = 1;
      if (jobs_[i].ready) continue;
    }
    TEntryJob& job = jobs_[i];
    CompressEntry(
        job,
        [&](int32_t& done) {
          bool front = false;
          {
            std::lock_guard<std::mutex> lock(mutex_);
            if (job.progress && relay_) {
              job.percents.push_back(done);
              front = i == written_;
            }
            if (stop_ || job.refused) done = -1;
          }
          // The writer waits for this one: it shows the progress as it comes.
          if (front) jobDone_.notify_all();
        },
        SpillName(i));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job.held = job.result == irSuccess ? job.size : 0;
      (job.spill.empty() ? heldMemory_ : heldFiles_) += job.held;
      job.ready = true;
    }
    jobDone_.notify_all();
  }
}
