// The class library's binary component stream ("TPF0"): a writer and a reader driven by
// one ordered property schema per class, so that both sides agree on names, kinds and
// order. Strings are raw ANSI bytes; nothing is converted.
//
// Layout: "TPF0", class name and component name (short strings), the properties (name
// + tagged value each), 0 (end of properties), 0 (end of children).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"

namespace base {

// Reading failures. A stream that ends early raises the plain EReadError "Stream read
// error". The property errors read "Error reading <Class>.<Prop>: <reason>".
TANDREL_EXCEPTION(EInvalidStreamFormat, EReadError);   // "Invalid stream format"
TANDREL_EXCEPTION(EPropertyError, EReadError);
TANDREL_EXCEPTION(EUnknownProperty, EPropertyError);       // "... Property <Prop> does not exist"
TANDREL_EXCEPTION(EInvalidPropertyValue, EPropertyError);  // "... Invalid property value"
// Writing failures (a value the stream cannot hold, nesting too deep): EWriteError.

// Value tags of the stream.
enum ValueTag : uint8_t {
  vaNull = 0,      // end of list
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaSet = 11,
  vaLString = 12,
  vaCollection = 14,
};

// Collections nest (registry keys hold keys); deeper streams are refused on both sides,
// with the same limit. The registry itself allows 512 levels of keys under a root; the
// project's key list, the root key and the deepest key's values add three more.
constexpr int kMaxNesting = 600;

enum class PropKind { Integer, Boolean, Enum, Set, Color, String, Float, StringList, Collection };

struct ClassSchema;
using SchemaRef = const ClassSchema& (*)();

// One stored property, over a type-erased object. Only the accessors of its kind are set.
// Ordinal kinds (Integer, Boolean 0/1, Enum ordinal, Set bits with bit i = idents[i],
// Color) share getOrd/setOrd.
struct PropertyInfo {
  std::string name;  // a string list is stored as name + ".Strings"
  PropKind kind = PropKind::Integer;
  std::vector<std::string> idents;  // Enum: names by ordinal; Set: element names by bit

  // When set and false, the property is not written. Without it: strings only when not
  // empty, floats only when not 0, string lists only with a line, all else always.
  std::function<bool(const void*)> stored;

  std::function<int64_t(const void*)> getOrd;
  std::function<void(void*, int64_t)> setOrd;
  std::function<std::string(const void*)> getString;
  std::function<void(void*, const std::string&)> setString;
  std::function<double(const void*)> getFloat;
  std::function<void(void*, double)> setFloat;
  std::function<std::vector<std::string>(const void*)> getLines;
  std::function<void(void*, const std::vector<std::string>&)> setLines;

  // Collection: items carry no class name; each is written with the item schema.
  SchemaRef itemSchema = nullptr;
  std::function<int32_t(const void*)> count;
  std::function<const void*(const void*, int32_t)> itemAt;
  std::function<void(void*)> clear;
  std::function<void*(void*)> add;  // a new item made by the collection's item constructor
};

struct ClassSchema {
  std::string className;  // written for a root, named in read errors
  const std::type_info* type = nullptr;
  std::vector<PropertyInfo> properties;  // stream order

  // Lookup ignoring ASCII case; a string list answers to "<name>.Strings" only.
  const PropertyInfo* Find(const std::string& streamName) const;
};

// Builds a schema for class T with typed accessors:
//   static const ClassSchema s = SchemaBuilder<TTandrelFile>("TTandrelFile")
//       .String("FileName", [](const TTandrelFile& f) { return f.FileName; },
//                           [](TTandrelFile& f, const std::string& v) { f.FileName = v; })
//       .Float("Timestamp", ...)
//       .Build();
// For a collection, itemSchema is a function returning the item class's schema, so a
// class may hold a collection of itself; name the item class explicitly:
//   .Collection<TTandrelFile>("Files", &FileSchema,
//       [](const TTandrelFileGroup& g) { return g.FileCount(); },
//       [](const TTandrelFileGroup& g, int32_t i) { return g.GetFile(i); },   // pointer
//       [](TTandrelFileGroup& g) { g.Files->Clear(); },
//       [](TTandrelFileGroup& g) { return g.Files->Add(); })                 // pointer
template <class T>
class SchemaBuilder {
public:
  explicit SchemaBuilder(std::string className) {
    schema_.className = std::move(className);
    schema_.type = &typeid(T);
  }

  SchemaBuilder& Integer(std::string name, std::function<int32_t(const T&)> get,
                         std::function<void(T&, int32_t)> set) {
    return Ordinal(std::move(name), PropKind::Integer, {}, [get](const T& o) -> int64_t { return get(o); },
                   [set](T& o, int64_t v) { set(o, static_cast<int32_t>(v)); });
  }
  SchemaBuilder& Boolean(std::string name, std::function<bool(const T&)> get,
                         std::function<void(T&, bool)> set) {
    return Ordinal(std::move(name), PropKind::Boolean, {}, [get](const T& o) -> int64_t { return get(o) ? 1 : 0; },
                   [set](T& o, int64_t v) { set(o, v != 0); });
  }
  // get/set the ordinal; idents are the value names in ordinal order.
  SchemaBuilder& Enum(std::string name, std::vector<std::string> idents, std::function<int(const T&)> get,
                      std::function<void(T&, int)> set) {
    return Ordinal(std::move(name), PropKind::Enum, std::move(idents), [get](const T& o) -> int64_t { return get(o); },
                   [set](T& o, int64_t v) { set(o, static_cast<int>(v)); });
  }
  // get/set the bits: bit i stands for idents[i] (at most 32 elements).
  SchemaBuilder& Set(std::string name, std::vector<std::string> idents, std::function<uint32_t(const T&)> get,
                     std::function<void(T&, uint32_t)> set) {
    return Ordinal(std::move(name), PropKind::Set, std::move(idents), [get](const T& o) -> int64_t { return get(o); },
                   [set](T& o, int64_t v) { set(o, static_cast<uint32_t>(v)); });
  }
  SchemaBuilder& Color(std::string name, std::function<int32_t(const T&)> get,
                       std::function<void(T&, int32_t)> set) {
    return Ordinal(std::move(name), PropKind::Color, {}, [get](const T& o) -> int64_t { return get(o); },
                   [set](T& o, int64_t v) { set(o, static_cast<int32_t>(v)); });
  }
  SchemaBuilder& String(std::string name, std::function<std::string(const T&)> get,
                        std::function<void(T&, const std::string&)> set) {
    PropertyInfo& p = Add(std::move(name), PropKind::String);
    p.getString = [get](const void* o) { return get(*static_cast<const T*>(o)); };
    p.setString = [set](void* o, const std::string& v) { set(*static_cast<T*>(o), v); };
    return *this;
  }
  // A date-time or other double, stored as an 80-bit extended.
  SchemaBuilder& Float(std::string name, std::function<double(const T&)> get, std::function<void(T&, double)> set) {
    PropertyInfo& p = Add(std::move(name), PropKind::Float);
    p.getFloat = [get](const void* o) { return get(*static_cast<const T*>(o)); };
    p.setFloat = [set](void* o, double v) { set(*static_cast<T*>(o), v); };
    return *this;
  }
  // The setter receives every line of the list at once (clear and refill).
  SchemaBuilder& StringList(std::string name, std::function<std::vector<std::string>(const T&)> get,
                            std::function<void(T&, const std::vector<std::string>&)> set) {
    PropertyInfo& p = Add(std::move(name), PropKind::StringList);
    p.getLines = [get](const void* o) { return get(*static_cast<const T*>(o)); };
    p.setLines = [set](void* o, const std::vector<std::string>& v) { set(*static_cast<T*>(o), v); };
    return *this;
  }
  template <class Item>
  SchemaBuilder& Collection(std::string name, SchemaRef itemSchema, std::function<int32_t(const T&)> count,
                            std::function<const Item*(const T&, int32_t)> itemAt, std::function<void(T&)> clear,
                            std::function<Item*(T&)> add) {
    PropertyInfo& p = Add(std::move(name), PropKind::Collection);
    p.itemSchema = itemSchema;
    p.count = [count](const void* o) { return count(*static_cast<const T*>(o)); };
    p.itemAt = [itemSchema, itemAt](const void* o, int32_t i) -> const void* {
      CheckItemType(itemSchema, typeid(Item));
      return itemAt(*static_cast<const T*>(o), i);
    };
    p.clear = [clear](void* o) { clear(*static_cast<T*>(o)); };
    p.add = [itemSchema, add](void* o) -> void* {
      CheckItemType(itemSchema, typeid(Item));
      return add(*static_cast<T*>(o));
    };
    return *this;
  }
  // Applies to the property added last: written only when stored(object) is true.
  SchemaBuilder& StoredWhen(std::function<bool(const T&)> stored) {
    schema_.properties.back().stored = [stored](const void* o) { return stored(*static_cast<const T*>(o)); };
    return *this;
  }

  ClassSchema Build() {
    for (const PropertyInfo& p : schema_.properties)
      if (p.kind == PropKind::Set && p.idents.size() > 32) throw std::logic_error("Set of more than 32 elements");
    return schema_;
  }

private:
  PropertyInfo& Add(std::string name, PropKind kind) {
    PropertyInfo p;
    p.name = std::move(name);
    p.kind = kind;
    schema_.properties.push_back(std::move(p));
    return schema_.properties.back();
  }
  SchemaBuilder& Ordinal(std::string name, PropKind kind, std::vector<std::string> idents,
                         std::function<int64_t(const T&)> get, std::function<void(T&, int64_t)> set) {
    PropertyInfo& p = Add(std::move(name), kind);
    p.idents = std::move(idents);
    p.getOrd = [get](const void* o) { return get(*static_cast<const T*>(o)); };
    p.setOrd = [set](void* o, int64_t v) { set(*static_cast<T*>(o), v); };
    return *this;
  }
  static void CheckItemType(SchemaRef itemSchema, const std::type_info& item) {
    const std::type_info* t = itemSchema().type;
    if (t != nullptr && *t != item) throw std::logic_error("Collection item schema of another class");
  }

  ClassSchema schema_;
};

struct RootHeader {
  std::string className;
  std::string componentName;
};

// Writes one root object with its properties. The whole stream is built in memory and
// handed to the target in one write. EWriteError when a value cannot be stored.
void WriteRoot(Stream& target, const RootHeader& header, const void* object, const ClassSchema& schema);
std::vector<uint8_t> WriteRootBytes(const RootHeader& header, const void* object, const ClassSchema& schema);

// Reads one root object from the stream's position: every property in the file goes
// through its setter, in file order. A collection whose list is empty is left as it was;
// a non-empty one is cleared, then filled with items made by add(). A string list is
// replaced by the file's lines. Returns the header; the class name is not compared.
// On failure the object keeps what was read so far. Reads never pass the stream's end,
// and bytes after the root's end are left unread.
RootHeader ReadRoot(Stream& source, void* object, const ClassSchema& schema);

template <class T>
void WriteRoot(Stream& target, const RootHeader& header, const T& object, const ClassSchema& schema) {
  if (schema.type != nullptr && *schema.type != typeid(T)) throw std::logic_error("Schema of another class");
  WriteRoot(target, header, static_cast<const void*>(&object), schema);
}
template <class T>
RootHeader ReadRoot(Stream& source, T& object, const ClassSchema& schema) {
  if (schema.type != nullptr && *schema.type != typeid(T)) throw std::logic_error("Schema of another class");
  return ReadRoot(source, static_cast<void*>(&object), schema);
}

// 80-bit extended <-> double, bit by bit (little-endian, 15-bit exponent with bias 16383,
// explicit integer bit). Every double converts exactly; back to double rounds to nearest
// even, overflows to infinity, keeps NaN a NaN.
void DoubleToExtended(double value, uint8_t out[10]);
double ExtendedToDouble(const uint8_t in[10]);

// The class library's colour identifiers ("clWhite" = $FFFFFF, "clBtnFace" = $8000000F).
// IdentToColor ignores ASCII case.
bool ColorToIdent(int32_t color, std::string& ident);
bool IdentToColor(const std::string& ident, int32_t& color);

}  // namespace base
