#include "base/ComponentStream.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace base;

namespace {

struct Item {
  std::string name;
  double stamp = 0;
  std::vector<std::string> groups;
  std::vector<Item> kids;
};

struct Obj {
  int32_t num = 0;
  bool flag = false;
  int pos = 0;
  uint32_t pages = 0;
  int32_t color = 0;
  std::string text;
  double stamp = 0;
  std::vector<std::string> lines;
  std::vector<Item> items;
};

const ClassSchema& ItemSchema();

const ClassSchema& ItemSchema() {
  static const ClassSchema s =
      SchemaBuilder<Item>("TItem")
          .String("Name", [](const Item& i) { return i.name; }, [](Item& i, const std::string& v) { i.name = v; })
          .Float("Stamp", [](const Item& i) { return i.stamp; }, [](Item& i, double v) { i.stamp = v; })
          .StringList("Groups", [](const Item& i) { return i.groups; },
                      [](Item& i, const std::vector<std::string>& v) { i.groups = v; })
          .Collection<Item>(
              "Kids", &ItemSchema, [](const Item& i) { return static_cast<int32_t>(i.kids.size()); },
              [](const Item& i, int32_t n) { return &i.kids[n]; }, [](Item& i) { i.kids.clear(); },
              [](Item& i) { return &i.kids.emplace_back(); })
          .Build();
  return s;
}

const std::vector<std::string> kPositions = {"ipTopLeft", "ipTopRight", "ipBottomLeft", "ipBottomRight", "ipCentre"};
const std::vector<std::string> kPages = {"dtWelcome",  "dtLicense",      "dtReadme",   "dtUser",     "dtDestination",
                                         "dtSetupType", "dtCustom",      "dtSelectFolder", "dtStartCopying",
                                         "dtProgress", "dtBillboards",   "dtComplete", "dtExit",     "dtBlank"};

const ClassSchema& ObjSchema() {
  static const ClassSchema s =
      SchemaBuilder<Obj>("TObj")
          .Integer("Num", [](const Obj& o) { return o.num; }, [](Obj& o, int32_t v) { o.num = v; })
          .Boolean("Flag", [](const Obj& o) { return o.flag; }, [](Obj& o, bool v) { o.flag = v; })
          .Enum("Pos", kPositions, [](const Obj& o) { return o.pos; }, [](Obj& o, int v) { o.pos = v; })
          .Set("Pages", kPages, [](const Obj& o) { return o.pages; }, [](Obj& o, uint32_t v) { o.pages = v; })
          .Color("Color", [](const Obj& o) { return o.color; }, [](Obj& o, int32_t v) { o.color = v; })
          .String("Text", [](const Obj& o) { return o.text; }, [](Obj& o, const std::string& v) { o.text = v; })
          .Float("Stamp", [](const Obj& o) { return o.stamp; }, [](Obj& o, double v) { o.stamp = v; })
          .StringList("Lines", [](const Obj& o) { return o.lines; },
                      [](Obj& o, const std::vector<std::string>& v) { o.lines = v; })
          .Collection<Item>(
              "Items", &ItemSchema, [](const Obj& o) { return static_cast<int32_t>(o.items.size()); },
              [](const Obj& o, int32_t n) { return &o.items[n]; }, [](Obj& o) { o.items.clear(); },
              [](Obj& o) { return &o.items.emplace_back(); })
          .Build();
  return s;
}

// The schema cut down to one property, for fixtures that show one encoding.
ClassSchema Only(const std::string& name) {
  ClassSchema s = ObjSchema();
  s.properties.clear();
  for (const PropertyInfo& p : ObjSchema().properties)
    if (p.name == name) s.properties.push_back(p);
  return s;
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

std::string Write(const Obj& o, const ClassSchema& schema = ObjSchema()) {
  std::vector<uint8_t> b = WriteRootBytes({"TObj", ""}, &o, schema);
  return std::string(b.begin(), b.end());
}

void Read(const std::string& bytes, Obj& o, const ClassSchema& schema = ObjSchema()) {
  ReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
  ReadRoot(s, o, schema);
}

const std::string kHead = std::string("TPF0\x04TObj\x00", 10);
const std::string kTail = std::string("\x00\x00", 2);

// ---- writing, byte for byte ----

TEST(ComponentStreamWrite, EmptyObjectIsHeaderAndTwoEnds) {
  Obj o;
  EXPECT_EQ(Write(o, Only("Text")), std::string("TPF0\x04TObj\x00\x00\x00", 12));
}

TEST(ComponentStreamWrite, IntegersTakeTheSmallestTag) {
  struct Case {
    int32_t value;
    std::string bytes;
  } cases[] = {
      {0, Bytes({2, 0x00})},
      {-128, Bytes({2, 0x80})},
      {127, Bytes({2, 0x7F})},
      {128, Bytes({3, 0x80, 0x00})},
      {-129, Bytes({3, 0x7F, 0xFF})},
      {-32768, Bytes({3, 0x00, 0x80})},
      {32767, Bytes({3, 0xFF, 0x7F})},
      {32768, Bytes({4, 0x00, 0x80, 0x00, 0x00})},
      {-32769, Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF})},
      {-1, Bytes({2, 0xFF})},
      {std::numeric_limits<int32_t>::min(), Bytes({4, 0x00, 0x00, 0x00, 0x80})},
      {std::numeric_limits<int32_t>::max(), Bytes({4, 0xFF, 0xFF, 0xFF, 0x7F})},
  };
  for (const Case& c : cases) {
    Obj o;
    o.num = c.value;
    std::string want = kHead + "\x03Num" + c.bytes + kTail;
    EXPECT_EQ(Write(o, Only("Num")), want) << c.value;
    Obj back;
    back.num = 12345;
    Read(want, back, Only("Num"));
    EXPECT_EQ(back.num, c.value);
  }
}

TEST(ComponentStreamWrite, StringsShortUpTo255LongFrom256RawBytes) {
  struct Case {
    std::string value;
    std::string bytes;  // empty: not written
    const char* why;
  } cases[] = {
      {"", "", "empty string not written"},
      {"x", std::string("\x04Text\x06\x01x", 8), "short"},
      {"\xA9", std::string("\x04Text\x06\x01\xA9", 8), "copyright sign is one byte, no UTF-8"},
      {std::string(255, 'a'), std::string("\x04Text\x06\xFF", 7) + std::string(255, 'a'), "255 still short"},
      {std::string(256, 'b'), std::string("\x04Text\x0C\x00\x01\x00\x00", 10) + std::string(256, 'b'), "256 long"},
      {std::string(70000, 'c'), std::string("\x04Text\x0C\x70\x11\x01\x00", 10) + std::string(70000, 'c'),
       "long length is 32 bits"},
      {std::string("a\0b", 3), std::string("\x04Text\x06\x03" "a\0b", 10), "zero byte kept"},
  };
  for (const Case& c : cases) {
    Obj o;
    o.text = c.value;
    std::string want = kHead + c.bytes + kTail;
    EXPECT_EQ(Write(o, Only("Text")), want) << c.why;
    Obj back;
    Read(want, back, Only("Text"));
    EXPECT_EQ(back.text, c.value) << c.why;
  }
}

TEST(ComponentStreamWrite, BooleansAndEnumerations) {
  Obj o;
  o.flag = false;
  o.pos = 0;
  EXPECT_EQ(Write(o, Only("Flag")), kHead + std::string("\x04" "Flag\x08", 6) + kTail);
  EXPECT_EQ(Write(o, Only("Pos")), kHead + std::string("\x03Pos\x07\x09ipTopLeft", 15) + kTail);
  o.flag = true;
  o.pos = 4;
  EXPECT_EQ(Write(o, Only("Flag")), kHead + std::string("\x04" "Flag\x09", 6) + kTail);
  EXPECT_EQ(Write(o, Only("Pos")), kHead + std::string("\x03Pos\x07\x08ipCentre", 14) + kTail);
}

TEST(ComponentStreamWrite, SetsAsElementNamesEndedByEmptyName) {
  struct Case {
    uint32_t bits;
    std::string bytes;
    const char* why;
  } cases[] = {
      {0, std::string("\x05Pages\x0B\x00", 8), "empty set still written"},
      {0x3, std::string("\x05Pages\x0B\x09" "dtWelcome\x09" "dtLicense\x00", 28), "two elements in order"},
      {0x1800, std::string("\x05Pages\x0B\x0A" "dtComplete\x06" "dtExit\x00", 26), "elements past the eighth"},
  };
  for (const Case& c : cases) {
    Obj o;
    o.pages = c.bits;
    std::string want = kHead + c.bytes + kTail;
    EXPECT_EQ(Write(o, Only("Pages")), want) << c.why;
    Obj back;
    back.pages = 0xFFFF;
    Read(want, back, Only("Pages"));
    EXPECT_EQ(back.pages, c.bits) << c.why;
  }
}

TEST(ComponentStreamWrite, ColoursInTheTableAsIdentifiersOthersAsIntegers) {
  struct Case {
    int32_t color;
    std::string bytes;
  } cases[] = {
      {0xFFFFFF, std::string("\x07\x07" "clWhite", 9)},
      {0x000000, std::string("\x07\x07" "clBlack", 9)},
      {0xFFFF00, std::string("\x07\x06" "clAqua", 8)},
      {static_cast<int32_t>(0x8000000F), std::string("\x07\x09" "clBtnFace", 11)},
      {static_cast<int32_t>(0x80000018), std::string("\x07\x08" "clInfoBk", 10)},
      {static_cast<int32_t>(0x80000000), std::string("\x07\x0B" "clScrollBar", 13)},
      {0x1FFFFFFF, std::string("\x07\x06" "clNone", 8)},
      {0x20000000, std::string("\x07\x09" "clDefault", 11)},
      {0x123456, Bytes({4, 0x56, 0x34, 0x12, 0x00})},
      {5, Bytes({2, 5})},
      {static_cast<int32_t>(0x80000019), Bytes({4, 0x19, 0x00, 0x00, 0x80})},
  };
  for (const Case& c : cases) {
    Obj o;
    o.color = c.color;
    std::string want = kHead + "\x05" "Color" + c.bytes + kTail;
    EXPECT_EQ(Write(o, Only("Color")), want) << std::hex << c.color;
    Obj back;
    back.color = 77;
    Read(want, back, Only("Color"));
    EXPECT_EQ(back.color, c.color) << std::hex << c.color;
  }
}

TEST(ComponentStreamWrite, FloatsAsExtendedOmittedAtZero) {
  struct Case {
    double value;
    std::string bytes;  // empty: not written
  } cases[] = {
      {0.0, ""},
      {-0.0, ""},
      {1.0, Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
      {-2.5, Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0})},
      {36526.5, Bytes({5, 0, 0, 0, 0, 0, 0x80, 0xAE, 0x8E, 0x0E, 0x40})},  // 2000-01-01 12:00
  };
  for (const Case& c : cases) {
    Obj o;
    o.stamp = c.value;
    std::string want = kHead + (c.bytes.empty() ? "" : "\x05Stamp" + c.bytes) + kTail;
    EXPECT_EQ(Write(o, Only("Stamp")), want) << c.value;
    Obj back;
    Read(want, back, Only("Stamp"));
    EXPECT_EQ(back.stamp, c.value);
  }
}

TEST(ComponentStreamWrite, StringListsAsDotStringsListOfStrings) {
  Obj o;
  EXPECT_EQ(Write(o, Only("Lines")), kHead + kTail) << "empty list not written";
  o.lines = {"a", std::string(256, 'z'), ""};
  std::string want = kHead + "\x0DLines.Strings\x01" + std::string("\x06\x01" "a", 3) +
                     std::string("\x0C\x00\x01\x00\x00", 5) + std::string(256, 'z') + std::string("\x06\x00", 2) +
                     std::string("\x00", 1) + kTail;
  EXPECT_EQ(Write(o, Only("Lines")), want);
  Obj back;
  back.lines = {"old"};
  Read(want, back, Only("Lines"));
  EXPECT_EQ(back.lines, o.lines);
}

TEST(ComponentStreamRead, StringListFailingInsideKeepsTheLinesReadSoFar) {
  const struct { std::string bytes; std::vector<std::string> lines; const char* why; } cases[] = {
      {kHead + "\x0DLines.Strings\x01" + std::string("\x06\x01" "a" "\x06\x01" "b" "\x02\x05", 8) + kTail,
       {"a", "b"}, "an integer after two lines"},
      {kHead + "\x0DLines.Strings\x01" + std::string("\x06\x01" "a" "\x06\x09" "b", 6), {"a"},
       "the stream ends inside the second line"},
      {kHead + "\x0DLines.Strings\x01" + std::string("\x02\x05", 2) + kTail, {}, "no line read: the list is empty"},
  };
  for (const auto& c : cases) {
    Obj o;
    o.lines = {"old 1", "old 2", "old 3"};
    EXPECT_THROW(Read(c.bytes, o, Only("Lines")), EReadError) << c.why;
    EXPECT_EQ(o.lines, c.lines) << c.why;
  }
}

TEST(ComponentStreamWrite, CollectionsAlwaysWrittenItemsAsLists) {
  Obj o;
  EXPECT_EQ(Write(o, Only("Items")), kHead + std::string("\x05Items\x0E\x00", 8) + kTail);

  o.items.resize(2);
  o.items[0].name = "A";
  o.items[0].groups = {"g1", "g2"};
  o.items[1].stamp = 1.0;
  std::string want = kHead + "\x05Items\x0E" +
                     // item 1: Name, Groups.Strings, empty Kids, end of item
                     std::string("\x01\x04Name\x06\x01" "A", 9) + "\x0EGroups.Strings\x01" +
                     std::string("\x06\x02g1\x06\x02g2\x00", 9) + std::string("\x04Kids\x0E\x00\x00", 8) +
                     // item 2: Stamp, empty Kids
                     std::string("\x01\x05Stamp", 7) + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}) +
                     std::string("\x04Kids\x0E\x00\x00", 8) +
                     std::string("\x00", 1) + kTail;
  EXPECT_EQ(Write(o, Only("Items")), want);
}

TEST(ComponentStreamWrite, StoredWhenDecidesOverTheKindsRule) {
  static const ClassSchema s =
      SchemaBuilder<Obj>("TObj")
          .Integer("Tag", [](const Obj& o) { return o.num; }, [](Obj& o, int32_t v) { o.num = v; })
          .StoredWhen([](const Obj& o) { return o.num != 0; })
          .Build();
  Obj o;
  EXPECT_EQ(Write(o, s), kHead + kTail);
  o.num = 3;
  EXPECT_EQ(Write(o, s), kHead + std::string("\x03Tag\x02\x03", 6) + kTail);
}

TEST(ComponentStreamWrite, ValuesTheStreamCannotHoldAreRefused) {
  Obj o;
  o.pos = 5;
  EXPECT_THROW(Write(o, Only("Pos")), EWriteError);
  o.pos = -1;
  EXPECT_THROW(Write(o, Only("Pos")), EWriteError);
  o.pos = 0;
  o.pages = 1u << 14;  // no element of that bit
  EXPECT_THROW(Write(o, Only("Pages")), EWriteError);
  try {
    o.pos = 9;
    Write(o, Only("Pos"));
  } catch (const EWriteError& e) {
    EXPECT_STREQ(e.what(), "Error writing TObj.Pos: Invalid property value");
  }
}

Obj Sample() {
  Obj o;
  o.num = -300;
  o.flag = true;
  o.pos = 3;
  o.pages = 0x3FF | 0x800;
  o.color = static_cast<int32_t>(0x8000000F);
  o.text = "Copyright \xA9 2026 " + std::string(300, 'x');
  o.stamp = 45000.123456789;
  o.lines = {"[Program Files]=<INSTALLDIR>", "b"};
  o.items.resize(3);
  o.items[0].name = "Application Files";
  o.items[0].groups = {"One", std::string(256, 'g')};
  o.items[1].stamp = 1e-310;  // subnormal double
  o.items[1].kids.resize(2);
  o.items[1].kids[1].name = "deep";
  o.items[1].kids[1].kids.resize(1);
  return o;
}

void ExpectEqual(const Item& a, const Item& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.stamp, b.stamp);
  EXPECT_EQ(a.groups, b.groups);
  ASSERT_EQ(a.kids.size(), b.kids.size());
  for (size_t i = 0; i < a.kids.size(); ++i) ExpectEqual(a.kids[i], b.kids[i]);
}

TEST(ComponentStreamRoundTrip, WriteReadWriteGivesTheSameBytesAndValues) {
  Obj o = Sample();
  std::string first = Write(o);
  Obj back;
  back.items.resize(7);  // replaced, not appended to
  Read(first, back);
  EXPECT_EQ(Write(back), first);
  EXPECT_EQ(back.num, o.num);
  EXPECT_EQ(back.flag, o.flag);
  EXPECT_EQ(back.pos, o.pos);
  EXPECT_EQ(back.pages, o.pages);
  EXPECT_EQ(back.color, o.color);
  EXPECT_EQ(back.text, o.text);
  EXPECT_EQ(back.stamp, o.stamp);
  EXPECT_EQ(back.lines, o.lines);
  ASSERT_EQ(back.items.size(), o.items.size());
  for (size_t i = 0; i < o.items.size(); ++i) ExpectEqual(back.items[i], o.items[i]);
}

TEST(ComponentStreamRoundTrip, ThroughStreamsReturnsHeaderAndStopsAtTheRootsEnd) {
  Obj o = Sample();
  MemoryStream m;
  WriteRoot(m, {"TTandrelBaseInstall", "Inst"}, o, ObjSchema());
  const int64_t end = m.Size();
  m.WriteBuffer("JUNK", 4);
  m.SetPosition(0);
  Obj back;
  RootHeader h = ReadRoot(m, back, ObjSchema());
  EXPECT_EQ(h.className, "TTandrelBaseInstall");
  EXPECT_EQ(h.componentName, "Inst");
  EXPECT_EQ(m.Position(), end);
}

// ---- reading ----

TEST(ComponentStreamRead, EveryPrefixOfAValidStreamIsRefused) {
  std::string whole = Write(Sample());
  for (size_t n = 0; n < whole.size(); ++n) {
    Obj back;
    EXPECT_THROW(Read(whole.substr(0, n), back), EReadError) << "prefix of " << n << " bytes";
  }
}

TEST(ComponentStreamRead, AppliesPropertiesInFileOrderIgnoringCase) {
  // Text twice: the later one wins; names and identifiers in any case
  std::string in = kHead + std::string("\x04TEXT\x06\x01" "a", 8) + std::string("\x03pos\x07\x08IPCENTRE", 14) +
                   std::string("\x05" "color\x07\x07" "CLWHITE", 15) + std::string("\x04text\x06\x01" "b", 8) +
                   std::string("\x0Dlines.STRINGS\x01\x00", 16) + kTail;
  Obj o;
  o.lines = {"gone"};
  Read(in, o);
  EXPECT_EQ(o.text, "b");
  EXPECT_EQ(o.pos, 4);
  EXPECT_EQ(o.color, 0xFFFFFF);
  EXPECT_TRUE(o.lines.empty());
}

TEST(ComponentStreamRead, AcceptsIntegersForColoursAndFloats) {
  std::string in = kHead + std::string("\x05" "Color\x03\x34\x12", 9) + std::string("\x05Stamp\x02\x07", 8) + kTail;
  Obj o;
  Read(in, o);
  EXPECT_EQ(o.color, 0x1234);
  EXPECT_EQ(o.stamp, 7.0);
}

TEST(ComponentStreamRead, EmptyCollectionKeepsItemsNonEmptyReplacesThem) {
  Obj o;
  o.items.resize(3);
  o.items[0].name = "kept";
  Read(kHead + std::string("\x05Items\x0E\x00", 8) + kTail, o);
  ASSERT_EQ(o.items.size(), 3u);
  EXPECT_EQ(o.items[0].name, "kept");

  Read(kHead + std::string("\x05Items\x0E\x01\x04Name\x06\x01n\x00\x00", 18) + kTail, o);
  ASSERT_EQ(o.items.size(), 1u);
  EXPECT_EQ(o.items[0].name, "n");
}

TEST(ComponentStreamRead, FailureKeepsWhatWasReadSoFar) {
  std::string in = kHead + std::string("\x03Num\x02\x05", 6) + std::string("\x04Nope\x02\x01", 7) + kTail;
  Obj o;
  EXPECT_THROW(Read(in, o), EUnknownProperty);
  EXPECT_EQ(o.num, 5);
}

TEST(ComponentStreamRead, RefusesBadStreamsWithTheirExceptionAndText) {
  struct Case {
    std::string bytes;
    const char* text;
    const char* why;
  } cases[] = {
      {std::string("TPF1\x04TObj\x00\x00\x00", 12), "Invalid stream format", "signature"},
      {std::string("tpf0\x04TObj\x00\x00\x00", 12), "Invalid stream format", "signature is case-sensitive"},
      {kHead + std::string("\x00\x01", 2), "Invalid stream format", "child objects"},
      {kHead + std::string("\x04Nope\x02\x01", 7) + kTail, "Error reading TObj.Nope: Property Nope does not exist",
       "unknown property"},
      {kHead + std::string("\x05Lines\x01\x00", 8) + kTail, "Error reading TObj.Lines: Property Lines does not exist",
       "string list without .Strings"},
      {kHead + std::string("\x0BNum.Strings\x01\x00", 14) + kTail,
       "Error reading TObj.Num.Strings: Property Num.Strings does not exist", ".Strings on an integer"},
      {kHead + std::string("\x03Num\x06\x01" "1", 7) + kTail, "Error reading TObj.Num: Invalid property value",
       "string for an integer"},
      {kHead + std::string("\x03Num\x05", 5) + std::string(10, '\0') + kTail,
       "Error reading TObj.Num: Invalid property value", "float for an integer"},
      {kHead + std::string("\x04" "Flag\x02\x01", 7) + kTail, "Error reading TObj.Flag: Invalid property value",
       "integer for a Boolean"},
      {kHead + std::string("\x03Pos\x07\x05ipTop", 11) + kTail, "Error reading TObj.Pos: Invalid property value",
       "unknown enumeration value"},
      {kHead + std::string("\x03Pos\x02\x01", 6) + kTail, "Error reading TObj.Pos: Invalid property value",
       "ordinal for an enumeration"},
      {kHead + std::string("\x05Pages\x0B\x05" "dtFoo\x00", 14) + kTail,
       "Error reading TObj.Pages: Invalid property value", "unknown set element"},
      {kHead + std::string("\x05Pages\x02\x03", 8) + kTail, "Error reading TObj.Pages: Invalid property value",
       "integer for a set"},
      {kHead + std::string("\x05" "Color\x07\x06" "clPink", 14) + kTail,
       "Error reading TObj.Color: Invalid property value", "unknown colour"},
      {kHead + std::string("\x05" "Color\x09", 7) + kTail, "Error reading TObj.Color: Invalid property value",
       "Boolean for a colour"},
      {kHead + std::string("\x04Text\x07\x01x", 8) + kTail, "Error reading TObj.Text: Invalid property value",
       "identifier for a string"},
      {kHead + std::string("\x04Text\x0A\x00", 7) + kTail, "Error reading TObj.Text: Invalid property value",
       "unknown tag"},
      {kHead + std::string("\x05Stamp\x06\x00", 8) + kTail, "Error reading TObj.Stamp: Invalid property value",
       "string for a float"},
      {kHead + std::string("\x0DLines.Strings\x06\x00", 16) + kTail,
       "Error reading TObj.Lines.Strings: Invalid property value", "string list without list tag"},
      {kHead + std::string("\x0DLines.Strings\x01\x02\x01\x00", 18) + kTail,
       "Error reading TObj.Lines.Strings: Invalid property value", "integer line"},
      {kHead + std::string("\x05Items\x01\x00", 8) + kTail, "Error reading TObj.Items: Invalid property value",
       "list for a collection"},
      {kHead + std::string("\x05Items\x0E\x02\x00\x01\x00\x00", 12) + kTail,
       "Error reading TObj.Items: Invalid property value", "item index before the item"},
      {kHead + std::string("\x05Items\x0E\x01\x03Num\x02\x01\x00\x00", 16) + kTail,
       "Error reading TItem.Num: Property Num does not exist", "item property of the root"},
      {kHead + std::string("\x04Text\x0C\xFF\xFF\xFF\xFF", 10) + kTail, "Stream read error",
       "long string longer than the stream"},
  };
  for (const Case& c : cases) {
    Obj o;
    try {
      Read(c.bytes, o);
      ADD_FAILURE() << "accepted: " << c.why;
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), c.text) << c.why;
    }
  }
}

TEST(ComponentStreamRead, ExceptionClassesTellTheFailuresApart) {
  Obj o;
  EXPECT_THROW(Read("TPF1", o), EInvalidStreamFormat);
  EXPECT_THROW(Read(kHead + std::string("\x01X\x02\x00", 4) + kTail, o), EUnknownProperty);
  EXPECT_THROW(Read(kHead + std::string("\x03Num\x08", 5) + kTail, o), EInvalidPropertyValue);
  EXPECT_THROW(Read(kHead, o), EReadError);
}

// n collections, each item holding the next: Items > Kids > Kids ...
std::string Nested(int n) {
  std::string s = kHead + "\x05Items";
  for (int i = 0; i < n; ++i) {
    s += std::string("\x0E\x01", 2);
    if (i + 1 < n) s += "\x04Kids";
  }
  for (int i = 0; i < n; ++i) s += std::string("\x00\x00", 2);  // end of item, end of collection
  return s + kTail;
}

TEST(ComponentStreamRead, NestingIsLimited) {
  Obj o;
  EXPECT_NO_THROW(Read(Nested(kMaxNesting), o));
  try {
    Read(Nested(kMaxNesting + 1), o);
    ADD_FAILURE() << "read past the limit";
  } catch (const EInvalidStreamFormat& e) {
    // The refusal says why.
    EXPECT_NE(std::string(e.what()).find("nested more than " + std::to_string(kMaxNesting)), std::string::npos)
        << e.what();
  }
}

TEST(ComponentStreamWrite, NestingBeyondWhatCanBeReadIsRefused) {
  Obj o;
  o.items.resize(1);
  Item* it = &o.items[0];
  // every item writes its Kids, so the deepest item's empty Kids is the limit's last level
  for (int i = 1; i < kMaxNesting - 1; ++i) it = &it->kids.emplace_back();
  std::string ok = Write(o);
  Obj back;
  Read(ok, back);
  EXPECT_EQ(Write(back), ok);
  it->kids.emplace_back();
  try {
    Write(o);
    ADD_FAILURE() << "written past the limit";
  } catch (const EWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("nested too deep"), std::string::npos) << e.what();
  }
}

// ---- 80-bit extended ----

std::string Ext(double d) {
  uint8_t b[10];
  DoubleToExtended(d, b);
  return std::string(reinterpret_cast<char*>(b), 10);
}

double FromExt(std::initializer_list<int> bytes) {
  std::string s = Bytes(bytes);
  return ExtendedToDouble(reinterpret_cast<const uint8_t*>(s.data()));
}

TEST(Extended, DoublesConvertExactly) {
  struct Case {
    double value;
    std::string ext;
    const char* why;
  } cases[] = {
      {0.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "zero"},
      {-0.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}), "negative zero keeps its sign"},
      {1.0, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), "one"},
      {0.1, Bytes({0, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}), "0.1 as the double holds it"},
      {DBL_MAX, Bytes({0, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}), "largest double"},
      {DBL_MIN, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x3C}), "smallest normal"},
      {4.9406564584124654e-324, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}), "smallest subnormal"},
      {std::numeric_limits<double>::infinity(), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), "infinity"},
      {-std::numeric_limits<double>::infinity(), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}), "minus infinity"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Ext(c.value), c.ext) << c.why;
    double back = ExtendedToDouble(reinterpret_cast<const uint8_t*>(c.ext.data()));
    EXPECT_EQ(std::memcmp(&back, &c.value, 8), 0) << c.why;
  }
  double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(ExtendedToDouble(reinterpret_cast<const uint8_t*>(Ext(nan).data()))));
}

TEST(Extended, NarrowingRoundsOverflowsAndUnderflowsSanely) {
  struct Case {
    std::string ext;
    double want;
    const char* why;
  } cases[] = {
      // 1 + 2^-53 exactly halfway: ties to even (1.0); a bit more rounds up
      {Bytes({0, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), 1.0, "tie to even, down"},
      {Bytes({1, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), 1.0 + DBL_EPSILON, "above half, up"},
      {Bytes({0, 0x0C, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), 1.0 + 2 * DBL_EPSILON, "tie to even, up"},
      {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}), 2.0, "carry into the exponent"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x44}), std::numeric_limits<double>::infinity(), "2^1025"},
      {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}), std::numeric_limits<double>::infinity(),
       "rounds past the largest double"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0xFF}), -std::numeric_limits<double>::infinity(),
       "largest extended, negative"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}), 0.0, "smallest normal extended"},
      {Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0.0, "extended subnormal"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xCC, 0x3B}), 0.0, "half the smallest subnormal: tie to zero"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xCC, 0x3B}), 4.9406564584124654e-324, "3/4 of it: up"},
      {Bytes({0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}), 0.5, "unnormal: integer bit clear"},
  };
  for (const Case& c : cases) {
    double got = ExtendedToDouble(reinterpret_cast<const uint8_t*>(c.ext.data()));
    EXPECT_EQ(got, c.want) << c.why;
  }
  EXPECT_TRUE(std::isnan(FromExt({1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F})));
  EXPECT_TRUE(std::isnan(FromExt({0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x7F}))) << "pseudo-infinity";
}

#if (defined(__i386__) || defined(__x86_64__)) && LDBL_MANT_DIG == 64
// The x87 format of the compiler, as a second opinion on the bit work.
TEST(Extended, AgreesWithTheX87Format) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, 8);
    if (std::isnan(d)) continue;
    long double x = d;
    uint8_t want[16] = {};
    std::memcpy(want, &x, 10);
    uint8_t got[10];
    DoubleToExtended(d, got);
    ASSERT_EQ(std::memcmp(got, want, 10), 0) << d;

    uint64_t m = rng();
    uint16_t se = static_cast<uint16_t>(rng() % 2 ? (0x3C00 + rng() % 0x800) : rng());
    if ((se & 0x7FFF) == 0x7FFF) continue;
    m |= (se & 0x7FFF) != 0 ? uint64_t{1} << 63 : 0;  // the x87 takes normals with the integer bit only
    uint8_t e[16] = {};
    std::memcpy(e, &m, 8);
    std::memcpy(e + 8, &se, 2);
    long double y;
    std::memcpy(&y, e, sizeof y < 16 ? sizeof y : 16);
    double narrowed = static_cast<double>(y);
    double mine = ExtendedToDouble(e);
    ASSERT_EQ(std::memcmp(&mine, &narrowed, 8), 0) << std::hex << se << " " << m;
  }
}
#endif

// ---- colour identifiers ----

TEST(ColorIdents, TableBothWays) {
  struct Case {
    const char* ident;
    uint32_t color;
  } cases[] = {
      {"clBlack", 0x000000},       {"clMaroon", 0x000080},         {"clGreen", 0x008000},
      {"clOlive", 0x008080},       {"clNavy", 0x800000},           {"clPurple", 0x800080},
      {"clTeal", 0x808000},        {"clGray", 0x808080},           {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},         {"clLime", 0x00FF00},           {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},        {"clFuchsia", 0xFF00FF},        {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF},       {"clScrollBar", 0x80000000},    {"clBackground", 0x80000001},
      {"clActiveCaption", 0x80000002}, {"clInactiveCaption", 0x80000003}, {"clMenu", 0x80000004},
      {"clWindow", 0x80000005},    {"clWindowFrame", 0x80000006},  {"clMenuText", 0x80000007},
      {"clWindowText", 0x80000008}, {"clCaptionText", 0x80000009}, {"clActiveBorder", 0x8000000A},
      {"clInactiveBorder", 0x8000000B}, {"clAppWorkSpace", 0x8000000C}, {"clHighlight", 0x8000000D},
      {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},  {"clBtnShadow", 0x80000010},
      {"clGrayText", 0x80000011},  {"clBtnText", 0x80000012},      {"clInactiveCaptionText", 0x80000013},
      {"clBtnHighlight", 0x80000014}, {"cl3DDkShadow", 0x80000015}, {"cl3DLight", 0x80000016},
      {"clInfoText", 0x80000017},  {"clInfoBk", 0x80000018},       {"clNone", 0x1FFFFFFF},
      {"clDefault", 0x20000000},
  };
  for (const Case& c : cases) {
    std::string ident;
    ASSERT_TRUE(ColorToIdent(static_cast<int32_t>(c.color), ident)) << c.ident;
    EXPECT_EQ(ident, c.ident);
    int32_t color = 0;
    ASSERT_TRUE(IdentToColor(c.ident, color));
    EXPECT_EQ(static_cast<uint32_t>(color), c.color);
  }
  std::string ident;
  EXPECT_FALSE(ColorToIdent(0x010203, ident));
  int32_t color;
  EXPECT_TRUE(IdentToColor("CLBTNFACE", color));
  EXPECT_FALSE(IdentToColor("clBtnFac", color));
}

}  // namespace
