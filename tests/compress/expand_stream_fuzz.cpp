// Single streams of any content: expanding either succeeds or fails with one of the
// component's exceptions; a success gives exactly the size the header says.
#include <cstdlib>

#include "CompressTestUtil.h"

namespace {
constexpr int32_t kFuzzKey = 0x01020304;
}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  Bytes text = TextBytes(2000, 5);
  int32_t sum = ByteSum(text.data(), text.size());
  for (uint8_t m : {cmLZH, cmLH5}) {
    TTandrelInstCompress c;
    Bytes s = Single(TTandrelInstCompress::MethodIDs[m], Encode(m, text), 2000, sum);
    seeds->emplace_back(s.begin(), s.end());
  }
  Bytes rle = Single("RLE", B({0x00, 0x94, 0x05, 0x41, 0x94, 0x00}), 7, 0x41 + 0x94);
  seeds->emplace_back(rle.begin(), rle.end());
  Bytes stored = Single("NON", Str("stored data"), 11, 0);
  seeds->emplace_back(stored.begin(), stored.end());
  Bytes custom = Single("ROT", Str("custom"), 6, 0);
  seeds->emplace_back(custom.begin(), custom.end());
  // Locked streams, both lock flags; their last byte is odd so that the run has the key.
  for (uint8_t m : {cmLZH, cmLH5}) {
    for (int32_t locked : {1, kLockedWithKey}) {
      int32_t rawSum = 0;
      Bytes data = locked == kLockedWithKey ? Encode(m, text, kFuzzKey, &rawSum) : Encode(m, text);
      Bytes s = Single(TTandrelInstCompress::MethodIDs[m], data, 2000,
                       static_cast<int32_t>(static_cast<uint32_t>(sum) + static_cast<uint32_t>(kFuzzKey)), locked);
      if (!(s.back() & 1)) s.push_back(0x01);  // past the data the decoders need
      seeds->emplace_back(s.begin(), s.end());
    }
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TTandrelInstCompress c;
  // Both sides of the key lock; the first byte is always the signature's "V".
  c.Key = size > 0 && (data[size - 1] & 1) ? kFuzzKey : 0;
  c.OnRecognize = [](const std::string& id, bool& ok) { ok = id == "ROT"; };
  c.OnExpand = [](base::Stream& dest, base::Stream& source, int32_t count, int32_t, const std::string&,
                  int32_t& sum) {
    Bytes b(count > 0 && count < 1 << 16 ? count : 0);
    source.Read(b.data(), static_cast<int32_t>(b.size()));
    dest.WriteBuffer(b.data(), static_cast<int32_t>(b.size()));
    sum = ByteSum(b.data(), b.size());
  };
  base::ReadOnlyMemoryStream src(data, static_cast<int64_t>(size));
  base::MemoryStream dst;
  try {
    c.ExpandStream(dst, src);
  } catch (const base::Exception&) {
    return 0;
  }
  if (size > kCompressedHeaderSize) {
    TCompressedHeader h = DecodeHeader(data);
    std::string id = h.MethodID();
    if (h.HasSignature() && (id == "LZH" || id == "LH5" || id == "RLE") &&
        dst.Size() != (h.ExpandedSize > 0 ? h.ExpandedSize : 0))
      std::abort();
  } else if (dst.Bytes() != Bytes(data, data + size)) {
    std::abort();
  }
  return 0;
}
