// Any input either reads into the object or raises a read error; what was read writes
// and reads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/ComponentStream.h"

using namespace base;

namespace {

struct Node {
  int32_t num = 0;
  bool flag = false;
  int kind = 0;
  uint32_t bits = 0;
  int32_t color = 0;
  std::string text;
  double stamp = 0;
  std::vector<std::string> lines;
  std::vector<Node> kids;
};

const ClassSchema& NodeSchema();

const ClassSchema& NodeSchema() {
  static const ClassSchema s =
      SchemaBuilder<Node>("TNode")
          .Integer("Num", [](const Node& n) { return n.num; }, [](Node& n, int32_t v) { n.num = v; })
          .Boolean("Flag", [](const Node& n) { return n.flag; }, [](Node& n, bool v) { n.flag = v; })
          .Enum("Kind", {"vtString", "vtDWord", "vtBinary"}, [](const Node& n) { return n.kind; },
                [](Node& n, int v) { n.kind = v; })
          .Set("Bits", {"wv95", "wv98", "wvNT4", "wvNT5", "wvOther"}, [](const Node& n) { return n.bits; },
               [](Node& n, uint32_t v) { n.bits = v; })
          .Color("Color", [](const Node& n) { return n.color; }, [](Node& n, int32_t v) { n.color = v; })
          .String("Text", [](const Node& n) { return n.text; }, [](Node& n, const std::string& v) { n.text = v; })
          .Float("Stamp", [](const Node& n) { return n.stamp; }, [](Node& n, double v) { n.stamp = v; })
          .StringList("Lines", [](const Node& n) { return n.lines; },
                      [](Node& n, const std::vector<std::string>& v) { n.lines = v; })
          .Collection<Node>(
              "Kids", &NodeSchema, [](const Node& n) { return static_cast<int32_t>(n.kids.size()); },
              [](const Node& n, int32_t i) { return &n.kids[i]; }, [](Node& n) { n.kids.clear(); },
              [](Node& n) { return &n.kids.emplace_back(); })
          .Build();
  return s;
}

}  // namespace

extern "C" void tandrel_fuzz_seeds(std::vector<std::string>* seeds) {
  Node n;
  n.num = -40000;
  n.flag = true;
  n.kind = 2;
  n.bits = 0x1F;
  n.color = 0x8000000F;
  n.text = std::string(300, 't');
  n.stamp = 36526.5;
  n.lines = {"a", "b"};
  n.kids.resize(2);
  n.kids[0].text = "child";
  n.kids[0].kids.resize(1);
  n.kids[1].color = 0x123456;
  std::vector<uint8_t> b = WriteRootBytes({"TNode", "x"}, &n, NodeSchema());
  seeds->emplace_back(b.begin(), b.end());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Node n;
  try {
    ReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    ReadRoot(in, n, NodeSchema());
  } catch (const EReadError&) {
    return 0;
  }
  std::vector<uint8_t> once = WriteRootBytes({"TNode", ""}, &n, NodeSchema());
  Node again;
  ReadOnlyMemoryStream in2(once.data(), static_cast<int64_t>(once.size()));
  ReadRoot(in2, again, NodeSchema());
  if (WriteRootBytes({"TNode", ""}, &again, NodeSchema()) != once) std::abort();
  return 0;
}
