// Archives of any content: listing ends, and every listed entry either expands or
// fails with one of the component's exceptions.
#include <cstdlib>

#include "CompressTestUtil.h"
#include "setup/services/InstArchiveReader.h"

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  TTandrelInstCompress c;
  TCompressedHeader h;
  c.InitHeader(h, "LH5", caMulti, 0);
  Bytes a = HeaderBytes(h);
  // The engine's half has no encoders: the coded entries are made by hand.
  BitsOut tenA;  // one block of ten symbols, all of them the only literal 'A'
  tenA.Put(16, 10).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 'A').Put(4, 0).Put(4, 0);
  struct Entry {
    const char* name;
    uint8_t method;
    Bytes data, coded;
  } entries[] = {{"Info\\Inst.cmp", cmLH5, Bytes(10, 'A'), tenA.b},
                 {"G\\a.dll", cmRLE, B({7, 7, 7, 7, 7, 0x94}), B({7, 0x94, 5, 0x94, 0})},
                 {"G\\plain.txt", cmNON, Str("plain"), Str("plain")},
                 {"G\\empty", cmNON, {}, {}}};
  int32_t total = 0;
  for (const auto& e : entries) {
    const Bytes& data = e.coded;
    TArchiveEntry r;
    r.NameLength = static_cast<int16_t>(strlen(e.name));
    r.ExpandedSize = static_cast<int32_t>(e.data.size());
    r.CompressedSize = static_cast<int32_t>(data.size());
    r.Method = e.method;
    r.Checksum = e.method == cmNON ? 0 : ByteSum(e.data.data(), e.data.size());
    Bytes rec(kArchiveEntrySize);
    EncodeEntry(r, rec.data());
    a.insert(a.end(), rec.begin(), rec.end());
    a.insert(a.end(), e.name, e.name + r.NameLength);
    a.insert(a.end(), data.begin(), data.end());
    total += r.ExpandedSize;
  }
  h.ExpandedSize = total;
  EncodeHeader(h, a.data());
  seeds->emplace_back(a.begin(), a.end());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInstArchiveReader reader;
  TCompressedFileList list;
  try {
    base::ReadOnlyMemoryStream src(data, static_cast<int64_t>(size));
    reader.ListArchiveStream(src, list);
  } catch (const base::Exception&) {
    return 0;
  }
  for (const auto& [name, info] : list) {
    if (info.CompressedSize < 0 || info.EntryOffset < 0 ||
        static_cast<size_t>(info.EntryOffset) + kArchiveEntrySize + name.size() +
                static_cast<size_t>(info.CompressedSize) > size)
      std::abort();  // listed past the end of the data
    base::ReadOnlyMemoryStream src(data, static_cast<int64_t>(size));
    base::MemoryStream out;
    try {
      reader.ExpandArchivedStream(src, out, name);
    } catch (const base::Exception&) {
    }
  }
  return 0;
}
