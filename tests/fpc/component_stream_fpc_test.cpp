// Streams written by the component stream writer, read back by Free Pascal's reader.
#include <gtest/gtest.h>

#include <cfloat>
#include <sstream>

#include "base/ComponentStream.h"
#include "tests/fpc/Tpf0Check.h"

using namespace base;

namespace {

struct Item {
  std::string name;
  std::vector<std::string> groups;
  double stamp = 0;
};

struct Root {
  bool flag = true;
  int pos = 0;
  uint32_t pages = 0;
  int32_t color = 0;
  std::string text;
  double stamp = 0;
  std::vector<std::string> lines;
  std::vector<Item> items;
};

const ClassSchema& ItemSchema() {
  static const ClassSchema s =
      SchemaBuilder<Item>("TItem")
          .String("Name", [](const Item& i) { return i.name; }, [](Item& i, const std::string& v) { i.name = v; })
          .StringList("Groups", [](const Item& i) { return i.groups; },
                      [](Item& i, const std::vector<std::string>& v) { i.groups = v; })
          .Float("Timestamp", [](const Item& i) { return i.stamp; }, [](Item& i, double v) { i.stamp = v; })
          .Build();
  return s;
}

const ClassSchema& RootSchema() {
  static const ClassSchema s =
      SchemaBuilder<Root>("TRoot")
          .Boolean("Uninstaller", [](const Root& r) { return r.flag; }, [](Root& r, bool v) { r.flag = v; })
          .Enum("TitlePos", {"ipTopLeft", "ipTopRight", "ipBottomLeft", "ipBottomRight", "ipCentre"},
                [](const Root& r) { return r.pos; }, [](Root& r, int v) { r.pos = v; })
          .Set("DialogTypes",
               {"dtWelcome", "dtLicense", "dtReadme", "dtUser", "dtDestination", "dtSetupType", "dtCustom",
                "dtSelectFolder", "dtStartCopying", "dtProgress", "dtBillboards", "dtComplete", "dtExit", "dtBlank"},
               [](const Root& r) { return r.pages; }, [](Root& r, uint32_t v) { r.pages = v; })
          .Color("Color", [](const Root& r) { return r.color; }, [](Root& r, int32_t v) { r.color = v; })
          .String("ApplicationName", [](const Root& r) { return r.text; },
                  [](Root& r, const std::string& v) { r.text = v; })
          .Float("Timestamp", [](const Root& r) { return r.stamp; }, [](Root& r, double v) { r.stamp = v; })
          .StringList("InstFolders", [](const Root& r) { return r.lines; },
                      [](Root& r, const std::vector<std::string>& v) { r.lines = v; })
          .Collection<Item>(
              "Groups", &ItemSchema, [](const Root& r) { return static_cast<int32_t>(r.items.size()); },
              [](const Root& r, int32_t i) { return &r.items[i]; }, [](Root& r) { r.items.clear(); },
              [](Root& r) { return &r.items.emplace_back(); })
          .Build();
  return s;
}

// The checker's lines with trailing blanks dropped (it pads some of them).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    out.push_back(line);
  }
  return out;
}

std::vector<std::string> Check(const Root& r) {
  return Lines(tpf0check::Tpf0ToText(WriteRootBytes({"TTandrelBaseInstall", ""}, &r, RootSchema())));
}

TEST(ComponentStreamFpc, ReadsEveryKindAsWritten) {
  Root r;
  r.flag = false;
  r.pos = 4;
  r.pages = 0x3 | 0x800;
  r.color = 0xFFFFFF;
  r.text = "My App \xA9 'x'";
  r.stamp = 36526.5;
  r.lines = {"[Program Files]=<INSTALLDIR>", ""};
  r.items.resize(2);
  r.items[0].name = "Program Files";
  r.items[0].groups = {"a", "b"};
  r.items[0].stamp = 1.5;
  std::vector<std::string> want = {
      "object TTandrelBaseInstall",
      "  Uninstaller = False",
      "  TitlePos = ipCentre",
      "  DialogTypes = [dtWelcome, dtLicense, dtComplete]",
      "  Color = clWhite",
      "  ApplicationName = 'My App '#169' ''x'''",
      "  Timestamp =  3.65265000000000000000E+0004",
      "  InstFolders.Strings = (",
      "    '[Program Files]=<INSTALLDIR>'",
      "    ''",
      "  )",
      "  Groups = <",
      "    item",
      "      Name = 'Program Files'",
      "      Groups.Strings = (",
      "        'a'",
      "        'b'",
      "      )",
      "      Timestamp =  1.50000000000000000000E+0000",
      "    end",
      "    item",
      "    end>",
      "end",
  };
  EXPECT_EQ(Check(r), want);
}

TEST(ComponentStreamFpc, EmptySetsAndCollectionsStillWritten) {
  Root r;
  std::vector<std::string> want = {
      "object TTandrelBaseInstall", "  Uninstaller = True", "  TitlePos = ipTopLeft", "  DialogTypes = []",
      "  Color = clBlack",          "  Groups = <>",        "end",
  };
  EXPECT_EQ(Check(r), want);
}

TEST(ComponentStreamFpc, ColoursIdentifiersAndIntegers) {
  struct Case {
    int32_t color;
    const char* text;
  } cases[] = {
      {0xFFFF00, "  Color = clAqua"},
      {static_cast<int32_t>(0x8000000F), "  Color = clBtnFace"},
      {0x123456, "  Color = 1193046"},
      {static_cast<int32_t>(0x80000019), "  Color = -2147483623"},
      {-129, "  Color = -129"},
      {32769, "  Color = 32769"},
      {0x8000, "  Color = clGreen"},
  };
  for (const Case& c : cases) {
    Root r;
    r.color = c.color;
    EXPECT_EQ(Check(r).at(4), c.text);
  }
}

TEST(ComponentStreamFpc, LongStringsWholeAlsoInStringLists) {
  Root r;
  r.text = std::string(255, 's');
  r.lines = {std::string(256, 'l'), std::string(70000, 'm')};
  std::vector<std::string> got = Check(r);
  ASSERT_GE(got.size(), 10u);
  EXPECT_EQ(got[5], "  ApplicationName = '" + std::string(255, 's') + "'");
  EXPECT_EQ(got[7], "    '" + std::string(256, 'l') + "'");
  EXPECT_EQ(got[8], "    '" + std::string(70000, 'm') + "'");
}

TEST(ComponentStreamFpc, ExtendedFloatsKeepTheDoublesValue) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0.1, "  Timestamp =  1.00000000000000005551E-0001"},
      {-2.5, "  Timestamp = -2.50000000000000000000E+0000"},
      {DBL_MAX, "  Timestamp =  1.79769313486231570815E+0308"},
      {45000.75, "  Timestamp =  4.50007500000000000000E+0004"},
  };
  for (const Case& c : cases) {
    Root r;
    r.stamp = c.value;
    EXPECT_EQ(Check(r).at(5), c.text) << c.value;
  }
}

TEST(ComponentStreamFpc, CutStreamsAreRefusedThereToo) {
  Root r;
  r.text = "x";
  r.items.resize(1);
  std::vector<uint8_t> whole = WriteRootBytes({"TTandrelBaseInstall", ""}, &r, RootSchema());
  for (size_t n : {size_t{3}, size_t{10}, whole.size() / 2, whole.size() - 1}) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_THROW(tpf0check::Tpf0ToText(cut), std::runtime_error) << n << " bytes";
  }
}

}  // namespace
