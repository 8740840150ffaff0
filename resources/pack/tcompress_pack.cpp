// Build-time tool: packs one file as a "TCOMPRESS" single stream.
//   tcompress_pack NON|RLE|LZH|LH5 input output
// The stream is checked by expanding it again before it is written.
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "resources/pack/RlePack.h"
#include "setup/compress/CodecDriver.h"
#include "setup/compress/InstCompress.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error(std::string("cannot read ") + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::vector<uint8_t> Pack(const std::string& id, const std::vector<uint8_t>& data) {
  TTandrelInstCompress c;
  uint8_t method = c.MethodFromID(id);
  std::vector<uint8_t> body;
  if (method == cmRLE) {
    body = RlePack(data);
  } else if (method == cmNON) {
    body = data;
  } else {
    base::MemoryStream src(data), dst;
    int32_t sum = 0;
    // Refuses output that would not be smaller than the picture.
    RunCodec(c, dst, src, static_cast<int32_t>(data.size()), 0, method, sum, false, false);
    body = dst.Bytes();
  }
  TCompressedHeader h;
  c.InitHeader(h, id, caSingle, static_cast<int32_t>(data.size()));
  h.Checksum = method == cmNON ? 0 : ByteSum(data.data(), data.size());
  std::vector<uint8_t> out(kCompressedHeaderSize);
  EncodeHeader(h, out.data());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tcompress_pack NON|RLE|LZH|LH5 input output\n");
    return 2;
  }
  try {
    std::string id = argv[1];
    if (id != "NON" && id != "RLE" && id != "LZH" && id != "LH5")
      throw std::runtime_error("unknown method " + id);
    std::vector<uint8_t> data = ReadFile(argv[2]);
    std::vector<uint8_t> packed = Pack(id, data);

    TTandrelInstCompress c;
    base::MemoryStream src(packed), back;
    c.ExpandStream(back, src);
    if (back.Bytes() != data) throw std::runtime_error("packed stream does not expand back");

    std::ofstream f(argv[3], std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
    if (!f) throw std::runtime_error(std::string("cannot write ") + argv[3]);
    std::printf("%s: %s %zu -> %zu bytes\n", argv[3], id.c_str(), data.size(), packed.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tcompress_pack: %s: %s\n", argv[2], e.what());
    return 1;
  }
  return 0;
}
