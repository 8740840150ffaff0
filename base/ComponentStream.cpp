#include "base/ComponentStream.h"

#include <cstring>
#include <limits>

#include "base/Strings.h"

namespace base {

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};
const char kStringsSuffix[] = ".Strings";

std::string StreamName(const PropertyInfo& p) {
  return p.kind == PropKind::StringList ? p.name + kStringsSuffix : p.name;
}

bool IsStored(const PropertyInfo& p, const void* object) {
  if (p.stored) return p.stored(object);
  switch (p.kind) {
    case PropKind::String: return !p.getString(object).empty();
    case PropKind::Float: return p.getFloat(object) != 0.0;
    case PropKind::StringList: return !p.getLines(object).empty();
    default: return true;
  }
}

class Writer {
public:
  std::vector<uint8_t> out;

  void Root(const RootHeader& header, const void* object, const ClassSchema& schema) {
    Raw(kSignature, 4);
    ShortString(header.className);
    ShortString(header.componentName);
    Properties(object, schema, 0);
    Byte(vaNull);  // no children
  }

private:
  void Byte(uint8_t b) { out.push_back(b); }
  void Raw(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + n);
  }
  void LittleEndian(uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) Byte(static_cast<uint8_t>(v >> (8 * i)));
  }
  void ShortString(const std::string& s) {
    if (s.size() > 255) throw EWriteError("Identifier too long: " + s.substr(0, 32) + "...");
    Byte(static_cast<uint8_t>(s.size()));
    Raw(s.data(), s.size());
  }
  void Integer(int64_t v) {
    if (v >= -128 && v <= 127) {
      Byte(vaInt8);
      LittleEndian(static_cast<uint64_t>(v), 1);
    } else if (v >= -32768 && v <= 32767) {
      Byte(vaInt16);
      LittleEndian(static_cast<uint64_t>(v), 2);
    } else {
      Byte(vaInt32);
      LittleEndian(static_cast<uint64_t>(v), 4);
    }
  }
  void StringValue(const std::string& s) {
    if (s.size() <= 255) {
      Byte(vaString);
      Byte(static_cast<uint8_t>(s.size()));
    } else {
      if (s.size() > std::numeric_limits<uint32_t>::max()) throw EWriteError("String too long for the stream");
      Byte(vaLString);
      LittleEndian(s.size(), 4);
    }
    Raw(s.data(), s.size());
  }
  [[noreturn]] static void Invalid(const ClassSchema& schema, const PropertyInfo& p) {
    throw EWriteError("Error writing " + schema.className + "." + p.name + ": Invalid property value");
  }

  void Properties(const void* object, const ClassSchema& schema, int depth) {
    for (const PropertyInfo& p : schema.properties) {
      if (!IsStored(p, object)) continue;
      ShortString(StreamName(p));
      Value(object, schema, p, depth);
    }
    Byte(vaNull);
  }

  void Value(const void* object, const ClassSchema& schema, const PropertyInfo& p, int depth) {
    switch (p.kind) {
      case PropKind::Integer:
        Integer(static_cast<int32_t>(p.getOrd(object)));
        break;
      case PropKind::Boolean:
        Byte(p.getOrd(object) != 0 ? vaTrue : vaFalse);
        break;
      case PropKind::Enum: {
        int64_t v = p.getOrd(object);
        if (v < 0 || v >= static_cast<int64_t>(p.idents.size())) Invalid(schema, p);
        Byte(vaIdent);
        ShortString(p.idents[static_cast<size_t>(v)]);
        break;
      }
      case PropKind::Set: {
        uint64_t bits = static_cast<uint32_t>(p.getOrd(object));
        if (p.idents.size() < 32 && (bits >> p.idents.size()) != 0) Invalid(schema, p);
        Byte(vaSet);
        for (size_t i = 0; i < p.idents.size(); ++i)
          if (bits & (uint64_t{1} << i)) ShortString(p.idents[i]);
        Byte(0);
        break;
      }
      case PropKind::Color: {
        int32_t c = static_cast<int32_t>(p.getOrd(object));
        std::string ident;
        if (ColorToIdent(c, ident)) {
          Byte(vaIdent);
          ShortString(ident);
        } else {
          Integer(c);
        }
        break;
      }
      case PropKind::String:
        StringValue(p.getString(object));
        break;
      case PropKind::Float: {
        uint8_t ext[10];
        DoubleToExtended(p.getFloat(object), ext);
        Byte(vaExtended);
        Raw(ext, 10);
        break;
      }
      case PropKind::StringList:
        Byte(vaList);
        for (const std::string& line : p.getLines(object)) StringValue(line);
        Byte(vaNull);
        break;
      case PropKind::Collection: {
        // What could not be read back is not written either.
        if (depth + 1 > kMaxNesting)
          throw EWriteError("Collections nested too deep: more than " + std::to_string(kMaxNesting) + " levels");
        const ClassSchema& itemSchema = p.itemSchema();
        Byte(vaCollection);
        int32_t n = p.count(object);
        for (int32_t i = 0; i < n; ++i) {
          Byte(vaList);
          Properties(p.itemAt(object, i), itemSchema, depth + 1);
        }
        Byte(vaNull);
        break;
      }
    }
  }
};

// Bounds every read by what the stream still holds, so that no length taken from the
// input can make it allocate or read beyond the data.
class Reader {
public:
  explicit Reader(Stream& s) : s_(s) {
    remaining_ = s_.Size() - s_.Position();
    if (remaining_ < 0) remaining_ = 0;
  }

  RootHeader Root(void* object, const ClassSchema& schema) {
    char sig[4];
    Raw(sig, 4);
    if (std::memcmp(sig, kSignature, 4) != 0) throw EInvalidStreamFormat("Invalid stream format");
    RootHeader h;
    h.className = ShortString();
    h.componentName = ShortString();
    Properties(object, schema, 0);
    if (Byte() != vaNull) throw EInvalidStreamFormat("Invalid stream format");  // child objects
    return h;
  }

private:
  void Raw(void* buffer, int64_t n) {
    if (n > remaining_) throw EReadError("Stream read error");
    char* p = static_cast<char*>(buffer);
    while (n > 0) {
      int32_t chunk = n > (1 << 30) ? (1 << 30) : static_cast<int32_t>(n);
      s_.ReadBuffer(p, chunk);
      p += chunk;
      n -= chunk;
      remaining_ -= chunk;
    }
  }
  uint8_t Byte() {
    uint8_t b;
    Raw(&b, 1);
    return b;
  }
  uint64_t LittleEndian(int bytes) {
    uint8_t b[8];
    Raw(b, bytes);
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[i];
    return v;
  }
  std::string Chars(int64_t n) {
    if (n > remaining_) throw EReadError("Stream read error");
    std::string s(static_cast<size_t>(n), '\0');
    if (n > 0) Raw(s.data(), n);
    return s;
  }
  std::string ShortString() { return Chars(Byte()); }

  [[noreturn]] static void Invalid(const ClassSchema& schema, const std::string& name) {
    throw EInvalidPropertyValue("Error reading " + schema.className + "." + name + ": Invalid property value");
  }

  // Integer payload after its tag; false when the tag is no integer tag.
  bool IntegerOf(uint8_t tag, int64_t& v) {
    switch (tag) {
      case vaInt8: v = static_cast<int8_t>(LittleEndian(1)); return true;
      case vaInt16: v = static_cast<int16_t>(LittleEndian(2)); return true;
      case vaInt32: v = static_cast<int32_t>(LittleEndian(4)); return true;
      default: return false;
    }
  }
  bool StringOf(uint8_t tag, std::string& s) {
    if (tag == vaString) {
      s = ShortString();
      return true;
    }
    if (tag == vaLString) {
      s = Chars(static_cast<int64_t>(LittleEndian(4)));
      return true;
    }
    return false;
  }
  static int IndexOf(const std::vector<std::string>& idents, const std::string& ident) {
    for (size_t i = 0; i < idents.size(); ++i)
      if (SameText(idents[i], ident)) return static_cast<int>(i);
    return -1;
  }

  void Properties(void* object, const ClassSchema& schema, int depth) {
    for (;;) {
      std::string name = ShortString();
      if (name.empty()) return;
      const PropertyInfo* p = schema.Find(name);
      if (p == nullptr)
        throw EUnknownProperty("Error reading " + schema.className + "." + name + ": Property " + name +
                               " does not exist");
      Value(object, schema, *p, name, depth);
    }
  }

  void Value(void* object, const ClassSchema& schema, const PropertyInfo& p, const std::string& name, int depth) {
    uint8_t tag = Byte();
    switch (p.kind) {
      case PropKind::Integer: {
        int64_t v;
        if (!IntegerOf(tag, v)) Invalid(schema, name);
        p.setOrd(object, v);
        break;
      }
      case PropKind::Boolean:
        if (tag != vaFalse && tag != vaTrue) Invalid(schema, name);
        p.setOrd(object, tag == vaTrue ? 1 : 0);
        break;
      case PropKind::Enum: {
        if (tag != vaIdent) Invalid(schema, name);
        int i = IndexOf(p.idents, ShortString());
        if (i < 0) Invalid(schema, name);
        p.setOrd(object, i);
        break;
      }
      case PropKind::Set: {
        if (tag != vaSet) Invalid(schema, name);
        uint32_t bits = 0;
        for (;;) {
          std::string element = ShortString();
          if (element.empty()) break;
          int i = IndexOf(p.idents, element);
          if (i < 0 || i >= 32) Invalid(schema, name);
          bits |= uint32_t{1} << i;
        }
        p.setOrd(object, bits);
        break;
      }
      case PropKind::Color: {
        int64_t v;
        if (tag == vaIdent) {
          int32_t c;
          if (!IdentToColor(ShortString(), c)) Invalid(schema, name);
          v = c;
        } else if (!IntegerOf(tag, v)) {
          Invalid(schema, name);
        }
        p.setOrd(object, v);
        break;
      }
      case PropKind::String: {
        std::string s;
        if (!StringOf(tag, s)) Invalid(schema, name);
        p.setString(object, s);
        break;
      }
      case PropKind::Float: {
        double d;
        int64_t v;
        if (tag == vaExtended) {
          uint8_t ext[10];
          Raw(ext, 10);
          d = ExtendedToDouble(ext);
        } else if (IntegerOf(tag, v)) {
          d = static_cast<double>(v);
        } else {
          Invalid(schema, name);
        }
        p.setFloat(object, d);
        break;
      }
      case PropKind::StringList: {
        if (tag != vaList) Invalid(schema, name);
        // Cleared, then refilled line by line: a read that fails inside the list keeps
        // the lines read so far, as the class library's reader does.
        std::vector<std::string> lines;
        p.setLines(object, lines);
        for (;;) {
          uint8_t t = Byte();
          if (t == vaNull) break;
          std::string line;
          if (!StringOf(t, line)) Invalid(schema, name);
          lines.push_back(std::move(line));
          p.setLines(object, lines);
        }
        break;
      }
      case PropKind::Collection: {
        if (tag != vaCollection) Invalid(schema, name);
        if (depth + 1 > kMaxNesting)
          throw EInvalidStreamFormat("Invalid stream format: collections nested more than " +
                                     std::to_string(kMaxNesting) + " levels deep");
        const ClassSchema& itemSchema = p.itemSchema();
        uint8_t t = Byte();
        if (t == vaNull) break;  // an empty list keeps the collection as it is
        if (t != vaList) Invalid(schema, name);
        p.clear(object);
        while (t != vaNull) {
          if (t != vaList) Invalid(schema, name);
          Properties(p.add(object), itemSchema, depth + 1);
          t = Byte();
        }
        break;
      }
    }
  }

  Stream& s_;
  int64_t remaining_;
};

}  // namespace

const PropertyInfo* ClassSchema::Find(const std::string& streamName) const {
  for (const PropertyInfo& p : properties)
    if (SameText(StreamName(p), streamName)) return &p;
  return nullptr;
}

std::vector<uint8_t> WriteRootBytes(const RootHeader& header, const void* object, const ClassSchema& schema) {
  Writer w;
  w.Root(header, object, schema);
  return std::move(w.out);
}

void WriteRoot(Stream& target, const RootHeader& header, const void* object, const ClassSchema& schema) {
  std::vector<uint8_t> bytes = WriteRootBytes(header, object, schema);
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw EWriteError("Stream write error");
  target.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

RootHeader ReadRoot(Stream& source, void* object, const ClassSchema& schema) {
  Reader r(source);
  return r.Root(object, schema);
}

// ---- 80-bit extended ----

namespace {

int LeadingZeros(uint64_t v) {
  int n = 0;
  for (uint64_t bit = uint64_t{1} << 63; bit != 0 && (v & bit) == 0; bit >>= 1) ++n;
  return n;
}

// v / 2^shift rounded to nearest, ties to even.
uint64_t RoundShift(uint64_t v, int shift) {
  if (shift == 0) return v;
  if (shift > 64) return 0;  // below half of the last place
  uint64_t q = shift == 64 ? 0 : v >> shift;
  uint64_t rem = shift == 64 ? v : v & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (rem > half || (rem == half && (q & 1) != 0)) ++q;
  return q;
}

}  // namespace

void DoubleToExtended(double value, uint8_t out[10]) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  const unsigned sign = static_cast<unsigned>(bits >> 63);
  const unsigned e = static_cast<unsigned>(bits >> 52) & 0x7FF;
  const uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  uint64_t mant;
  unsigned exp;
  if (e == 0x7FF) {  // infinity keeps a bare integer bit, NaN its payload and quiet bit
    exp = 0x7FFF;
    mant = (uint64_t{1} << 63) | (m << 11);
  } else if (e == 0) {
    if (m == 0) {
      exp = 0;
      mant = 0;
    } else {  // subnormal doubles are normal extendeds
      int shift = LeadingZeros(m);
      mant = m << shift;
      exp = static_cast<unsigned>(16383 + 63 - 1074 - shift);
    }
  } else {
    exp = e - 1023 + 16383;
    mant = (uint64_t{1} << 63) | (m << 11);
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mant >> (8 * i));
  const unsigned se = (sign << 15) | exp;
  out[8] = static_cast<uint8_t>(se);
  out[9] = static_cast<uint8_t>(se >> 8);
}

double ExtendedToDouble(const uint8_t in[10]) {
  uint64_t mant = 0;
  for (int i = 7; i >= 0; --i) mant = (mant << 8) | in[i];
  const unsigned se = in[8] | (in[9] << 8);
  const uint64_t sign = static_cast<uint64_t>(se >> 15) << 63;
  const int exp = static_cast<int>(se & 0x7FFF);
  const uint64_t kInf = uint64_t{0x7FF} << 52;
  uint64_t bits;
  if (exp == 0x7FFF) {
    const uint64_t fraction = mant & ~(uint64_t{1} << 63);
    if (fraction == 0 && (mant >> 63) != 0) {
      bits = sign | kInf;
    } else {  // NaN, also the pseudo-infinities the x87 treats as invalid
      uint64_t payload = (fraction >> 11) & ((uint64_t{1} << 52) - 1);
      bits = sign | kInf | payload | (uint64_t{1} << 51);
    }
  } else if (mant == 0) {
    bits = sign;
  } else {
    // value = mant * 2^(x - 63) with mant's top bit set (unnormals normalised here too)
    const int shift = LeadingZeros(mant);
    mant <<= shift;
    int x = (exp == 0 ? 1 : exp) - 16383 - shift;
    if (x > 1023) {
      bits = sign | kInf;
    } else if (x >= -1022) {
      uint64_t sig = RoundShift(mant, 11);
      if (sig == (uint64_t{1} << 53)) {
        sig >>= 1;
        ++x;
      }
      if (x > 1023)
        bits = sign | kInf;
      else
        bits = sign | (static_cast<uint64_t>(x + 1023) << 52) | (sig & ((uint64_t{1} << 52) - 1));
    } else {
      // subnormal: k * 2^-1074; a carry into 2^52 lands on the smallest normal by itself
      uint64_t k = RoundShift(mant, -(x + 1011));
      bits = sign | k;
    }
  }
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

// ---- colour identifiers ----

namespace {

struct ColorIdent {
  int32_t color;
  const char* ident;
};

constexpr int32_t Sys(int n) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(n)); }

const ColorIdent kColors[] = {
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {Sys(0), "clScrollBar"},
    {Sys(1), "clBackground"},
    {Sys(2), "clActiveCaption"},
    {Sys(3), "clInactiveCaption"},
    {Sys(4), "clMenu"},
    {Sys(5), "clWindow"},
    {Sys(6), "clWindowFrame"},
    {Sys(7), "clMenuText"},
    {Sys(8), "clWindowText"},
    {Sys(9), "clCaptionText"},
    {Sys(10), "clActiveBorder"},
    {Sys(11), "clInactiveBorder"},
    {Sys(12), "clAppWorkSpace"},
    {Sys(13), "clHighlight"},
    {Sys(14), "clHighlightText"},
    {Sys(15), "clBtnFace"},
    {Sys(16), "clBtnShadow"},
    {Sys(17), "clGrayText"},
    {Sys(18), "clBtnText"},
    {Sys(19), "clInactiveCaptionText"},
    {Sys(20), "clBtnHighlight"},
    {Sys(21), "cl3DDkShadow"},
    {Sys(22), "cl3DLight"},
    {Sys(23), "clInfoText"},
    {Sys(24), "clInfoBk"},
    {0x1FFFFFFF, "clNone"},
    {0x20000000, "clDefault"},
};

}  // namespace

bool ColorToIdent(int32_t color, std::string& ident) {
  for (const ColorIdent& c : kColors)
    if (c.color == color) {
      ident = c.ident;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& ident, int32_t& color) {
  for (const ColorIdent& c : kColors)
    if (SameText(ident, c.ident)) {
      color = c.color;
      return true;
    }
  return false;
}

}  // namespace base
