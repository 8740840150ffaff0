// Any bytes either list and expand to an end or raise one of the reader's errors; the
// walk never runs past the stream, never goes back, and never allocates from a length
// it has not checked (ASan and the run time catch those).
#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "setup/services/InstArchiveReader.h"
#include "tests/services/ArchiveFixture.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  seeds->push_back(fixture::Archive({{"G\\a.dll", "first"}, {"G\\b", "bee"}, {"g\\A.DLL", "second"}}));
  seeds->push_back(fixture::Header(3, "LZH") + fixture::Record({"G\\a", "\x01\x02\x03", 0, 0, 3, 3, 4, 12345}));
  seeds->push_back(fixture::Header(3, "LH5") + fixture::Record({"G\\a", "\x00\x05\x10\x20", 0, 0, 40, 4, 4}));
  seeds->push_back(fixture::Header(3, "RLE") + fixture::Record({"G\\a", "\x90\x03" "a", 0, 0, 3, 3, 1}));
  seeds->push_back(fixture::Header(9) + fixture::Record({"G\\a", "abc"}) + fixture::Record({"G\\e", ""}) +
                   fixture::Record({"G\\z", "zz"}));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int64_t n = static_cast<int64_t>(size);
  TCompressedFileList list;
  try {
    base::ReadOnlyMemoryStream in(data, n);
    TInstArchiveReader reader;
    reader.ListArchiveStream(in, list);
  } catch (const base::Exception&) {
    return 0;
  }
  int64_t last = -1;
  for (const auto& [name, info] : list) {
    // Forward only, and every listed entry lies inside the stream.
    if (info.EntryOffset <= last || info.CompressedSize < 0 ||
        info.EntryOffset + 25 + static_cast<int64_t>(name.size()) + info.CompressedSize > n)
      __builtin_trap();
    last = info.EntryOffset;
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < list.size() && i < 4; ++i) names.push_back(list[i].first);
  names.push_back("G\\a");
  for (const auto& name : names) {
    try {
      base::ReadOnlyMemoryStream in(data, n);
      base::MemoryStream out;
      TInstArchiveReader reader;
      reader.ExpandArchivedStream(in, out, name);
      if (in.Position() > n) __builtin_trap();
    } catch (const base::Exception&) {
    }
  }
  return 0;
}
