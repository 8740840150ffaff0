// The decisions of the wizard dialogs editor, its extensions list, the extension dialog
// and the background screen editor.
#include <gtest/gtest.h>

#include "builder/editors/DialogsRules.h"
#include "builder/editors/ScreenRules.h"

namespace {

TEST(DialogRows, EveryRowRoundTripsAndExitAndBlankNeverSurvive) {
  for (int i = 0; i < kDialogRows; ++i) {
    TTandrelDialogTypes one = static_cast<TTandrelDialogTypes>(1u << i);
    TDialogRows rows = DialogRowsChecked(one);
    for (int r = 0; r < kDialogRows; ++r) EXPECT_EQ(rows[r], r == i) << i << " " << r;
    EXPECT_EQ(DialogTypesFromRows(rows), one) << i;
  }
  TDialogRows all = DialogRowsChecked(0x3FFF);  // every member, dtExit and dtBlank too
  for (bool r : all) EXPECT_TRUE(r);
  EXPECT_EQ(DialogTypesFromRows(all), 0x0FFF);
  EXPECT_EQ(DialogTypesFromRows(DialogRowsChecked(0x03FF)), 0x03FF);  // the default
  EXPECT_EQ(DialogTypesFromRows(DialogRowsChecked(0x3000)), 0);
}

TEST(RichTexts, RichOrPlainAndTheStringListsLineBreaks) {
  struct {
    const char* text;
    bool rich;
  } kinds[] = {{"{\\rtf1 x}", true}, {"{\\RTF1 x}", true}, {"{\\Rtf", true}, {"{\\rt", false},
               {" {\\rtf1", false}, {"", false}, {"plain", false}};
  for (const auto& k : kinds) EXPECT_EQ(IsRichText(k.text), k.rich) << k.text;

  struct {
    const char* in;
    const char* out;
  } lists[] = {
      {"", ""},
      {"one line", "one line\r\n"},
      {"a\r\nb", "a\r\nb\r\n"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\nb\rc", "a\r\nb\r\nc\r\n"},  // any line break becomes CR LF
      {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
  };
  for (const auto& l : lists) EXPECT_EQ(StringListText(l.in), l.out) << l.in;

  EXPECT_FALSE(LoadsAsPlainText("C:\\t\\readme.RTF"));
  EXPECT_FALSE(LoadsAsPlainText("licence.rtf"));
  EXPECT_TRUE(LoadsAsPlainText("licence.txt"));
  EXPECT_TRUE(LoadsAsPlainText("licence.rtf.txt"));
  EXPECT_TRUE(LoadsAsPlainText("licence"));
}

TEST(Folders, ShownInstallDirAndMacroNames) {
  EXPECT_EQ(ShownInstallDir("C:\\Apps", "Acme"), "C:\\Apps");
  EXPECT_EQ(ShownInstallDir("", "Acme"), "<ProgramFilesDir>\\Acme");
  EXPECT_EQ(ShownInstallDir("", ""), "<ProgramFilesDir>");
  TNameValueList macros;
  macros.SetText({"<INSTALLDIR>=", "<WINDIR>=C:\\WINDOWS", "<X>=a=b"});
  EXPECT_EQ(MacroNames(macros), (std::vector<std::string>{"<INSTALLDIR>", "<WINDIR>", "<X>"}));
}

TEST(Billboards, AddedOnceInOrderAndButtonStates) {
  std::vector<std::string> list{"C:\\p\\One.bmp"};
  AddBillboards(list, {"C:\\P\\ONE.BMP", "C:\\p\\two.jpg", "C:\\p\\Two.JPG", "C:\\p\\three.bmp"});
  EXPECT_EQ(list, (std::vector<std::string>{"C:\\p\\One.bmp", "C:\\p\\two.jpg", "C:\\p\\three.bmp"}));

  struct {
    int selected;
    bool remove, up, down;
  } states[] = {{0, false, false, false}, {1, true, true, true}, {2, true, false, false}};
  for (const auto& s : states) {
    TBillboardButtons b = BillboardButtons(s.selected);
    EXPECT_EQ(b.Remove, s.remove) << s.selected;
    EXPECT_EQ(b.Up, s.up) << s.selected;
    EXPECT_EQ(b.Down, s.down) << s.selected;
  }

  struct {
    int focused, count, direction, to;
  } moves[] = {
      {1, 3, -1, 0}, {0, 3, -1, -1}, {2, 3, 1, -1}, {0, 3, 1, 1},
      {-1, 0, -1, -1}, {0, 0, -1, -1}, {0, 0, 1, -1},  // empty list: always the beep
      {5, 3, -1, -1},
  };
  for (const auto& m : moves)
    EXPECT_EQ(BillboardMoveTarget(m.focused, m.count, m.direction), m.to) << m.focused << " " << m.count;
}

TEST(ExtensionList, ColumnsColoursAndMenuStates) {
  TTandrelExtension e;
  e.Executable = "<SUPPORTDIR>\\check.exe";
  EXPECT_EQ(ExtensionFileCaption(e), "check.exe");
  EXPECT_EQ(ExtensionLocation(e), "<SUPPORTDIR>\\");
  e.Executable = "[Program Files]\\app.dll";
  EXPECT_EQ(ExtensionFileCaption(e), "app.dll");
  EXPECT_EQ(ExtensionLocation(e), "[Program Files]\\");
  EXPECT_EQ(DialogPageName(dtWelcome), "Welcome");
  EXPECT_EQ(DialogPageName(dtStartCopying), "StartCopying");
  EXPECT_EQ(DialogPageName(dtBlank), "Blank");
  EXPECT_EQ(DialogPageName(14), "");

  for (int w = 0; w <= dtExit; ++w) {
    auto when = static_cast<TTandrelDialogType>(w);
    EXPECT_TRUE(ExtensionDrawnRed(false, when)) << w;
    EXPECT_EQ(ExtensionDrawnRed(true, when), w <= dtStartCopying) << w;
  }

  struct {
    bool current;
    int rows, selected;
    bool props, del, up, down;
  } menus[] = {
      {false, 0, -1, false, false, false, false},
      {true, 3, -1, false, false, false, false},
      {false, 3, 1, false, false, false, false},
      {true, 3, 0, true, true, false, true},
      {true, 3, 1, true, true, true, true},
      {true, 3, 2, true, true, true, false},
      {true, 1, 0, true, true, false, false},
  };
  for (const auto& m : menus) {
    TExtensionMenu s = ExtensionMenuStates(m.current, m.rows, m.selected);
    EXPECT_EQ(s.Properties, m.props) << m.rows << " " << m.selected;
    EXPECT_EQ(s.Delete, m.del) << m.rows << " " << m.selected;
    EXPECT_EQ(s.Up, m.up) << m.rows << " " << m.selected;
    EXPECT_EQ(s.Down, m.down) << m.rows << " " << m.selected;
  }
}

TEST(ExtensionDialog, RequiredFieldsInTheirOrder) {
  using F = TExtensionField;
  struct {
    TExtensionStyle style;
    const char *command, *params;
    int when;
    F missing;
  } cases[] = {
      {esExecutable, "", "", 0, F::Command},
      {esExecutable, "", "", -1, F::Command},
      {esExecutable, "a.exe", "", -1, F::When},
      {esExecutable, "a.exe", "", 12, F::None},  // "Exit" is the last row
      {esExecutable, "a.exe", "", 13, F::When},
      {esDLL, "", "", 0, F::DllFile},
      {esDLL, "a.dll", "", 0, F::FunctionName},
      {esDLL, "a.dll", "Fn", -1, F::DllWhen},
      {esDLL, "a.dll", "Fn", 0, F::None},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MissingExtensionField(c.style, c.command, c.params, c.when), c.missing)
        << c.style << " " << c.command << " " << c.params << " " << c.when;
  EXPECT_FALSE(MissingFieldMessage(F::DllWhen).empty());
  EXPECT_TRUE(MissingFieldMessage(F::Command).empty());
  EXPECT_TRUE(MissingFieldMessage(F::FunctionName).empty());

  EXPECT_EQ(ProjectFilePath("Program Files", "C:\\src\\bin\\Setup.EXE"), "[Program Files]\\Setup.EXE");
  EXPECT_EQ(ExtensionRealFile("", "[G]\\a.exe"), "[G]\\a.exe");
  EXPECT_EQ(ExtensionRealFile("C:\\a.exe", "[G]\\a.exe"), "C:\\a.exe");
}

TEST(ScreenChannels, StoreAndLoad) {
  struct {
    TChannelSetting before;
    TChannelRadio radio;
    int scroll;
    int32_t value;
    bool isStatic, increasing;
  } cases[] = {
      {{100, true, false}, TChannelRadio::Static, 100, 100, true, false},
      {{100, true, true}, TChannelRadio::Static, 7, 7, true, true},  // Increasing left as it was
      {{100, true, false}, TChannelRadio::Increasing, 100, 0, false, true},
      {{0, false, true}, TChannelRadio::Decreasing, 30, 0, false, false},
  };
  for (const auto& c : cases) {
    TChannelSetting s = StoreChannel(c.before, c.radio, c.scroll);
    EXPECT_EQ(s.Value, c.value);
    EXPECT_EQ(s.Static, c.isStatic);
    EXPECT_EQ(s.Increasing, c.increasing);
  }
  EXPECT_EQ(ChannelRadio({5, true, true}), TChannelRadio::Static);
  EXPECT_EQ(ChannelRadio({0, false, true}), TChannelRadio::Increasing);
  EXPECT_EQ(ChannelRadio({0, false, false}), TChannelRadio::Decreasing);
}

}  // namespace
